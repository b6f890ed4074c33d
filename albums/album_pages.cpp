#include "albums/album_pages.h"

#include "albums/album_list_pattern.h"
#include "albums/name_cleaning.h"
#include "albums/page_text.h"
#include "base/codec.h"
#include "base/regex_matcher.h"
#include "base/text_ops.h"

namespace ak {
namespace {

// The page title with its line feeds removed.
Text PageTitle(std::string_view page) {
  return Replace(ScrapedText(TextBetween(page, "<title>", "</title>")), "\n", "", 1, -1, true);
}

}  // namespace

std::vector<AlbumEntry> ReadAlbumEntries(std::string_view page) {
  RegexMatcher matcher;
  matcher.RunPattern(AlbumListPattern, page);
  std::vector<AlbumEntry> entries;
  entries.reserve(static_cast<std::size_t>(matcher.MatchCount()));
  // Where each entry's name link stands, to read the count that follows it.
  std::vector<std::size_t> links;
  std::size_t from = 0;
  for (int i = 1; i <= matcher.MatchCount(); ++i) {
    const Text link =
        "<a href=\"" + matcher.SubMatchText(i, 2) + "\">" + matcher.SubMatchText(i, 3);
    const std::size_t at = page.find(link, from);
    links.push_back(at);
    if (at != std::string_view::npos) from = at + link.size();
    entries.push_back({ScrapedText(matcher.SubMatchText(i, 1)),
                       ScrapedText(matcher.SubMatchText(i, 2)),
                       ScrapedText(matcher.SubMatchText(i, 3))});
  }
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (links[i] == std::string_view::npos) continue;
    const std::size_t next = i + 1 < links.size() ? links[i + 1] : std::string_view::npos;
    entries[i].photoCount = ShownPhotoCount(page.substr(
        links[i], next == std::string_view::npos ? std::string_view::npos : next - links[i]));
  }
  return entries;
}

Text ShownPhotoCount(std::string_view text) {
  const std::size_t unit = text.find(AK_GBK("张照片"));
  if (unit == std::string_view::npos) return {};
  std::size_t start = unit;
  while (start > 0 && text[start - 1] >= '0' && text[start - 1] <= '9') --start;
  return Text(text.substr(start, unit - start));
}

bool HasPageCount(std::string_view firstPage) {
  return !TextBetween(firstPage, "data-total-page=\"", "\">1</span>").empty();
}

Text ReadPageCountText(std::string_view firstPage) {
  Text count = TextBetween(firstPage, "data-total-page=\"", "\">1</span>");
  return count.empty() ? Text("1") : count;
}

int ReadAlbumCount(std::string_view firstPage) {
  return ToInteger(
      TextBetween(firstPage, AK_GBK("<span class=\"count\">(共"), AK_GBK("个)</span>")));
}

Text ReadOwnerName(std::string_view homePage) {
  Text name =
      ScrapedText(TextBetween(homePage, "application/rss+xml\" title=\"", AK_GBK("的收藏\" />")));
  if (name.empty()) name = PageTitle(homePage);
  return RemoveBlanks(name);
}

Text ReadAlbumTitle(std::string_view albumPage) {
  Text title = ScrapedText(TextBetween(albumPage, "<h1>", "</h1>"));
  if (title.empty()) title = PageTitle(albumPage);
  return RemoveBlanks(title);
}

Text ListedAlbumName(std::string_view name) {
  Text cleaned(name);
  CleanAlbumName(cleaned);
  return Trim(cleaned);
}

Text SubstituteAlbumName(std::string_view address, std::string_view letters) {
  return DigitsOf(address) + AK_GBK("(随机字母") + Text(letters) + AK_GBK("）");
}

}  // namespace ak
