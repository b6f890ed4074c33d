#include "cli/terminal_view.h"

#include <cstdio>

#include "base/codec.h"
#include "base/text_ops.h"

namespace ak {
namespace {

bool IsProgressControl(std::string_view name) {
  for (ControlName shown : {ctl::进度条1, ctl::标签_进度条比例, ctl::标签_选择了相册数量,
                            ctl::标签_正在下载相册, ctl::标签_第多少张照片, ctl::标签_动态}) {
    if (shown == name) return true;
  }
  return false;
}

// Clears the terminal line the cursor is on.
constexpr std::string_view kClearLine = "\r\x1b[K";

}  // namespace

TerminalView::TerminalView(Controls& controls, std::ostream& log, std::ostream* progress,
                           Clock clock)
    : HeadlessView(controls, log), progress_(progress), clock_(std::move(clock)) {}

void TerminalView::Noticed(const ControlChange& change, const ControlsState& state) {
  state_ = &state;
  if (!IsProgressControl(change.control)) return;
  // Steps of the bar during a batch are photos; during a listing they are albums.
  if (change.kind == ChangeKind::kProgressPosition && change.control == ctl::进度条1 &&
      !state.Find(ctl::标签_选择了相册数量)->caption.empty()) {
    const int before = state.Find(ctl::进度条1)->progressPosition;
    if (change.value > before) {
      if (photos_ == 0) firstPhoto_ = clock_();
      photos_ += change.value - before;
    }
  }
  progressChanged_ = true;
}

void TerminalView::Drained(const ControlsState& state) {
  if (progressChanged_ && progress_ != nullptr) Redraw(state);
  progressChanged_ = false;
}

void TerminalView::Print(const std::string& utf8) {
  // The log and the progress line may share one terminal: the line goes away while the log
  // grows and comes back under it.
  const bool redraw = !line_.empty();
  if (redraw) ClearLine();
  out() << utf8;
  if (redraw && state_ != nullptr) {
    out().flush();
    Redraw(*state_);
  }
}

std::string TerminalView::ComposeProgress(const ControlsState& state) const {
  auto caption = [&state](ControlName name) {
    return GbkToUtf8(ShowControlCharacters(state.Find(name)->caption));
  };
  std::string line;
  auto add = [&line](const std::string& part) {
    if (part.empty()) return;
    if (!line.empty()) line += "  ";
    line += part;
  };
  const std::string batch = caption(ctl::标签_选择了相册数量);
  if (batch.empty()) {
    // Before a batch: the listing's status line.
    add(caption(ctl::标签_动态));
  } else {
    add(caption(ctl::标签_正在下载相册) + " / " + batch);
    const std::string photo = caption(ctl::标签_第多少张照片);
    if (!photo.empty()) add("照片 " + photo);
  }
  add(caption(ctl::标签_进度条比例));
  if (photos_ > 0) {
    const double seconds = std::chrono::duration<double>(clock_() - firstPhoto_).count();
    if (seconds >= 1.0) {
      char rate[32];
      std::snprintf(rate, sizeof rate, "%.1f 张/秒", photos_ / seconds);
      add(rate);
    }
  }
  return line;
}

void TerminalView::Redraw(const ControlsState& state) {
  std::string line = ComposeProgress(state);
  if (line == line_) return;
  *progress_ << kClearLine << line;
  progress_->flush();
  line_ = std::move(line);
}

void TerminalView::ClearLine() {
  if (progress_ == nullptr) return;
  *progress_ << kClearLine;
  progress_->flush();
  line_.clear();
}

void TerminalView::Finish() {
  std::lock_guard lock(mutex());
  if (!line_.empty()) ClearLine();
}

std::string TerminalView::ProgressLine() const {
  std::lock_guard lock(mutex());
  return line_;
}

}  // namespace ak
