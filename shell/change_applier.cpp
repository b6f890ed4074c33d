#include "shell/change_applier.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QWebEngineView>

#include "albums/album_list.h"
#include "shell/qt_text.h"

namespace ak {
namespace {

QIcon CoverIcon(const std::shared_ptr<const CoverImage>& cover) {
  if (cover == nullptr || cover->width <= 0 || cover->height <= 0 ||
      cover->rgba.size() < static_cast<std::size_t>(cover->width) * cover->height * 4) {
    return {};
  }
  const QImage image(cover->rgba.data(), cover->width, cover->height, cover->width * 4,
                     QImage::Format_RGBA8888);
  // The list shows covers at 100 x 100; copy so the picture outlives the change.
  return QIcon(
      QPixmap::fromImage(image.scaled(100, 100, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void SetCaption(QWidget* widget, const Text& text, const WindowWidgets& widgets) {
  if (widget == widgets.browser) {
    widgets.browser->setUrl(QUrl::fromUserInput(ToQString(text)));
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    const QString shown = ToQString(text);
    if (edit->text() != shown) edit->setText(shown);
  } else if (auto* log = qobject_cast<QPlainTextEdit*>(widget)) {
    log->setPlainText(ToDisplayString(text));
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(label->textFormat() == Qt::RichText ? ToCompactHtml(text)
                                                       : ToDisplayString(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(ToDisplayString(text));
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(ToDisplayString(text));
  } else if (widget->isWindow()) {
    widget->setWindowTitle(ToDisplayString(text));
  }
}

void SetChecked(QWidget* widget, bool checked) {
  auto* button = qobject_cast<QAbstractButton*>(widget);
  if (button == nullptr) return;
  auto* radio = qobject_cast<QRadioButton*>(widget);
  if (radio != nullptr && !checked && radio->isChecked()) {
    // A radio button of a group refuses to be cleared directly.
    radio->setAutoExclusive(false);
    radio->setChecked(false);
    radio->setAutoExclusive(true);
    return;
  }
  button->setChecked(checked);
}

void AppendLog(QWidget* widget, const Text& text) {
  auto* log = qobject_cast<QPlainTextEdit*>(widget);
  if (log == nullptr) return;
  log->moveCursor(QTextCursor::End);
  log->insertPlainText(ToDisplayString(text));
  log->moveCursor(QTextCursor::End);
  log->ensureCursorVisible();
}

void ShowMessage(const ControlChange& change, QWidget* mainWindow) {
  auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("信息："),
                              ToDisplayString(change.text), QMessageBox::Ok, mainWindow);
  box->setObjectName(QStringLiteral("信息框"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::ApplicationModal);
  if (change.answer != nullptr) {
    auto answer = change.answer;
    QObject::connect(box, &QMessageBox::finished, box, [answer] { answer->Answer(); });
  }
  box->show();
}

QTreeWidgetItem* NewRow(QTreeWidget* list) {
  auto* item = new QTreeWidgetItem(list);
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(kColumnTick, Qt::Unchecked);
  return item;
}

void SetColumnWidth(QTreeWidget* list, int column, int width) {
  list->setColumnHidden(column, width <= 0);
  if (width > 0) list->setColumnWidth(column, width);
}

void ApplyToList(QTreeWidget* list, const ControlChange& change) {
  QTreeWidgetItem* item = change.row >= 0 ? list->topLevelItem(change.row) : nullptr;
  switch (change.kind) {
    case ChangeKind::kRowsCleared:
      list->clear();
      return;
    case ChangeKind::kRowAppended:
      NewRow(list);
      return;
    case ChangeKind::kColumnWidth:
      SetColumnWidth(list, change.column, change.value);
      return;
    default:
      break;
  }
  if (item == nullptr) return;
  switch (change.kind) {
    case ChangeKind::kCellText:
      item->setText(change.column, ToQString(change.text));
      break;
    case ChangeKind::kRowChecked:
      item->setCheckState(kColumnTick, change.value != 0 ? Qt::Checked : Qt::Unchecked);
      break;
    case ChangeKind::kRowCover:
      item->setIcon(kColumnCover, CoverIcon(change.cover));
      break;
    case ChangeKind::kRowSelected:
      list->setCurrentItem(item);
      break;
    case ChangeKind::kRowShown:
      list->scrollToItem(item);
      break;
    default:
      break;
  }
}

}  // namespace

void ApplyChange(const WindowWidgets& widgets, const ControlChange& change, QWidget* mainWindow) {
  if (change.kind == ChangeKind::kMessage) {
    ShowMessage(change, mainWindow);
    return;
  }
  if (change.fromView) return;
  QWidget* widget = widgets.Find(change.control);
  if (widget == nullptr) return;
  switch (change.kind) {
    case ChangeKind::kCaption:
      SetCaption(widget, change.text, widgets);
      break;
    case ChangeKind::kChecked:
      SetChecked(widget, change.value != 0);
      break;
    case ChangeKind::kVisible:
      if (widget != mainWindow) widget->setVisible(change.value != 0);
      break;
    case ChangeKind::kEnabled:
      widget->setEnabled(change.value != 0);
      break;
    case ChangeKind::kGeometry:
      SetWidgetGeometry(widget, change.rect);
      break;
    case ChangeKind::kProgressMaximum:
      if (auto* bar = qobject_cast<QProgressBar*>(widget)) bar->setMaximum(change.value);
      break;
    case ChangeKind::kProgressPosition:
      if (auto* bar = qobject_cast<QProgressBar*>(widget)) bar->setValue(change.value);
      break;
    case ChangeKind::kCurrentIndex:
      if (auto* tabs = qobject_cast<QTabWidget*>(widget)) tabs->setCurrentIndex(change.value);
      break;
    case ChangeKind::kLogAppend:
      AppendLog(widget, change.text);
      break;
    default:
      if (widget == widgets.albumList) ApplyToList(widgets.albumList, change);
      break;
  }
}

void ApplyRows(const WindowWidgets& widgets, const ControlsState& state) {
  QTreeWidget* list = widgets.albumList;
  list->clear();
  for (const ListRow& row : state.Rows()) {
    QTreeWidgetItem* item = NewRow(list);
    for (int column = 0; column < kAlbumListColumns; ++column) {
      item->setText(column, ToQString(row.cells[column]));
    }
    item->setCheckState(kColumnTick, row.checked ? Qt::Checked : Qt::Unchecked);
    if (row.cover != nullptr) item->setIcon(kColumnCover, CoverIcon(row.cover));
  }
  for (int column = 0; column < kAlbumListColumns; ++column) {
    SetColumnWidth(list, column, state.ColumnWidths()[column]);
  }
}

}  // namespace ak
