#pragma once

#include "commands/command_context.h"

namespace ak {

// What a press of `按钮_获取相册封面` did.
enum class GetAlbumsOutcome {
  kStarted,       // the listing worker runs
  kEmptyAddress,  // message "请输入网址"
  kBadAddress,    // message "网址格式不符"
  kBusy,          // a listing runs already; nothing started
  kNoWorker,      // no thread could be started
};

// `按钮_获取相册封面`: checks the address in `编辑框_号码` and starts the listing on the listing
// worker, which fetches the home page or album page for its title, records the source and lists
// the person's albums or the one album. While the listing runs the button is disabled, and a
// further press starts nothing.
GetAlbumsOutcome GetAlbumsCommand(CommandContext& ctx);

// The album list's commands, on the window thread.
void SelectAllCommand(CommandContext& ctx);
void InvertCommand(CommandContext& ctx);
void RowTickToggledCommand(CommandContext& ctx, int row);
// `标签_查找`: shows the search window (not modal).
void OpenSearchWindowCommand(CommandContext& ctx);
void FindAlbumCommand(CommandContext& ctx);
void FindNextAlbumCommand(CommandContext& ctx);
void FindPreviousAlbumCommand(CommandContext& ctx);

}  // namespace ak
