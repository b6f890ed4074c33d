#include "download/album_by_pages.h"

#include "albums/name_cleaning.h"
#include "albums/page_text.h"
#include "base/codec.h"
#include "base/regex_matcher.h"
#include "base/text_ops.h"
#include "download/album_by_api.h"
#include "download/album_run.h"
#include "download/photo_page.h"

namespace ak {
namespace {

constexpr int kPhotosPerPage = 18;

// The album page's photo count: the digits between the count's own span and "张照片". Empty
// when the page has no count there at all (no album page of the service: an error page, random
// bytes); `readable` is false as well when the count holds no digit.
Text CountText(const Text& page, bool& readable) {
  const Text between = TextBetween(page, "\n</span>\n\n<span class=\"pl\">", AK_GBK("张照片"));
  Text digits = DigitsOf(between);
  readable = !digits.empty();
  return digits;
}

// Why an album page gave no count, for the line that fails the album.
Text NoCountReason(const Bytes& albumPage, const Text& page) {
  if (albumPage.empty()) return AK_GBK("相册页面没有应答");
  if (!TextBetween(page, "\n</span>\n\n<span class=\"pl\">", AK_GBK("张照片")).empty()) {
    return AK_GBK("相册页面上的照片数不是数字");
  }
  return AK_GBK("相册页面上找不到照片数（不是豆瓣的相册页面，或页面格式已改变）");
}

// The index of the earlier page that listed exactly `ids` (photos found), else pages.size().
std::size_t RepeatedPage(const std::vector<std::vector<Text>>& pages,
                         const std::vector<Text>& ids) {
  if (ids.empty()) return pages.size();
  for (std::size_t earlier = 0; earlier < pages.size(); ++earlier) {
    if (pages[earlier] == ids) return earlier;
  }
  return pages.size();
}

// How a walk of the album's pages ended.
enum class Walk {
  kDone,      // every page walked
  kEnded,     // the batch was ended
  kFallback,  // the pages are not what the walk understands: retry through the API
};

Walk WalkPages(const AlbumDownloadEnv& env, BatchTally& tally, AlbumJob& job,
               std::vector<Text>& savedIds) {
  AlbumRun run(env, tally);
  const std::optional<Bytes> albumPage = run.FetchOnce(job.address);
  if (!albumPage) return Walk::kEnded;
  const Text albumText = PageText(*albumPage);
  bool readable = false;
  const Text countText = CountText(albumText, readable);
  if (!readable) {
    // Nothing to say the album is empty: it cannot be downloaded, and the user is told why.
    run.Fail(job.name, NoCountReason(*albumPage, albumText));
    return Walk::kDone;
  }
  const int count = ToInteger(countText);
  // An album page that shows a count of 0 is an empty album: skipped without a word.
  if (count <= 0) return Walk::kDone;

  job.countSlot = countText;
  run.Start(job.name, count);
  Text name = job.name;
  job.name = CleanAlbumName(name) + countText;
  // The count is the service's claim; the walk ends at the first page after the first that
  // lists no photo, so a count far above what the pages hold costs one page more, not millions.
  const int pages = count / kPhotosPerPage + 1;
  if (!run.PrepareFolder(job.name, countText, job.address)) return Walk::kDone;

  RegexMatcher matcher;
  // The photo ids of every page walked, to see a page that repeats an earlier one.
  std::vector<std::vector<Text>> pageIds;
  // The paging parameter: "start", or "m_start" once "start" gave a page again (the service
  // renamed it once).
  Text paging = "start";
  int entries = 0;
  for (int page = 1; page <= pages; ++page) {
    const Text address =
        job.address + "?" + paging + "=" + std::to_string((page - 1) * kPhotosPerPage);
    const std::optional<Bytes> body = run.FetchWithRetries(address);
    if (!body) return Walk::kEnded;
    const std::vector<ScrapedPhoto> photos =
        ReadPhotoPage(matcher, env.controls.Caption(ctl::编辑框_正则), PageText(*body));
    std::vector<Text> ids;
    for (const ScrapedPhoto& photo : photos) ids.push_back(photo.id);
    const std::size_t earlier = RepeatedPage(pageIds, ids);
    if (earlier < pageIds.size() && paging == "start") {
      env.controls.AppendLog(AK_GBK("相册《") + job.name + AK_GBK("》的第") + std::to_string(page) +
                             AK_GBK("页重复了第") + std::to_string(earlier + 1) +
                             AK_GBK("页的照片，改用“m_start=”翻页\r\n\r\n"));
      paging = "m_start";
      --page;
      continue;
    }
    if (earlier < pageIds.size()) {
      // The service ignores both ways of paging: walking on would save the same photos again
      // under new numbers and never reach the others.
      env.controls.AppendLog(AK_GBK("相册《") + job.name + AK_GBK("》的第") + std::to_string(page) +
                             AK_GBK("页重复了第") + std::to_string(earlier + 1) +
                             AK_GBK("页的照片（豆瓣的翻页方式可能已改变），停止浏览这个相册，"
                                    "改用API模式重新下载一次\r\n\r\n"));
      run.RecordSavedPhotos();
      savedIds = run.savedIds();
      tally.promisedByPages = count;
      return Walk::kFallback;
    }
    if (ids.empty() && page > 1) {
      // The pages hold no more photos, whatever the count claims. A page that never answered
      // may have held some: the album is not complete, and the user is told.
      if (body->empty() && entries > 0) {
        run.Fail(job.name, AK_GBK("第") + std::to_string(page) +
                               AK_GBK("页试了10次都没有应答，后面的照片没有下载"));
      }
      break;
    }
    entries += static_cast<int>(ids.size());
    pageIds.push_back(std::move(ids));
    for (std::size_t match = 0; match < photos.size(); ++match) {
      const ScrapedPhoto& found = photos[match];
      PhotoToFetch photo;
      photo.runningNumber = (page - 1) * kPhotosPerPage + static_cast<int>(match) + 1;
      photo.id = found.id;
      photo.mediumAddress = found.mediumAddress;
      photo.largeAddress = found.largeAddress;
      photo.originalAddress = found.originalAddress;
      photo.description = found.description;
      if (env.controls.Checked(ctl::选择框_描述作为文件名)) {
        Text description = found.description;
        photo.descriptionPart = CleanDescription(description, 240);
      }
      if (!run.DownloadPhoto(photo, job.countSlot)) return Walk::kEnded;
    }
  }
  if (entries == 0) {
    // A count but no photo on any page: the pages have a layout the pattern no longer matches.
    // The album promised photos: the retry through the API must find some.
    tally.promisedByPages = count;
    env.controls.AppendLog(AK_GBK("相册《") + job.name + AK_GBK("》有") + countText +
                           AK_GBK("张照片，但页面上找不到照片（页面格式可能已改变），改用API模式"
                                  "重新下载一次\r\n\r\n"));
    return Walk::kFallback;
  }
  run.Finish(job.name);
  return Walk::kDone;
}

}  // namespace

bool DownloadAlbumByPages(const AlbumDownloadEnv& env, BatchTally& tally, AlbumJob& job) {
  const AlbumJob queued = job;
  std::vector<Text> savedIds;
  const Walk walk = WalkPages(env, tally, job, savedIds);
  if (walk == Walk::kEnded) return false;
  if (walk == Walk::kDone) return true;
  // Once through the API, from the job as it was queued; the photos the walk saved already
  // are not fetched again.
  job = queued;
  tally.alreadySaved.clear();
  tally.alreadySaved.insert(savedIds.begin(), savedIds.end());
  const int refusedBefore = tally.apiRefusedAlbums;
  const bool goOn = DownloadAlbumByApi(env, tally, job);
  tally.alreadySaved.clear();
  tally.promisedByPages = 0;
  if (goOn && tally.apiRefusedAlbums > refusedBefore) {
    // The API refused (said above): the album is lost to both ways for now.
    env.controls.AppendLog(AK_GBK("相册《") + queued.name +
                           AK_GBK("》在浏览模式下读不到照片，API也无法下载它（原因见上）\r\n\r\n"));
  }
  return goOn;
}

}  // namespace ak
