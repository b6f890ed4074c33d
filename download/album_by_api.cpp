#include "download/album_by_api.h"

#include <algorithm>

#include "albums/name_cleaning.h"
#include "base/codec.h"
#include "base/text_ops.h"
#include "download/album_run.h"
#include "download/api_photos.h"
#include "download/api_refusal.h"
#include "download/photo_page.h"
#include "net/service_config.h"

namespace ak {
namespace {

constexpr int kPhotosPerPage = 100;

// The API's answer refuses the request: the album fails (nothing is recorded) with the line
// that says why, once a batch for a refused key, whose later albums are then not asked for.
void FailRefusedAlbum(const AlbumDownloadEnv& env, BatchTally& tally, const ApiRefusal& refusal,
                      const Text& key) {
  ++tally.failedAlbums;
  ++tally.apiRefusedAlbums;
  const bool keyRefused = IsApiKeyRefusal(refusal);
  if (!keyRefused || !tally.refusedApiKey) env.controls.AppendLog(ApiRefusalLine(refusal));
  if (keyRefused) tally.refusedApiKey = key;
}

}  // namespace

bool DownloadAlbumByApi(const AlbumDownloadEnv& env, BatchTally& tally, AlbumJob& job) {
  const Text key = Trim(env.controls.Caption(ctl::编辑框_接口密钥));
  if (tally.refusedApiKey == key) {
    // The service refused this very key before in this batch: asking again would only be refused.
    // The line that said so came with the first refusal.
    ++tally.failedAlbums;
    ++tally.apiRefusedAlbums;
    return true;
  }
  AlbumRun run(env, tally);
  const Text albumAddress = job.address;
  job.address = TextBetween(job.address, "/photos/album/", "/");
  const Text base = "https://" + ApiHost() + "/v2/album/" + job.address;

  const std::optional<Bytes> totalAnswer =
      run.FetchOnce(WithApiKey(base + "/photos?count=1", key), RequestKind::kApi);
  if (!totalAnswer) return false;
  if (const std::optional<ApiRefusal> refusal = ApiRefusalOf(*totalAnswer)) {
    FailRefusedAlbum(env, tally, *refusal, key);
    return true;
  }
  const Text totalText = ApiTotalText(Utf8ToGbk(*totalAnswer));
  job.countSlot = totalText;
  const int total = std::max(ToInteger(totalText), 0);
  run.Start(job.name, total);
  // The total comes from the service as it is: cleaned like the name it becomes part of, so it
  // cannot name another folder.
  Text name = job.name;
  Text totalPart = totalText;
  job.name = CleanAlbumName(name) + CleanAlbumName(totalPart);
  const int pages = total / kPhotosPerPage + 1;
  run.PrepareFolder(job.name, totalPart, albumAddress);

  for (int page = 1; page <= pages; ++page) {
    const Text address = base + "/photos?start=" + std::to_string((page - 1) * kPhotosPerPage) +
                         "&count=" + std::to_string(kPhotosPerPage);
    const std::optional<Bytes> body =
        run.FetchWithRetries(WithApiKey(address, key), RequestKind::kApi);
    if (!body) return false;
    if (const std::optional<ApiRefusal> refusal = ApiRefusalOf(*body)) {
      // Refused in the middle of the album: what was saved stays; the album failed.
      run.RecordSavedPhotos();
      FailRefusedAlbum(env, tally, *refusal, key);
      return true;
    }
    const std::vector<ApiPhoto> photos = ParseApiPhotoPage(*body);
    for (std::size_t element = 0; element < photos.size(); ++element) {
      const ApiPhoto& found = photos[element];
      PhotoToFetch photo;
      photo.runningNumber = (page - 1) * kPhotosPerPage + static_cast<int>(element) + 1;
      photo.id = found.id;
      photo.mediumAddress = found.image;
      photo.largeAddress = found.large.empty() || found.large == "null" ? found.image : found.large;
      photo.originalAddress = OriginalPictureAddress(photo.largeAddress);
      // The id names the file when descriptions do not; it comes from the service as well, so
      // it is cleaned like the description it stands in for.
      Text part = env.controls.Checked(ctl::选择框_描述作为文件名) ? found.desc : found.id;
      photo.descriptionPart = CleanDescription(part, 240);
      if (!run.DownloadPhoto(photo, job.countSlot)) return false;
    }
  }
  run.Finish(job.name);
  return true;
}

}  // namespace ak
