#pragma once

#include "download/album_job.h"

namespace ak {

// Downloads one album through the service's JSON API: the total from one request with count 1,
// then pages of 100 photos ("start=0&count=100", "start=100&count=100", ...). The album address
// is reduced to the album number. False when the batch was ended during the album; true
// otherwise, however the album went.
// Its counts go to `tally`.
bool DownloadAlbumByApi(const AlbumDownloadEnv& env, BatchTally& tally, AlbumJob& job);

}  // namespace ak
