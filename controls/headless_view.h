#pragma once

#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "controls/controls.h"
#include "controls/controls_view.h"

namespace ak {

// The view of the command line and of tests: it keeps a copy of the state, brought up to date
// with every change in order, writes what is added to the log and the text of message boxes to
// a stream in UTF-8 (line ends as "\n", control characters shown as "\xNN"), and answers message
// boxes at once. The command line's terminal view adds its progress line through the hooks.
class HeadlessView : public ControlsView {
 public:
  // `controls` must outlive the view's attachment; `out` must outlive the view.
  HeadlessView(Controls& controls, std::ostream& out);

  void Attached(const ControlsState& state) override;
  void ChangesPending() override;

  // The view's copy of the state.
  ControlsState State() const;
  // Sequence numbers of the changes carried out, in the order they were carried out.
  std::vector<std::uint64_t> Sequences() const;
  // Texts of the message boxes shown so far (GBK).
  std::vector<Text> Messages() const;

 protected:
  // Under the view's lock (mutex()), for each change just before it is carried out: `state` is
  // the view's copy as it stands before the change.
  virtual void Noticed(const ControlChange& change, const ControlsState& state);
  // Under the view's lock, once the changes taken in one go have been carried out.
  virtual void Drained(const ControlsState& state);
  // Under the view's lock: writes text of the log or a message box (UTF-8, safe for a terminal).
  virtual void Print(const std::string& utf8);

  std::ostream& out() { return out_; }
  std::mutex& mutex() const { return mutex_; }

 private:
  void Write(const Text& gbk);

  Controls& controls_;
  std::ostream& out_;
  // Held from taking the model's changes until they are carried out.
  std::mutex drainMutex_;
  mutable std::mutex mutex_;
  ControlsState state_;
  std::vector<std::uint64_t> sequences_;
  std::vector<Text> messages_;
};

}  // namespace ak
