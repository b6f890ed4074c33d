#pragma once

#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "base/types.h"
#include "controls/control_catalogue.h"

namespace ak {

// A cover picture of the album list, 8-bit RGBA, row after row.
struct CoverImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

// The answer to a message box that a worker waits for. The view calls Answer() when the user
// has closed the box. Only the change holds it, so a change that is dropped unanswered (no view,
// a view going away) releases the waiting worker as well.
class MessageAnswer {
 public:
  MessageAnswer() : answered_(promise_.get_future()) {}
  MessageAnswer(const MessageAnswer&) = delete;
  MessageAnswer& operator=(const MessageAnswer&) = delete;
  void Answer() {
    if (!given_.exchange(true)) promise_.set_value();
  }
  std::shared_future<void> Answered() const { return answered_; }

 private:
  std::promise<void> promise_;
  std::shared_future<void> answered_;
  std::atomic<bool> given_{false};
};

enum class ChangeKind : std::uint8_t {
  kCaption,           // text
  kChecked,           // value 0/1; a radio button ticked clears the radio buttons beside it
  kVisible,           // value 0/1
  kEnabled,           // value 0/1
  kGeometry,          // rect
  kProgressMaximum,   // value
  kProgressPosition,  // value
  kCurrentIndex,      // value: the page in front of a tab control
  kLogAppend,         // text added at the end of the log box
  kRowsCleared,       // the album list loses every row
  kRowAppended,       // row: index of the new, empty, unticked row
  kCellText,          // row, column, text
  kRowChecked,        // row, value 0/1
  kRowCover,          // row, cover (null: no picture)
  kColumnWidth,       // column, value
  kRowSelected,       // row becomes the selected (current) row
  kRowShown,          // row is scrolled into view
  kMessage,           // text of a message box (OK only, caption "信息："); answer may be set
};

// One change of the model, delivered to the attached view in the order it was made.
struct ControlChange {
  ChangeKind kind = ChangeKind::kCaption;
  std::string control;
  Text text;
  int value = 0;
  int row = -1;
  int column = -1;
  ControlRect rect;
  std::shared_ptr<const CoverImage> cover;
  std::shared_ptr<MessageAnswer> answer;
  // Made by the view itself from user input; the view has it already and does not apply it.
  bool fromView = false;
  // Position in the order of all changes of one model, counting from 1.
  std::uint64_t sequence = 0;
};

}  // namespace ak
