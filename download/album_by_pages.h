#pragma once

#include "download/album_job.h"

namespace ak {

// Downloads one album by reading its web pages: the photo count from the album page (the album is
// skipped when it has none), then the photo-list pages of 18 photos ("?start=0", "?start=18",
// ...), each photo matched by the pattern box's pattern or the built-in one. False when the
// batch was ended during the album; true otherwise, however the album went.
// Its counts go to `tally`.
bool DownloadAlbumByPages(const AlbumDownloadEnv& env, BatchTally& tally, AlbumJob& job);

}  // namespace ak
