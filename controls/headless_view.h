#pragma once

#include <memory>
#include <mutex>
#include <ostream>
#include <vector>

#include "controls/controls.h"
#include "controls/controls_view.h"

namespace ak {

// The view of the command line and of tests: it keeps a copy of the state, brought up to date
// with every change in order, writes what is added to the log and the text of message boxes to
// a stream in UTF-8 (line ends as "\n"), and answers message boxes at once.
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

 private:
  void Write(const Text& gbk);

  Controls& controls_;
  std::ostream& out_;
  mutable std::mutex mutex_;
  ControlsState state_;
  std::vector<std::uint64_t> sequences_;
  std::vector<Text> messages_;
};

}  // namespace ak
