#pragma once

#include <string_view>
#include <vector>

#include "base/types.h"

namespace ak {

// What the listing reads from the service's pages. Every function takes page text already
// converted to GBK and only looks at fixed markers and AlbumListPattern; a page without them
// gives empty results.

// One album entry of an album-list page, as the page writes it.
struct AlbumEntry {
  Text cover;    // the cover's address; empty when the album has none
  Text address;  // the album's page address
  Text name;     // the link text, not cleaned
  // The photo count the entry shows ("12张照片"), digits only; empty when it shows none.
  Text photoCount{};
  friend bool operator==(const AlbumEntry&, const AlbumEntry&) = default;
};

// The entries of an album-list page, in page order.
std::vector<AlbumEntry> ReadAlbumEntries(std::string_view page);

// The digits right before the first "张照片" of `text` (GBK); empty when there are none.
Text ShownPhotoCount(std::string_view text);

// The page count as the first album-list page writes it ("data-total-page="); "1" when the
// page has no page count.
Text ReadPageCountText(std::string_view firstPage);
// True when the first album-list page has a page count.
bool HasPageCount(std::string_view firstPage);
// The album count of the list heading ("(共N个)"); 0 when absent.
int ReadAlbumCount(std::string_view firstPage);

// The owner's display name on a person's home page: the title of the feed link (before
// "的收藏"), else the page title without line feeds; every half- and full-width space removed.
Text ReadOwnerName(std::string_view homePage);
// The album's title on its page: the text of <h1>, else the page title without line feeds;
// every half- and full-width space removed.
Text ReadAlbumTitle(std::string_view albumPage);

// The name an entry is listed under: cleaned for use as a folder name and trimmed. May be empty.
Text ListedAlbumName(std::string_view name);
// The name of an album whose name cleans to nothing: the digits of its address, "(随机字母",
// `letters` and "）".
Text SubstituteAlbumName(std::string_view address, std::string_view letters);

}  // namespace ak
