#pragma once

#include "download/album_job.h"

namespace ak {

// Downloads one album by reading its web pages: the photo count from the album page (the album is
// skipped when it has none), then the photo-list pages of 18 photos ("?start=0", "?start=18",
// ...), each photo matched by the pattern box's pattern or the built-in one (and, when that finds
// none, the pattern of the service's later markup, download/photo_page.h). A page that repeats
// an earlier one has the walk go on with "?m_start=" for the same offsets; when that repeats as
// well, or no page lists a photo, the album is retried through the API. False when the
// batch was ended during the album; true otherwise, however the album went.
// Its counts go to `tally`.
bool DownloadAlbumByPages(const AlbumDownloadEnv& env, BatchTally& tally, AlbumJob& job);

}  // namespace ak
