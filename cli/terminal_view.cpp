#include "cli/terminal_view.h"

#include <cstdio>

#include "base/codec.h"

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
    : controls_(controls), log_(log), progress_(progress), clock_(std::move(clock)) {}

void TerminalView::Attached(const ControlsState& state) {
  std::lock_guard lock(mutex_);
  state_ = state;
}

void TerminalView::ChangesPending() {
  // Taking and carrying out under one lock keeps the order when several writers call in.
  std::lock_guard lock(mutex_);
  bool progressChanged = false;
  for (ControlChange& change : controls_.TakeChanges()) {
    const int before = change.kind == ChangeKind::kProgressPosition
                           ? state_.Find(ctl::进度条1)->progressPosition
                           : 0;
    state_.Apply(change);
    if (change.kind == ChangeKind::kLogAppend) {
      WriteLog(change.text);
    } else if (change.kind == ChangeKind::kMessage) {
      messages_.push_back(change.text);
      WriteLog(AK_GBK("信息：") + change.text + "\r\n");
      if (change.answer) change.answer->Answer();
    } else if (IsProgressControl(change.control)) {
      // Steps of the bar during a batch are photos; during a listing they are albums.
      if (change.kind == ChangeKind::kProgressPosition && change.control == ctl::进度条1 &&
          change.value > before && !state_.Find(ctl::标签_选择了相册数量)->caption.empty()) {
        if (photos_ == 0) firstPhoto_ = clock_();
        photos_ += change.value - before;
      }
      progressChanged = true;
    }
  }
  log_.flush();
  if (progressChanged && progress_ != nullptr) Redraw();
}

void TerminalView::WriteLog(const Text& gbk) {
  const std::string utf8 = GbkToUtf8(gbk);
  std::string lines;
  lines.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
    lines.push_back(utf8[i]);
  }
  // The log and the progress line may share one terminal: the line goes away while the log
  // grows and comes back under it.
  const bool redraw = !line_.empty();
  if (redraw) ClearLine();
  log_ << lines;
  if (redraw) {
    log_.flush();
    Redraw();
  }
}

std::string TerminalView::ComposeProgress() {
  auto caption = [this](ControlName name) { return GbkToUtf8(state_.Find(name)->caption); };
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

void TerminalView::Redraw() {
  std::string line = ComposeProgress();
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
  std::lock_guard lock(mutex_);
  if (!line_.empty()) ClearLine();
}

ControlsState TerminalView::State() const {
  std::lock_guard lock(mutex_);
  return state_;
}

std::vector<Text> TerminalView::Messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

std::string TerminalView::ProgressLine() const {
  std::lock_guard lock(mutex_);
  return line_;
}

}  // namespace ak
