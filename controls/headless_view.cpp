#include "controls/headless_view.h"

#include "base/codec.h"
#include "base/text_ops.h"

namespace ak {

HeadlessView::HeadlessView(Controls& controls, std::ostream& out)
    : controls_(controls), out_(out) {}

void HeadlessView::Attached(const ControlsState& state) {
  std::lock_guard lock(mutex_);
  state_ = state;
}

void HeadlessView::ChangesPending() {
  // Taking and carrying out under one drain lock keeps the order when several writers call in at
  // once. The state's lock is taken only after the model's is released: Attach hands the state
  // over under the model's lock, so the reverse order would be a deadlock waiting to happen.
  std::lock_guard drain(drainMutex_);
  std::vector<ControlChange> changes = controls_.TakeChanges();
  std::lock_guard lock(mutex_);
  for (ControlChange& change : changes) {
    Noticed(change, state_);
    state_.Apply(change);
    sequences_.push_back(change.sequence);
    if (change.kind == ChangeKind::kLogAppend) {
      Write(change.text);
    } else if (change.kind == ChangeKind::kMessage) {
      messages_.push_back(change.text);
      Write(AK_GBK("信息：") + change.text + "\r\n");
      if (change.answer) change.answer->Answer();
    }
  }
  out_.flush();
  Drained(state_);
}

void HeadlessView::Noticed(const ControlChange&, const ControlsState&) {}

void HeadlessView::Drained(const ControlsState&) {}

void HeadlessView::Print(const std::string& utf8) { out_ << utf8; }

void HeadlessView::Write(const Text& gbk) {
  // A name from the service may carry escape sequences: they are shown, never sent as they are.
  const std::string utf8 = GbkToUtf8(ShowControlCharacters(gbk));
  std::string lines;
  lines.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
    lines.push_back(utf8[i]);
  }
  Print(lines);
}

ControlsState HeadlessView::State() const {
  std::lock_guard lock(mutex_);
  return state_;
}

std::vector<std::uint64_t> HeadlessView::Sequences() const {
  std::lock_guard lock(mutex_);
  return sequences_;
}

std::vector<Text> HeadlessView::Messages() const {
  std::lock_guard lock(mutex_);
  return messages_;
}

}  // namespace ak
