#include "tools/fake_douban/fixture.h"

#include <json-c/json.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace ak::fake {
namespace {

using JsonPtr = std::unique_ptr<json_object, decltype(&json_object_put)>;

const char* kDefaultPictureHosts[] = {"img1.doubanio.com", "img3.doubanio.com"};

bool IsDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

json_object* Member(json_object* obj, const char* name) {
  json_object* value = nullptr;
  return json_object_object_get_ex(obj, name, &value) ? value : nullptr;
}

std::string StringMember(json_object* obj, const char* name, std::string fallback = {}) {
  json_object* value = Member(obj, name);
  if (value == nullptr || json_object_get_type(value) == json_type_null) return fallback;
  return json_object_get_string(value);
}

bool BoolMember(json_object* obj, const char* name, bool fallback) {
  json_object* value = Member(obj, name);
  return value == nullptr ? fallback : json_object_get_boolean(value);
}

bool ParsePhoto(json_object* obj, Photo& photo, std::string& error) {
  photo.id = StringMember(obj, "id");
  if (!IsDigits(photo.id)) {
    error = "photo id must be digits: '" + photo.id + "'";
    return false;
  }
  photo.host = StringMember(obj, "host", kDefaultPictureHosts[1]);
  json_object* desc = Member(obj, "desc");
  if (desc != nullptr && json_object_get_type(desc) != json_type_null) {
    photo.desc = json_object_get_string(desc);
  }
  photo.hasLarge = BoolMember(obj, "large", true);
  photo.apiScheme = StringMember(obj, "api_scheme", "https");
  return true;
}

// Appends `count` photos with ids made of the album id and a four-digit number, alternating
// between the two default picture hosts.
void AddGeneratedPhotos(Album& album, int count) {
  for (int k = 1; k <= count; ++k) {
    Photo photo;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%04d", k);
    photo.id = album.id + suffix;
    photo.host = kDefaultPictureHosts[k % 2];
    photo.desc = "照片 " + std::to_string(album.photos.size() + 1);
    album.photos.push_back(std::move(photo));
  }
}

bool ParseAlbum(json_object* obj, Album& album, std::string& error) {
  album.id = StringMember(obj, "id");
  if (!IsDigits(album.id)) {
    error = "album id must be digits: '" + album.id + "'";
    return false;
  }
  album.title = StringMember(obj, "title");
  album.hasCover = BoolMember(obj, "cover", true);
  album.coverHost = StringMember(obj, "cover_host", kDefaultPictureHosts[0]);
  json_object* photos = Member(obj, "photos");
  for (size_t i = 0; photos != nullptr && i < json_object_array_length(photos); ++i) {
    Photo photo;
    if (!ParsePhoto(json_object_array_get_idx(photos, i), photo, error)) return false;
    album.photos.push_back(std::move(photo));
  }
  json_object* generated = Member(obj, "generated_photos");
  if (generated != nullptr) AddGeneratedPhotos(album, json_object_get_int(generated));
  return true;
}

bool ParsePerson(json_object* obj, Person& person, std::string& error) {
  person.name = StringMember(obj, "name");
  if (person.name.empty() || person.name.find('/') != std::string::npos) {
    error = "person name must be a non-empty page name without '/'";
    return false;
  }
  person.displayName = StringMember(obj, "display_name", person.name);
  person.feedLink = BoolMember(obj, "feed_link", true);
  json_object* albums = Member(obj, "albums");
  for (size_t i = 0; albums != nullptr && i < json_object_array_length(albums); ++i) {
    Album album;
    if (!ParseAlbum(json_object_array_get_idx(albums, i), album, error)) return false;
    person.albums.push_back(std::move(album));
  }
  return true;
}

}  // namespace

const Person* Fixture::FindPerson(std::string_view name) const {
  for (const Person& person : people) {
    if (person.name == name) return &person;
  }
  return nullptr;
}

const Album* Fixture::FindAlbum(std::string_view id, const Person** owner) const {
  for (const Person& person : people) {
    for (const Album& album : person.albums) {
      if (album.id != id) continue;
      if (owner != nullptr) *owner = &person;
      return &album;
    }
  }
  return nullptr;
}

const Photo* Fixture::FindPhoto(std::string_view id) const {
  for (const Person& person : people) {
    for (const Album& album : person.albums) {
      for (const Photo& photo : album.photos) {
        if (photo.id == id) return &photo;
      }
    }
  }
  return nullptr;
}

std::vector<std::string> Fixture::PictureHosts() const {
  std::vector<std::string> hosts(std::begin(kDefaultPictureHosts), std::end(kDefaultPictureHosts));
  for (const Person& person : people) {
    for (const Album& album : person.albums) {
      hosts.push_back(album.coverHost);
      for (const Photo& photo : album.photos) hosts.push_back(photo.host);
    }
  }
  std::sort(hosts.begin(), hosts.end());
  hosts.erase(std::unique(hosts.begin(), hosts.end()), hosts.end());
  return hosts;
}

bool ParseFixture(std::string_view json, Fixture& out, std::string& error) {
  json_tokener* tokener = json_tokener_new();
  JsonPtr root(json_tokener_parse_ex(tokener, json.data(), static_cast<int>(json.size())),
               &json_object_put);
  const json_tokener_error parseError = json_tokener_get_error(tokener);
  json_tokener_free(tokener);
  if (!root || parseError != json_tokener_success) {
    error = std::string("fixture is not valid JSON: ") + json_tokener_error_desc(parseError);
    return false;
  }
  Fixture fixture;
  fixture.webHost = StringMember(root.get(), "web_host", fixture.webHost);
  fixture.apiHost = StringMember(root.get(), "api_host", fixture.apiHost);
  fixture.updateVersion = StringMember(root.get(), "update_version", fixture.updateVersion);
  json_object* people = Member(root.get(), "people");
  for (size_t i = 0; people != nullptr && i < json_object_array_length(people); ++i) {
    Person person;
    if (!ParsePerson(json_object_array_get_idx(people, i), person, error)) return false;
    fixture.people.push_back(std::move(person));
  }
  out = std::move(fixture);
  return true;
}

bool LoadFixtureFile(const std::string& path, Fixture& out, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read fixture file " + path;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseFixture(text.str(), out, error);
}

}  // namespace ak::fake
