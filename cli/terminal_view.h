#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <ostream>
#include <vector>

#include "controls/controls.h"
#include "controls/controls_view.h"

namespace ak {

// The view of the command line. It keeps a copy of the controls' state, writes what is added to
// the log, and the text of message boxes, to `log` in UTF-8 as it comes (line ends "\n"), and
// answers message boxes at once. When `progress` is given (standard error on a terminal), it
// redraws one progress line there from the progress bar and the batch labels: the album of the
// batch, the photo of the album, the percentage and the photos per second.
class TerminalView : public ControlsView {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // `controls` must outlive the attachment, the streams the view. `clock` is for tests.
  TerminalView(Controls& controls, std::ostream& log, std::ostream* progress,
               Clock clock = &std::chrono::steady_clock::now);

  void Attached(const ControlsState& state) override;
  void ChangesPending() override;

  // Clears the progress line, so that what is printed next starts on a clean line.
  void Finish();

  ControlsState State() const;
  // Texts of the message boxes shown so far (GBK).
  std::vector<Text> Messages() const;
  // The progress line as last drawn (UTF-8), empty when none is shown.
  std::string ProgressLine() const;

 private:
  void WriteLog(const Text& gbk);
  std::string ComposeProgress();
  void CountPhotos(const ControlChange& change);
  void Redraw();
  void ClearLine();

  Controls& controls_;
  std::ostream& log_;
  std::ostream* progress_;
  Clock clock_;
  mutable std::mutex mutex_;
  ControlsState state_;
  std::vector<Text> messages_;
  std::string line_;
  // Photos counted from the progress bar's steps, since the first one.
  int photos_ = 0;
  std::chrono::steady_clock::time_point firstPhoto_{};
};

}  // namespace ak
