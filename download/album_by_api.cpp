#include "download/album_by_api.h"

#include <algorithm>

#include "albums/name_cleaning.h"
#include "base/codec.h"
#include "base/text_ops.h"
#include "download/album_metadata.h"
#include "download/album_run.h"
#include "download/api_photos.h"
#include "net/service_config.h"

namespace ak {
namespace {

constexpr int kPhotosPerPage = 100;

}  // namespace

bool DownloadAlbumByApi(const AlbumDownloadEnv& env, BatchTally& tally, AlbumJob& job) {
  AlbumRun run(env, tally);
  const Text albumAddress = job.address;
  job.address = TextBetween(job.address, "/photos/album/", "/");
  const Text base = "https://" + ApiHost() + "/v2/album/" + job.address;

  const std::optional<Bytes> totalAnswer =
      run.FetchOnce(base + "/photos?count=1", RequestKind::kApi);
  if (!totalAnswer) return false;
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
    const std::optional<Bytes> body = run.FetchWithRetries(address, RequestKind::kApi);
    if (!body) return false;
    const std::vector<ApiPhoto> photos = ParseApiPhotoPage(*body);
    for (std::size_t element = 0; element < photos.size(); ++element) {
      const ApiPhoto& found = photos[element];
      PhotoToFetch photo;
      photo.runningNumber = (page - 1) * kPhotosPerPage + static_cast<int>(element) + 1;
      photo.id = found.id;
      photo.mediumAddress = found.image;
      photo.largeAddress = found.large.empty() || found.large == "null" ? found.image : found.large;
      photo.description = JsonStringValue(found.desc);
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
