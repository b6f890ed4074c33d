#pragma once

#include <vector>

#include "albums/album_pages.h"
#include "albums/listing_io.h"
#include "albums/listing_requests.h"
#include "albums/source.h"
#include "base/worker_gate.h"
#include "controls/controls.h"

namespace ak {

// Both listings run on the listing worker and honour `gate` between fetches: a stop ends them
// there without the closing texts. They return true when they ran to the end.

// Walks the album-list pages of the person `source.id`: the first page once for its counts,
// then every page from "?start=0" in steps of 16, one ticked row per album entry. Covers are
// fetched while `选择框_有图` is checked, read afresh for every album; an entry without a cover,
// or whose cover cannot be fetched or decoded, shows the placeholder. The pages go through the
// send path with `hold` (the listing's own hold when null): a refusal holds the walk, or ends
// it. A walk that listed nothing because the service did not answer says so instead of
// "共计0个".
// The entries of the rows appended go to `listed` (when given), one per row in row order.
bool ListPersonAlbums(Controls& controls, const Source& source, WorkerGate& gate,
                      ListingIo& io = ServiceListingIo(), RefusalHold* hold = nullptr,
                      std::vector<AlbumEntry>* listed = nullptr);

// Lists the one album of `source`: its title cleaned (written back to `source.title`) as the
// name, the typed address as the address, no cover.
bool ListSingleAlbum(Controls& controls, Source& source, WorkerGate& gate);

}  // namespace ak
