#include "shell/download_bindings.h"

#include <QAbstractButton>

#include "commands/download_commands.h"
#include "shell/main_window.h"

namespace ak {
namespace {

template <typename Command>
void OnClick(MainWindow& window, ControlName button, Command command) {
  auto* widget = qobject_cast<QAbstractButton*>(window.Control(button.View()));
  Q_ASSERT(widget != nullptr);
  QObject::connect(widget, &QAbstractButton::clicked, &window,
                   [&window, command] { command(window.Commands()); });
}

}  // namespace

void ConnectDownloadButtons(MainWindow& window) {
  OnClick(window, ctl::按钮_下载选中, [](CommandContext& ctx) { DownloadSelectedCommand(ctx); });
  OnClick(window, ctl::按钮_暂停线程, PauseDownloadCommand);
  OnClick(window, ctl::按钮_继续下载, ContinueDownloadCommand);
  OnClick(window, ctl::按钮_结束下载, EndDownloadCommand);
  OnClick(window, ctl::按钮_重试失败, [](CommandContext& ctx) { RetryFailedCommand(ctx); });
}

}  // namespace ak
