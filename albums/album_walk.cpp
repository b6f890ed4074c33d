#include "albums/album_walk.h"

#include <string>

#include "albums/album_list.h"
#include "albums/album_list_pattern.h"
#include "albums/album_pages.h"
#include "albums/cover_picture.h"
#include "albums/name_cleaning.h"
#include "albums/page_text.h"
#include "base/codec.h"
#include "base/text_ops.h"
#include "net/service_config.h"

namespace ak {
namespace {

// The single pause of a walk, after its first album-list page.
constexpr int kFirstPagePauseMs = 1000;

std::shared_ptr<const CoverImage> ObtainCover(const Text& address, const Text& listPage,
                                              WorkerGate& gate, ListingIo& io) {
  if (address.empty()) return PlaceholderCover();
  std::shared_ptr<const CoverImage> cover =
      CoverFromJpeg(io.FetchCover(address, listPage, gate.StopToken()));
  // A cover that cannot be fetched or decoded shows the placeholder, never another album's.
  return cover != nullptr ? cover : PlaceholderCover();
}

}  // namespace

bool ListPersonAlbums(Controls& controls, const Source& source, WorkerGate& gate, ListingIo& io,
                      RefusalHold* hold, std::vector<AlbumEntry>* listed) {
  RefusalHold ownHold = ListingHold(controls, gate, {});
  RefusalHold& refusals = hold != nullptr ? *hold : ownHold;
  // Whether a page came with no answer at all (not even an error page).
  bool unanswered = false;
  auto fetch = [&](const Text& url) -> std::optional<Text> {
    std::optional<ServiceSender::Page> page = SendListingPage(refusals, io, url);
    if (!page) return std::nullopt;
    if (page->status == 0) unanswered = true;
    return PageText(page->body);
  };

  StartListing(controls);
  const Text base = "http://" + WebHost() + "/people/" + source.id + "/photos";
  const std::optional<Text> firstPage = fetch(base);
  if (!firstPage) return false;
  const Text& first = *firstPage;
  io.Pause(kFirstPagePauseMs, gate.StopToken());
  if (!gate.Checkpoint()) return false;

  const Text pageCountText = ReadPageCountText(first);
  if (HasPageCount(first)) controls.SetProgressMaximum(ctl::进度条1, ReadAlbumCount(first));
  const int pages = ToInteger(pageCountText);
  for (int page = 1; page <= pages; ++page) {
    // A page count near the int limit would overflow the start value in int.
    const long long start = static_cast<long long>(page - 1) * kAlbumsPerListPage;
    const Text url = base + "?start=" + std::to_string(start);
    const std::optional<Text> listPage = fetch(url);
    if (!listPage || !gate.Checkpoint()) return false;
    const std::vector<AlbumEntry> entries = ReadAlbumEntries(*listPage);
    // The page count is the service's claim: a page after the first that lists no album ends
    // the walk, so a count far above what the pages hold costs one page more, not millions.
    if (entries.empty() && page > 1) {
      if (page < pages) {
        controls.AppendLog(AK_GBK("豆瓣声称相册列表有") + std::to_string(pages) +
                           AK_GBK("页，但第") + std::to_string(page) +
                           AK_GBK("页起没有相册\r\n\r\n"));
      }
      break;
    }
    if (pageCountText == "1") {
      controls.SetProgressMaximum(ctl::进度条1, static_cast<int>(entries.size()));
    }
    for (const AlbumEntry& entry : entries) {
      StepListingProgress(controls);
      Text name = ListedAlbumName(entry.name);
      if (name.empty()) name = SubstituteAlbumName(entry.address, RandomLetters(3, 0));
      std::shared_ptr<const CoverImage> cover;
      if (controls.Checked(ctl::选择框_有图)) {
        cover = ObtainCover(entry.cover, url, gate, io);
        if (!gate.Checkpoint()) return false;
      }
      AppendAlbumRow(controls, name, entry.address, std::move(cover));
      if (listed != nullptr) listed->push_back(entry);
    }
  }
  if (unanswered && controls.RowCount() == 0) {
    FinishUnansweredListing(controls);
  } else {
    FinishListing(controls);
  }
  return true;
}

bool ListSingleAlbum(Controls& controls, Source& source, WorkerGate& gate) {
  if (!gate.Checkpoint()) return false;
  StartListing(controls);
  controls.SetProgressMaximum(ctl::进度条1, 1);
  CleanAlbumName(source.title);
  AppendAlbumRow(controls, source.title, source.address, nullptr);
  StepListingProgress(controls);
  FinishListing(controls);
  return true;
}

}  // namespace ak
