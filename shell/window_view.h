#pragma once

#include <QPointer>
#include <atomic>
#include <optional>

#include "controls/controls_view.h"

namespace ak {

class MainWindow;

// Hands the model's changes to the main window's thread: the first change after a quiet spell
// schedules one turn of the event loop that carries out everything queued by then, in order.
class WindowView : public ControlsView {
 public:
  explicit WindowView(MainWindow* window) : window_(window) {}

  void Attached(const ControlsState& state) override { initial_ = state; }
  void ChangesPending() override;

  // The state handed over when attached, taken once by the window to build its widgets.
  ControlsState TakeInitialState();
  // Called on the window's thread just before it takes the queued changes.
  void Draining() { scheduled_ = false; }

 private:
  QPointer<MainWindow> window_;
  std::optional<ControlsState> initial_;
  std::atomic<bool> scheduled_{false};
};

}  // namespace ak
