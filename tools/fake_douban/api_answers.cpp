#include "tools/fake_douban/api_answers.h"

#include <json-c/json.h>

#include <algorithm>

#include "tools/fake_douban/addresses.h"

namespace ak::fake {
namespace {

constexpr int kMaxApiCount = 100;

json_object* String(const std::string& text) {
  return json_object_new_string_len(text.data(), static_cast<int>(text.size()));
}

// The claimed total as JSON: a number when it is one, else a string.
json_object* TotalValue(int total, const std::optional<std::string>& claimed) {
  if (!claimed) return json_object_new_int(total);
  const bool digits = !claimed->empty() && claimed->size() <= 18 &&
                      claimed->find_first_not_of("0123456789") == std::string::npos;
  return digits ? json_object_new_int64(std::stoll(*claimed)) : String(*claimed);
}

std::string Address(const Photo& photo, PictureSize size, bool today) {
  if (today) return photo.apiScheme + "://" + photo.host + TodayPicturePath(size, photo.id, "jpg");
  return PictureUrl(photo.apiScheme, photo.host, size, photo.id);
}

json_object* PhotoObject(const Album& album, const Photo& photo, bool today) {
  json_object* obj = json_object_new_object();
  json_object_object_add(obj, "id", json_object_new_string(photo.id.c_str()));
  json_object_object_add(obj, "album_id", json_object_new_string(album.id.c_str()));
  json_object_object_add(
      obj, "thumb", json_object_new_string(Address(photo, PictureSize::kThumb, today).c_str()));
  json_object_object_add(
      obj, "image", json_object_new_string(Address(photo, PictureSize::kMedium, today).c_str()));
  if (photo.hasLarge) {
    json_object_object_add(
        obj, "large", json_object_new_string(Address(photo, PictureSize::kLarge, today).c_str()));
  }
  json_object_object_add(obj, "desc", photo.desc ? String(*photo.desc) : nullptr);
  return obj;
}

std::string ToText(json_object* obj) {
  // PLAIN: no blanks between members, and "/" escaped as "\/" like the service does.
  std::string text = json_object_to_json_string_ext(obj, JSON_C_TO_STRING_PLAIN);
  json_object_put(obj);
  return text;
}

}  // namespace

std::string AlbumPhotosAnswer(const Person& owner, const Album& album, int start, int count,
                              const std::optional<std::string>& claimedTotal, bool today) {
  const int total = static_cast<int>(album.photos.size());
  start = std::max(start, 0);
  count = std::clamp(count, 0, kMaxApiCount);
  json_object* root = json_object_new_object();
  json_object_object_add(root, "start", json_object_new_int(start));
  json_object_object_add(root, "count", json_object_new_int(count));
  json_object_object_add(root, "total", TotalValue(total, claimedTotal));
  json_object* ownerObj = json_object_new_object();
  json_object_object_add(ownerObj, "uid", json_object_new_string(owner.name.c_str()));
  json_object_object_add(ownerObj, "name", String(owner.displayName));
  json_object_object_add(root, "owner", ownerObj);
  json_object* albumObj = json_object_new_object();
  json_object_object_add(albumObj, "id", json_object_new_string(album.id.c_str()));
  json_object_object_add(albumObj, "title", String(album.title));
  json_object_object_add(albumObj, "size", TotalValue(total, claimedTotal));
  json_object_object_add(root, "album", albumObj);
  json_object* photos = json_object_new_array();
  for (int i = start; i < total && i < start + count; ++i) {
    json_object_array_add(photos, PhotoObject(album, album.photos[static_cast<size_t>(i)], today));
  }
  json_object_object_add(root, "photos", photos);
  return ToText(root);
}

std::string ApiErrorAnswer(int code, const std::string& msg, const std::string& request) {
  json_object* root = json_object_new_object();
  json_object_object_add(root, "msg", json_object_new_string(msg.c_str()));
  json_object_object_add(root, "code", json_object_new_int(code));
  json_object_object_add(root, "request", json_object_new_string(request.c_str()));
  return ToText(root);
}

}  // namespace ak::fake
