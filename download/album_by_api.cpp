#include "download/album_by_api.h"

#include <algorithm>

#include "albums/name_cleaning.h"
#include "base/codec.h"
#include "base/text_ops.h"
#include "download/album_metadata.h"
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
  // Retrying an album whose pages showed a count: it promised photos, whatever the total says.
  if (tally.promisedByPages > 0) run.ExpectPhotos();
  // The total comes from the service as it is: cleaned like the name it becomes part of, so it
  // cannot name another folder.
  Text name = job.name;
  Text totalPart = totalText;
  job.name = CleanAlbumName(name) + CleanAlbumName(totalPart);
  // The total is the service's claim; the walk ends at the first page after the first that
  // lists no photo, so a total far above what the answers hold costs one request more.
  const int pages = total / kPhotosPerPage + 1;
  if (!run.PrepareFolder(job.name, totalPart, albumAddress)) return true;
  int listed = 0;

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
    bool photoList = false;
    const std::vector<ApiPhoto> photos = ParseApiPhotoPage(*body, &photoList);
    if (!photoList && listed == 0) {
      // An answer that is no photo list (an error of the service, random bytes): whatever the
      // total, the album should have had one.
      run.ExpectPhotos();
      run.SetNothingFoundReason(body->empty()
                                    ? AK_GBK("API试了10次都没有应答")
                                    : AK_GBK("API的应答不是照片列表（可能是API报告的错误）"));
    }
    if (photos.empty() && page > 1) {
      if (body->empty() && listed > 0) {
        run.Fail(job.name, AK_GBK("API的第") + std::to_string(page) +
                               AK_GBK("页试了10次都没有应答，后面的照片没有下载"));
      }
      break;
    }
    listed += static_cast<int>(photos.size());
    for (std::size_t element = 0; element < photos.size(); ++element) {
      const ApiPhoto& found = photos[element];
      PhotoToFetch photo;
      photo.runningNumber = (page - 1) * kPhotosPerPage + static_cast<int>(element) + 1;
      photo.id = found.id;
      photo.mediumAddress = found.image;
      photo.largeAddress = found.large.empty() || found.large == "null" ? found.image : found.large;
      photo.description = JsonStringValue(found.desc);
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
