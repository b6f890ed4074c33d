#pragma once

#include <vector>

#include "base/types.h"
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

// True when the address itself was refused (empty, or neither a person's page nor an album).
inline bool AddressRefused(GetAlbumsOutcome outcome) {
  return outcome == GetAlbumsOutcome::kEmptyAddress || outcome == GetAlbumsOutcome::kBadAddress;
}

// One row of the album list as the listing left it (GBK).
struct ListedAlbum {
  Text number;
  Text name;
  Text address;
  // What the listing read beside the row: the cover's address and the photo count the page
  // shows (digits; empty when it shows none). Not shown in the window.
  Text cover{};
  Text photoCount{};
  bool operator==(const ListedAlbum&) const = default;
};

// What a listing gave once its worker had ended.
struct ListingResult {
  std::vector<ListedAlbum> rows;
  // The service refused the listing's requests and the listing ended there.
  bool endedByRefusal = false;
  bool operator==(const ListingResult&) const = default;
};

// `按钮_获取相册封面`: checks the address in `编辑框_号码` and starts the listing on the listing
// worker, which fetches the home page or album page for its title, records the source and lists
// the person's albums or the one album. While the listing runs the button is disabled, and a
// further press starts nothing.
GetAlbumsOutcome GetAlbumsCommand(CommandContext& ctx);

// Waits until the listing worker has ended (at once when none runs) and returns the rows of the
// album list and how the listing ended. Not from the listing worker itself.
ListingResult AwaitListing(CommandContext& ctx);

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
