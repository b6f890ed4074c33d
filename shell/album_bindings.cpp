#include "shell/album_bindings.h"

#include <string>

#include "commands/album_commands.h"
#include "controls/control_names.h"
#include "shell/main_window.h"

namespace ak {
namespace {

using Command = void (*)(CommandContext&);

void GetAlbums(CommandContext& ctx) { GetAlbumsCommand(ctx); }

// The controls whose click runs an album command, and the command.
struct ClickBinding {
  ControlName control;
  Command command;
};

const ClickBinding kClickBindings[] = {
    {ctl::按钮_获取相册封面, GetAlbums},
    {ctl::选择框_全选, SelectAllCommand},
    {ctl::选择框_反选, InvertCommand},
    {ctl::标签_查找, OpenSearchWindowCommand},
    {ctl::按钮_查找, FindAlbumCommand},
    {ctl::按钮_查找下一个, FindNextAlbumCommand},
    {ctl::按钮_查找上一个, FindPreviousAlbumCommand},
};

}  // namespace

void ConnectAlbumCommands(MainWindow& window) {
  // The window has passed the click on to the model before it signals, so a command reads the
  // box's new state.
  QObject::connect(&window, &MainWindow::controlClicked, &window, [&window](const QString& name) {
    const std::string clicked = name.toStdString();
    for (const ClickBinding& binding : kClickBindings) {
      if (binding.control.View() == clicked) {
        binding.command(window.Commands());
        return;
      }
    }
  });
  QObject::connect(&window, &MainWindow::rowTickChanged, &window,
                   [&window](int row, bool) { RowTickToggledCommand(window.Commands(), row); });
}

}  // namespace ak
