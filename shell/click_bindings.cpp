#include "shell/click_bindings.h"

#include "commands/album_commands.h"
#include "commands/download_commands.h"
#include "shell/main_window.h"

namespace ak {
namespace {

// A command over the window's command context.
template <void (*Command)(CommandContext&)>
void OnCommands(MainWindow& window) {
  Command(window.Commands());
}

// The address's refusal is answered by the command itself, with its message box.
void GetAlbums(CommandContext& ctx) { GetAlbumsCommand(ctx); }
void DownloadSelected(CommandContext& ctx) { DownloadSelectedCommand(ctx); }
void RetryFailed(CommandContext& ctx) { RetryFailedCommand(ctx); }

const ClickBinding kClickBindings[] = {
    // The login page.
    {ctl::按钮_打开, [](MainWindow& window) { window.GoToAddress(); }},
    // The album page: the listing and the list.
    {ctl::按钮_获取相册封面, OnCommands<GetAlbums>},
    {ctl::选择框_全选, OnCommands<SelectAllCommand>},
    {ctl::选择框_反选, OnCommands<InvertCommand>},
    {ctl::标签_查找, OnCommands<OpenSearchWindowCommand>},
    // The download buttons.
    {ctl::按钮_下载选中, OnCommands<DownloadSelected>},
    {ctl::按钮_暂停线程, OnCommands<PauseDownloadCommand>},
    {ctl::按钮_继续下载, OnCommands<ContinueDownloadCommand>},
    {ctl::按钮_结束下载, OnCommands<EndDownloadCommand>},
    {ctl::按钮_重试失败, OnCommands<RetryFailed>},
    // The save folder.
    {ctl::按钮_选择位置, [](MainWindow& window) { window.ChooseSaveFolder(); }},
    {ctl::按钮_打开目录, [](MainWindow& window) { window.OpenSaveFolder(); }},
    // The settings page.
    {ctl::按钮_checknew, [](MainWindow& window) { window.CheckForUpdateClicked(); }},
    // The search window.
    {ctl::按钮_查找, OnCommands<FindAlbumCommand>},
    {ctl::按钮_查找下一个, OnCommands<FindNextAlbumCommand>},
    {ctl::按钮_查找上一个, OnCommands<FindPreviousAlbumCommand>},
};

}  // namespace

std::span<const ClickBinding> ClickBindings() { return kClickBindings; }

ClickCommand ClickCommandOf(std::string_view control) {
  for (const ClickBinding& binding : kClickBindings) {
    if (binding.control.View() == control) return binding.command;
  }
  return nullptr;
}

}  // namespace ak
