#include "download/api_photos.h"

#include <json-c/json.h>

#include <memory>

#include "base/codec.h"
#include "base/text_ops.h"

namespace ak {
namespace {

struct JsonRelease {
  void operator()(json_object* value) const { json_object_put(value); }
};
using JsonValue = std::unique_ptr<json_object, JsonRelease>;

struct TokenerRelease {
  void operator()(json_tokener* tokener) const { json_tokener_free(tokener); }
};

JsonValue Parse(std::string_view utf8) {
  const std::unique_ptr<json_tokener, TokenerRelease> tokener(json_tokener_new());
  if (!tokener) return nullptr;
  JsonValue value(json_tokener_parse_ex(tokener.get(), utf8.data(), static_cast<int>(utf8.size())));
  if (json_tokener_get_error(tokener.get()) != json_tokener_success) return nullptr;
  return value;
}

// The member's JSON text as GBK; "null" for a missing member and for anything not an object.
Text MemberText(json_object* object, const char* name) {
  json_object* member = nullptr;
  if (json_object_get_type(object) == json_type_object) {
    json_object_object_get_ex(object, name, &member);
  }
  return Utf8ToGbk(json_object_to_json_string_ext(member, JSON_C_TO_STRING_PLAIN));
}

Text WithoutQuotes(std::string_view text) { return Replace(text, "\"", {}, 1, -1, true); }

Text PictureAddress(std::string_view jsonText) {
  const Text bare = Replace(WithoutQuotes(jsonText), "\\", {}, 1, -1, true);
  return Replace(bare, "https://", "http://", 1, -1, false);
}

}  // namespace

Text ApiTotalText(std::string_view answer) { return TextBetween(answer, "total\":", ",\"o"); }

std::vector<ApiPhoto> ParseApiPhotoPage(std::string_view utf8Answer, bool* isPhotoList) {
  std::vector<ApiPhoto> photos;
  if (isPhotoList) *isPhotoList = false;
  const std::size_t nul = utf8Answer.find('\0');
  if (nul != std::string_view::npos) utf8Answer = utf8Answer.substr(0, nul);
  if (utf8Answer.empty() || utf8Answer.size() > static_cast<std::size_t>(INT32_MAX)) return photos;
  const JsonValue page = Parse(utf8Answer);
  if (!page || json_object_get_type(page.get()) != json_type_object) return photos;
  json_object* array = nullptr;
  if (!json_object_object_get_ex(page.get(), "photos", &array) ||
      json_object_get_type(array) != json_type_array) {
    return photos;
  }
  if (isPhotoList) *isPhotoList = true;
  const std::size_t count = json_object_array_length(array);
  photos.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    json_object* element = json_object_array_get_idx(array, i);
    ApiPhoto photo;
    photo.id = WithoutQuotes(MemberText(element, "id"));
    photo.image = PictureAddress(MemberText(element, "image"));
    photo.large = PictureAddress(MemberText(element, "large"));
    photo.desc = MemberText(element, "desc");
    photos.push_back(std::move(photo));
  }
  return photos;
}

}  // namespace ak
