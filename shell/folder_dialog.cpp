#include "shell/folder_dialog.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QUrl>

#include "base/text_ops.h"
#include "shell/qt_text.h"

namespace ak {

Text ChooseFolderWithDialog(QWidget* owner, const Text& title, const Text& startFolder) {
  QFileDialog dialog(owner, ToQString(title), ToQString(startFolder));
  dialog.setObjectName(QStringLiteral("选择文件夹"));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return Trim(FromQString(QDir::toNativeSeparators(dialog.selectedFiles().constFirst())));
}

void OpenFolderOnDesktop(const Text& folder) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(folder)));
}

Text FileSystemRoot() { return FromQString(QDir::toNativeSeparators(QDir::rootPath())); }

}  // namespace ak
