#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ak::fake {

// One photo of an album. The id is digits only and names the photo everywhere: in the page
// entries, the picture paths and the API answers.
struct Photo {
  std::string id;
  std::string host;                 // picture host that serves its thumb, medium and large files
  std::optional<std::string> desc;  // UTF-8; no value means the API answers null
  bool hasLarge = true;             // false: the large picture answers 404, the API omits "large"
  std::string apiScheme = "https";  // scheme written in the API's "image" and "large" addresses
};

struct Album {
  std::string id;     // digits
  std::string title;  // UTF-8, plain text (escaped when rendered into pages)
  bool hasCover = true;
  std::string coverHost;
  std::vector<Photo> photos;
};

struct Person {
  std::string name;         // the page name in /people/NAME
  std::string displayName;  // UTF-8, may hold spaces of both widths
  bool feedLink = true;     // false: the home page has no feed link, only its title
  std::vector<Album> albums;
};

struct Fixture {
  std::string webHost = "www.douban.com";
  std::string apiHost = "api.douban.com";
  std::string updateVersion = "2.0";
  std::vector<Person> people;

  const Person* FindPerson(std::string_view name) const;
  // The album with this id and its owner, or nulls.
  const Album* FindAlbum(std::string_view id, const Person** owner = nullptr) const;
  const Photo* FindPhoto(std::string_view id) const;
  // Every host name that serves pictures (photo hosts and cover hosts), sorted, no duplicates.
  std::vector<std::string> PictureHosts() const;
};

// Parses a fixture from its JSON text (format in the program's --help). On failure returns
// false and says why in `error`.
bool ParseFixture(std::string_view json, Fixture& out, std::string& error);
bool LoadFixtureFile(const std::string& path, Fixture& out, std::string& error);

// The fixture used when none is given, as JSON text (also printed by --dump-fixture).
std::string_view DefaultFixtureJson();

}  // namespace ak::fake
