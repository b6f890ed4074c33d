#include "download/album_job.h"

namespace ak {

Text JoinAlbumJob(const AlbumJob& job) {
  Text queued = job.countSlot;
  queued += kAlbumJobSeparator;
  queued += job.address;
  queued += kAlbumJobSeparator;
  queued += job.name;
  return queued;
}

AlbumJob SplitAlbumJob(std::string_view queued) {
  AlbumJob job;
  Text* fields[] = {&job.countSlot, &job.address};
  for (Text* field : fields) {
    const std::size_t at = queued.find(kAlbumJobSeparator);
    if (at == std::string_view::npos) {
      *field = Text(queued);
      return job;
    }
    *field = Text(queued.substr(0, at));
    queued.remove_prefix(at + kAlbumJobSeparator.size());
  }
  job.name = Text(queued);
  return job;
}

}  // namespace ak
