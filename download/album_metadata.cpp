#include "download/album_metadata.h"

#include <json-c/json.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <set>
#include <system_error>

#include "base/codec.h"
#include "base/file_writer.h"
#include "download/photo_file.h"

namespace ak {
namespace {

struct JsonRelease {
  void operator()(json_object* value) const { json_object_put(value); }
};
using JsonValue = std::unique_ptr<json_object, JsonRelease>;

json_object* String(const Text& gbk) {
  const std::string utf8 = GbkToUtf8(gbk);
  return json_object_new_string_len(utf8.data(), static_cast<int>(utf8.size()));
}

json_object* Utf8String(const std::string& utf8) {
  return json_object_new_string_len(utf8.data(), static_cast<int>(utf8.size()));
}

std::string MemberString(json_object* object, const char* name) {
  json_object* member = nullptr;
  if (!json_object_object_get_ex(object, name, &member)) return {};
  if (json_object_get_type(member) != json_type_string) return {};
  return std::string(json_object_get_string(member),
                     static_cast<std::size_t>(json_object_get_string_len(member)));
}

long long MemberInteger(json_object* object, const char* name) {
  json_object* member = nullptr;
  if (!json_object_object_get_ex(object, name, &member)) return 0;
  return json_object_get_int64(member);
}

std::string TimestampOf(std::chrono::system_clock::time_point when) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

// The file's size and modification time, or nothing when it is no regular file.
bool FileFacts(const std::filesystem::path& path, long long& bytes, std::string& modified) {
  std::error_code code;
  if (!std::filesystem::is_regular_file(path, code)) return false;
  bytes = static_cast<long long>(std::filesystem::file_size(path, code));
  if (code) return false;
  const auto written = std::filesystem::last_write_time(path, code);
  if (code) return false;
  modified = TimestampOf(std::chrono::file_clock::to_sys(written));
  return true;
}

json_object* PhotoEntry(const MetadataPhoto& photo, const std::string& savedAt) {
  json_object* entry = json_object_new_object();
  json_object_object_add(entry, "id", String(photo.id));
  json_object_object_add(entry, "number", json_object_new_int64(photo.number));
  if (photo.state != MetadataPhoto::State::kFailed) {
    json_object_object_add(entry, "file", String(photo.file));
  }
  json_object_object_add(entry, "description", String(photo.description));
  switch (photo.state) {
    case MetadataPhoto::State::kSaved:
      json_object_object_add(entry, "url", String(photo.url));
      json_object_object_add(entry, "size_asked", Utf8String(photo.sizeAsked));
      json_object_object_add(entry, "size", Utf8String(photo.sizeSaved));
      json_object_object_add(entry, "fallback", json_object_new_boolean(photo.fallback));
      json_object_object_add(entry, "bytes", json_object_new_int64(photo.bytes));
      json_object_object_add(entry, "saved_at", Utf8String(savedAt));
      break;
    case MetadataPhoto::State::kRecordedEarlier:
      // Saved by a run that wrote no metadata: what the file itself tells.
      json_object_object_add(entry, "bytes", json_object_new_int64(photo.bytes));
      json_object_object_add(entry, "saved_at", Utf8String(savedAt));
      break;
    case MetadataPhoto::State::kFailed:
      json_object_object_add(entry, "error", Utf8String(photo.error));
      json_object_object_add(entry, "failed_at", Utf8String(savedAt));
      break;
  }
  return entry;
}

json_object* AlbumObject(const MetadataAlbum& album) {
  json_object* object = json_object_new_object();
  json_object_object_add(object, "address", String(album.address));
  json_object_object_add(object, "id", String(album.id));
  json_object_object_add(object, "name", String(album.name));
  json_object_object_add(object, "owner", String(album.owner));
  json_object_object_add(object, "photo_count", json_object_new_int64(album.claimedCount));
  return object;
}

// The photo entries of the folder's earlier file that are still true: a saved photo whose file
// is on the disk, or a failed one.
std::vector<JsonValue> EarlierEntries(const std::filesystem::path& file,
                                      const std::filesystem::path& folder) {
  std::vector<JsonValue> kept;
  std::error_code code;
  if (!std::filesystem::is_regular_file(file, code)) return kept;
  const JsonValue earlier(json_object_from_file(file.c_str()));
  json_object* photos = nullptr;
  if (!earlier || !json_object_object_get_ex(earlier.get(), "photos", &photos) ||
      json_object_get_type(photos) != json_type_array) {
    return kept;
  }
  for (std::size_t i = 0; i < json_object_array_length(photos); ++i) {
    json_object* entry = json_object_array_get_idx(photos, i);
    if (json_object_get_type(entry) != json_type_object) continue;
    if (MemberString(entry, "id").empty()) continue;
    json_object* fileMember = nullptr;
    if (json_object_object_get_ex(entry, "file", &fileMember)) {
      const std::string name = MemberString(entry, "file");
      if (!IsPlainFileName(Utf8ToGbk(name)) ||
          !std::filesystem::is_regular_file(folder / name, code)) {
        continue;
      }
    }
    kept.emplace_back(json_object_get(entry));
  }
  return kept;
}

}  // namespace

void AlbumMetadata::Add(MetadataPhoto photo) {
  const auto found = photos_.find(photo.id);
  // A photo listed twice in one album: its saved entry wins over a skip or a failure.
  if (found != photos_.end() && found->second.state == MetadataPhoto::State::kSaved) return;
  if (photo.state == MetadataPhoto::State::kSaved && photo.file.empty()) return;
  photos_[photo.id] = std::move(photo);
}

bool AlbumMetadata::Write(const std::filesystem::path& folder, std::string* error) const {
  const std::filesystem::path file = folder / kAlbumMetadataFileName;
  const std::string now = UtcTimestamp();

  // id -> entry; this run's entries over the earlier ones.
  std::map<std::string, JsonValue> entries;
  std::set<std::string> namesTaken;
  for (const auto& [id, photo] : photos_) {
    if (photo.state == MetadataPhoto::State::kSaved) namesTaken.insert(GbkToUtf8(photo.file));
  }
  for (JsonValue& entry : EarlierEntries(file, folder)) {
    const std::string name = MemberString(entry.get(), "file");
    if (!name.empty() && namesTaken.count(name) > 0) continue;
    entries[MemberString(entry.get(), "id")] = std::move(entry);
  }
  for (const auto& [id, photo] : photos_) {
    const std::string key = GbkToUtf8(id);
    const bool earlierOnDisk =
        entries.count(key) > 0 && !MemberString(entries[key].get(), "file").empty();
    std::string when = now;
    MetadataPhoto listed = photo;
    if (photo.state == MetadataPhoto::State::kRecordedEarlier) {
      if (earlierOnDisk) continue;
      if (!IsPlainFileName(photo.file) ||
          !FileFacts(folder / GbkToUtf8(photo.file), listed.bytes, when)) {
        continue;
      }
    }
    // A failure of this run leaves the picture an earlier run saved where it was.
    if (photo.state == MetadataPhoto::State::kFailed && earlierOnDisk) continue;
    entries[key] = JsonValue(PhotoEntry(listed, when));
  }

  std::vector<json_object*> ordered;
  for (auto& [id, entry] : entries) ordered.push_back(entry.get());
  std::stable_sort(ordered.begin(), ordered.end(), [](json_object* a, json_object* b) {
    return MemberInteger(a, "number") < MemberInteger(b, "number");
  });

  const JsonValue root(json_object_new_object());
  json_object_object_add(root.get(), "album", AlbumObject(album_));
  json_object* source = json_object_new_object();
  json_object_object_add(source, "address", String(album_.sourceAddress));
  json_object_object_add(source, "id", String(album_.sourceId));
  json_object_object_add(root.get(), "source", source);
  json_object_object_add(root.get(), "written_at", Utf8String(now));
  json_object* photos = json_object_new_array();
  for (json_object* entry : ordered) json_object_array_add(photos, json_object_get(entry));
  json_object_object_add(root.get(), "photos", photos);

  std::string text = json_object_to_json_string_ext(
      root.get(), JSON_C_TO_STRING_PRETTY | JSON_C_TO_STRING_NOSLASHESCAPE);
  text += '\n';
  std::error_code code;
  if (WriteFileAtomically(file, text, Publish::kReplace, &code)) return true;
  if (error != nullptr) *error = code.message();
  return false;
}

Text JsonStringValue(const Text& gbkJson) {
  if (gbkJson.empty() || gbkJson.front() != '"') return {};
  const JsonValue value(json_tokener_parse(GbkToUtf8(gbkJson).c_str()));
  if (!value || json_object_get_type(value.get()) != json_type_string) return {};
  return Utf8ToGbk(
      std::string_view(json_object_get_string(value.get()),
                       static_cast<std::size_t>(json_object_get_string_len(value.get()))));
}

std::string UtcTimestamp() { return TimestampOf(std::chrono::system_clock::now()); }

}  // namespace ak
