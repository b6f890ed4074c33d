#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <string>
#include <string_view>

#include "controls/control_names.h"

#include "controls/controls_state.h"

class QTabWidget;
class QToolBar;
class QTreeWidget;
class QWebEngineView;
class QWebEngineProfile;

namespace ak {

// The widgets of the window design, one per named control; each widget's objectName is its
// control's name.
struct WindowWidgets {
  std::map<std::string, QPointer<QWidget>, std::less<>> byName;
  QToolBar* toolbar = nullptr;
  QTabWidget* pages = nullptr;
  QTreeWidget* albumList = nullptr;
  QWebEngineView* browser = nullptr;
  QWidget* searchWindow = nullptr;

  QWidget* Find(std::string_view name) const;
  QWidget* Find(ControlName name) const { return Find(name.View()); }
};

// Places a widget at a control's position; a tab control grows by its tab bar.
void SetWidgetGeometry(QWidget* widget, const ControlRect& rect);

// Makes every control of the design under `mainWindow` (the search window as a window of its
// own, owned by it), with captions, positions and visibility from `state`. The browser uses
// `profile` (null: the default profile).
WindowWidgets BuildWindowWidgets(QWidget* mainWindow, const ControlsState& state,
                                 QWebEngineProfile* profile);

}  // namespace ak
