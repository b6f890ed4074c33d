#include "shell/window_widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QWebEngineView>
#include <cassert>

#include "controls/control_catalogue.h"
#include "shell/browser_page.h"
#include "shell/clickable_label.h"
#include "shell/qt_text.h"

namespace ak {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QToolBar* MakeToolbar(QWidget* parent) {
  auto* toolbar = new QToolBar(parent);
  toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  toolbar->setMovable(false);
  int index = 0;
  for (std::string_view caption : ToolbarItemCaptions()) {
    QAction* action =
        caption.empty() ? toolbar->addSeparator() : toolbar->addAction(FromUtf8(caption));
    // The item's index, as the toolbar's click reports it.
    action->setData(index++);
  }
  return toolbar;
}

QTabWidget* MakePages(QWidget* parent) {
  auto* pages = new QTabWidget(parent);
  for (std::string_view caption : PageCaptions()) {
    auto* page = new QWidget(pages);
    pages->addTab(page, FromUtf8(caption));
  }
  return pages;
}

QTreeWidget* MakeAlbumList(QWidget* parent) {
  auto* list = new QTreeWidget(parent);
  QStringList headers;
  for (const ListColumnSpec& column : AlbumListColumns()) headers << FromUtf8(column.header);
  list->setColumnCount(kAlbumListColumns);
  list->setHeaderLabels(headers);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(false);
  list->setIconSize(QSize(100, 100));
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setAllColumnsShowFocus(true);
  list->header()->setMinimumSectionSize(0);
  list->header()->setStretchLastSection(false);
  return list;
}

QWidget* MakeWidget(const ControlSpec& spec, const ControlState& control, QWidget* parent,
                    QWebEngineProfile* profile, WindowWidgets& widgets) {
  const QString caption = ToDisplayString(control.caption);
  switch (spec.kind) {
    case ControlKind::kWindow: {
      auto* window = new QWidget(parent, Qt::Window);
      window->setWindowTitle(caption);
      return window;
    }
    case ControlKind::kToolbar:
      return widgets.toolbar = MakeToolbar(parent);
    case ControlKind::kTabControl:
      return widgets.pages = MakePages(parent);
    case ControlKind::kGroupBox:
      return new QGroupBox(caption, parent);
    case ControlKind::kLabel:
    case ControlKind::kClickableLabel: {
      QLabel* label = spec.kind == ControlKind::kLabel ? new QLabel(caption, parent)
                                                       : new ClickableLabel(caption, parent);
      const bool multiLine = control.caption.find('\n') != Text::npos;
      if (control.caption.find("\r\n\r\n") != Text::npos) {
        label->setTextFormat(Qt::RichText);
        label->setText(ToCompactHtml(control.caption));
      } else {
        label->setTextFormat(Qt::PlainText);
      }
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setWordWrap(multiLine);
      if (spec.kind == ControlKind::kClickableLabel) label->setCursor(Qt::PointingHandCursor);
      return label;
    }
    case ControlKind::kLineEdit:
      return new QLineEdit(ToQString(control.caption), parent);
    case ControlKind::kMultiLineEdit: {
      auto* edit = new QPlainTextEdit(parent);
      edit->setReadOnly(true);
      edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      edit->setPlainText(ToDisplayString(control.caption));
      return edit;
    }
    case ControlKind::kButton:
      return new QPushButton(caption, parent);
    case ControlKind::kCheckBox: {
      auto* box = new QCheckBox(caption, parent);
      box->setChecked(control.checked);
      return box;
    }
    case ControlKind::kRadioButton: {
      auto* radio = new QRadioButton(caption, parent);
      radio->setChecked(control.checked);
      return radio;
    }
    case ControlKind::kProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setRange(0, control.progressMaximum);
      bar->setValue(control.progressPosition);
      return bar;
    }
    case ControlKind::kListView:
      return widgets.albumList = MakeAlbumList(parent);
    case ControlKind::kDrawingBoard:
      return new QWidget(parent);
    case ControlKind::kWebBrowser: {
      auto* view = new QWebEngineView(parent);
      view->setPage(profile != nullptr ? new BrowserPage(profile, view) : new BrowserPage(view));
      return widgets.browser = view;
    }
  }
  assert(false && "unknown control kind");
  return new QWidget(parent);
}

}  // namespace

void SetWidgetGeometry(QWidget* widget, const ControlRect& rect) {
  int height = rect.height;
  // The design places the pages' controls in a page area as tall as the whole tab control; the
  // tab bar comes on top of that, so every control of the pages stays in view.
  if (auto* tabs = qobject_cast<QTabWidget*>(widget)) height += tabs->tabBar()->sizeHint().height();
  widget->setGeometry(rect.left, rect.top, rect.width, height);
}

QWidget* WindowWidgets::Find(std::string_view name) const {
  const auto found = byName.find(name);
  return found == byName.end() ? nullptr : found->second.data();
}

WindowWidgets BuildWindowWidgets(QWidget* mainWindow, const ControlsState& state,
                                 QWebEngineProfile* profile) {
  WindowWidgets widgets;
  for (const ControlSpec& spec : ControlCatalogue()) {
    const ControlState* control = state.Find(spec.name);
    assert(control != nullptr);
    QWidget* widget = nullptr;
    if (spec.name == kMainWindow) {
      widget = mainWindow;
      widget->setWindowTitle(ToDisplayString(control->caption));
    } else {
      // Another window of the design belongs to the main window, so it goes with it and does not
      // keep the program running after the main window has closed.
      QWidget* parent = spec.parent.empty() ? mainWindow : widgets.Find(spec.parent);
      assert(parent != nullptr && "parents come before their children");
      if (spec.page >= 0) parent = widgets.pages->widget(spec.page);
      widget = MakeWidget(spec, *control, parent, profile, widgets);
      if (spec.kind == ControlKind::kWindow) widgets.searchWindow = widget;
    }
    widget->setObjectName(FromUtf8(spec.name));
    SetWidgetGeometry(widget, control->rect);
    if (spec.kind != ControlKind::kWindow) widget->setVisible(control->visible);
    widget->setEnabled(control->enabled);
    widgets.byName[std::string(spec.name)] = widget;
  }
  widgets.pages->setCurrentIndex(state.Find(kPages)->currentIndex);
  return widgets;
}

}  // namespace ak
