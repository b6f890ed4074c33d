#include "cli/list_json.h"

#include <json-c/json.h>

#include <memory>

#include "base/codec.h"
#include "base/text_ops.h"

namespace ak {
namespace {

json_object* String(const Text& gbk) {
  const std::string utf8 = GbkToUtf8(gbk);
  return json_object_new_string_len(utf8.data(), static_cast<int>(utf8.size()));
}

// A number the page wrote as digits; null when it wrote none.
json_object* Number(const Text& digits) {
  if (digits.empty()) return nullptr;
  return json_object_new_int64(std::stoll(digits.substr(0, 18)));
}

}  // namespace

std::string ListingJson(const Source& source, bool person, const ListingResult& listed) {
  const std::unique_ptr<json_object, decltype(&json_object_put)> root(json_object_new_object(),
                                                                      &json_object_put);
  json_object* from = json_object_new_object();
  json_object_object_add(from, "address", String(source.address));
  json_object_object_add(from, "id", String(source.id));
  json_object_object_add(from, "kind", json_object_new_string(person ? "person" : "album"));
  json_object_object_add(root.get(), "source", from);
  json_object_object_add(root.get(), "owner", String(source.title));
  json_object* albums = json_object_new_array();
  for (const ListedAlbum& row : listed.rows) {
    json_object* album = json_object_new_object();
    json_object_object_add(album, "number", Number(row.number));
    json_object_object_add(album, "name", String(row.name));
    json_object_object_add(album, "address", String(row.address));
    json_object_object_add(album, "cover", row.cover.empty() ? nullptr : String(row.cover));
    json_object_object_add(album, "photo_count", Number(row.photoCount));
    json_object_array_add(albums, album);
  }
  json_object_object_add(root.get(), "albums", albums);
  return std::string(json_object_to_json_string_ext(
             root.get(), JSON_C_TO_STRING_PLAIN | JSON_C_TO_STRING_NOSLASHESCAPE)) +
         "\n";
}

}  // namespace ak
