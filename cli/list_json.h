#pragma once

#include <string>

#include "albums/source.h"
#include "commands/album_commands.h"

namespace ak {

// The listing as one JSON object (UTF-8, one line and a line end), for scripts:
//   {"source": {"address", "id", "kind": "person"|"album"}, "owner",
//    "albums": [{"number", "name", "address", "cover", "photo_count"}]}
// "number" and "photo_count" are numbers; "cover" and "photo_count" are null when the page
// showed none.
std::string ListingJson(const Source& source, bool person, const ListingResult& listed);

}  // namespace ak
