#include "shell/skin.h"

#include <QApplication>

namespace ak {

QString SkinStyleSheet(int number) {
  if (number != 13) return {};
  // A calm blue-grey skin: light panels, blue accents, rounded buttons.
  return QStringLiteral(R"(
QWidget#主窗口, QWidget#查找窗口 { background: #eef2f7; }
QWidget { font-family: "Noto Sans CJK SC", "Noto Sans SC", sans-serif; font-size: 11px;
          color: #1f2d3d; }
QToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f9fbfd, stop:1 #dfe7f1);
           border: none; spacing: 6px; }
QToolBar QToolButton { font-size: 14px; padding: 8px 16px; border-radius: 4px; }
QToolBar QToolButton:hover { background: #cfdff1; }
QTabWidget::pane { border: 1px solid #b7c6d8; background: #f7f9fc; }
QTabBar::tab { background: #dde6f0; border: 1px solid #b7c6d8; padding: 4px 8px; }
QTabBar::tab:selected { background: #f7f9fc; border-bottom-color: #f7f9fc; }
QGroupBox { border: 1px solid #c3d0df; border-radius: 4px; margin-top: 8px; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; color: #2c5d8f; }
QPushButton { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #dce6f2);
              border: 1px solid #8fa9c7; border-radius: 4px; padding: 2px 6px; }
QPushButton:hover { border-color: #3c78b4; }
QPushButton:pressed { background: #c9d8ea; }
QLineEdit, QPlainTextEdit { background: #ffffff; border: 1px solid #a9bbd0; border-radius: 3px; }
QTreeWidget { background: #ffffff; border: 1px solid #a9bbd0; }
QHeaderView::section { background: #e4ebf3; border: 1px solid #c3d0df; padding: 2px; }
QProgressBar { border: 1px solid #a9bbd0; border-radius: 3px; background: #ffffff;
               text-align: center; }
QProgressBar::chunk { background: #4a8bd0; }
QLabel#标签_查找 { color: #1a5fb4; text-decoration: underline; }
QLabel#标签12 { color: #9db0c6; }
QMessageBox { background: #eef2f7; }
)");
}

void ApplySkin(int number) {
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
    app->setStyleSheet(SkinStyleSheet(number));
  }
}

}  // namespace ak
