#include "download/album_by_pages.h"

#include "albums/name_cleaning.h"
#include "base/codec.h"
#include "base/regex_matcher.h"
#include "base/text_ops.h"
#include "download/album_run.h"
#include "download/photo_request.h"

namespace ak {
namespace {

constexpr int kPhotosPerPage = 18;

// The album page's photo count: the digits between the count's own span and "张照片".
Text CountText(const Text& page) {
  return DigitsOf(TextBetween(page, "\n</span>\n\n<span class=\"pl\">", AK_GBK("张照片")));
}

}  // namespace

bool DownloadAlbumByPages(AlbumDownloadEnv& env, AlbumJob& job) {
  AlbumRun run(env);
  const std::optional<Bytes> albumPage = run.FetchOnce(job.address);
  if (!albumPage) return false;
  const Text countText = CountText(Utf8ToGbk(*albumPage));
  const int count = ToInteger(countText);
  if (count <= 0) return true;

  job.countSlot = countText;
  run.Start(job.name, count);
  Text name = job.name;
  job.name = CleanAlbumName(name) + countText;
  const int pages = count / kPhotosPerPage + 1;
  run.PrepareFolder(job.name, job.address);

  RegexMatcher matcher;
  for (int page = 1; page <= pages; ++page) {
    const Text address = job.address + "?start=" + std::to_string((page - 1) * kPhotosPerPage);
    const std::optional<Bytes> body = run.FetchWithRetries(address);
    if (!body) return false;
    const Text userPattern = env.controls.Caption(ctl::编辑框_正则);
    matcher.RunPattern(userPattern.empty() ? Text(BuiltInPhotoPattern()) : userPattern,
                       Utf8ToGbk(*body));
    for (int match = 1; match <= matcher.MatchCount(); ++match) {
      PhotoToFetch photo;
      photo.runningNumber = (page - 1) * kPhotosPerPage + match;
      photo.id = matcher.SubMatchText(match, 3);
      const Text hostPart = matcher.SubMatchText(match, 2);
      photo.mediumAddress = MediumPictureAddress(hostPart, photo.id);
      photo.largeAddress = LargePictureAddress(hostPart, photo.id);
      if (env.controls.Checked(ctl::选择框_描述作为文件名)) {
        Text description = matcher.SubMatchText(match, 1);
        photo.descriptionPart = CleanDescription(description, 240);
      }
      if (!run.DownloadPhoto(photo, job.countSlot)) return false;
    }
  }
  run.Finish(job.name);
  return true;
}

}  // namespace ak
