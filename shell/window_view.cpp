#include "shell/window_view.h"

#include <QCoreApplication>
#include <cassert>

#include "shell/main_window.h"

namespace ak {

void WindowView::ChangesPending() {
  if (scheduled_.exchange(true)) return;
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return;
  // The application object outlives the window, so the call can always be posted; the window is
  // looked up again on its own thread.
  QMetaObject::invokeMethod(
      app,
      [window = window_] {
        if (window != nullptr) window->ApplyPendingChanges();
      },
      Qt::QueuedConnection);
}

ControlsState WindowView::TakeInitialState() {
  assert(initial_.has_value());
  ControlsState state = std::move(*initial_);
  initial_.reset();
  return state;
}

}  // namespace ak
