#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/types.h"

namespace ak {

// The name of the metadata file in each album folder.
inline constexpr const char* kAlbumMetadataFileName = "album.json";

// The album as the service described it (GBK, as received).
struct MetadataAlbum {
  Text address;
  Text id;
  Text name;
  // The owner's name (or, for a single album's address, the album title): the source's title.
  Text owner;
  Text sourceAddress;
  Text sourceId;
  // The photo count the service claimed (the album page's count or the API's total).
  long long claimedCount = 0;
};

// What became of one photo in this run.
struct MetadataPhoto {
  enum class State {
    kSaved,            // its picture was fetched and saved by this run
    kFailed,           // no picture was saved (`error` says why)
    kRecordedEarlier,  // skipped as recorded; listed when its file is on the disk
  };
  State state = State::kSaved;
  Text id;
  int number = 0;
  // The description as the service sent it (GBK), before any cleaning.
  Text description;
  // The file name in the album folder (GBK).
  Text file;
  Text url;
  // "medium" or "large": the size asked for, and the size the saved picture is.
  std::string sizeAsked;
  std::string sizeSaved;
  // The picture came from the second transport after the first request failed.
  bool fallback = false;
  long long bytes = 0;
  // UTF-8, from the system or the program.
  std::string error;
};

// The metadata of one album folder: `album.json`, one object with the album and one entry per
// photo, in running-number order, UTF-8 with a fixed key order. Written atomically; a later run
// merges its photos into the file: entries of photos saved earlier stay as long as their files
// are on the disk (and no photo of this run took the name), entries of failed photos stay until
// the photo is saved. An entry never names a file that is not in the folder.
class AlbumMetadata {
 public:
  void SetAlbum(MetadataAlbum album) { album_ = std::move(album); }
  const MetadataAlbum& album() const { return album_; }
  void Add(MetadataPhoto photo);
  bool empty() const { return photos_.empty(); }
  // Merges with the folder's existing file and writes it; false (and `error`) when it could not
  // be written.
  bool Write(const std::filesystem::path& folder, std::string* error = nullptr) const;

 private:
  MetadataAlbum album_;
  std::map<Text, MetadataPhoto> photos_;
};

// The value of a JSON string text as the API writes members ("\"a\\u0020b\"" gives "a b"), GBK
// in and out; empty when it is no JSON string (null, a missing member).
Text JsonStringValue(const Text& gbkJson);

// The current time as UTC ISO 8601 ("2026-12-09T04:17:03Z").
std::string UtcTimestamp();

}  // namespace ak
