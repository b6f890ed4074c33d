#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

#include "controls/headless_view.h"

namespace ak {

// The view of the command line: the headless view, which writes the log and the message boxes
// to `log` as they come and answers the boxes at once, and, when `progress` is given (standard
// error on a terminal), one progress line redrawn there from the progress bar and the batch
// labels: the album of the batch, the photo of the album, the percentage and the photos per
// second.
class TerminalView : public HeadlessView {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // `controls` must outlive the attachment, the streams the view. `clock` is for tests.
  TerminalView(Controls& controls, std::ostream& log, std::ostream* progress,
               Clock clock = &std::chrono::steady_clock::now);

  // Clears the progress line, so that what is printed next starts on a clean line.
  void Finish();

  // The progress line as last drawn (UTF-8), empty when none is shown.
  std::string ProgressLine() const;

 protected:
  void Noticed(const ControlChange& change, const ControlsState& state) override;
  void Drained(const ControlsState& state) override;
  void Print(const std::string& utf8) override;

 private:
  std::string ComposeProgress(const ControlsState& state) const;
  void Redraw(const ControlsState& state);
  void ClearLine();

  std::ostream* progress_;
  Clock clock_;
  // The state as last carried out, for redrawing the line under a log line.
  const ControlsState* state_ = nullptr;
  bool progressChanged_ = false;
  std::string line_;
  // Photos counted from the progress bar's steps, since the first one.
  int photos_ = 0;
  std::chrono::steady_clock::time_point firstPhoto_{};
};

}  // namespace ak
