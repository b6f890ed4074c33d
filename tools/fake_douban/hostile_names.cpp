#include "tools/fake_douban/hostile_names.h"

#include <cstdio>
#include <string>

namespace ak::fake {
namespace {

using namespace std::string_literals;

// Photos with ids made of the album id and a four-digit number; descriptions from `descs` in
// turn (an empty list: none).
void AddPhotos(Album& album, int count, const std::vector<std::string>& descs) {
  for (int k = 1; k <= count; ++k) {
    Photo photo;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%04d", k);
    photo.id = album.id + suffix;
    photo.host = k % 2 == 0 ? "img1.doubanio.com" : "img3.doubanio.com";
    if (!descs.empty()) photo.desc = descs[static_cast<std::size_t>(k - 1) % descs.size()];
    album.photos.push_back(std::move(photo));
  }
}

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

}  // namespace

void AddHostilePerson(Fixture& fixture) {
  // Descriptions for the description box: escape sequences, NUL, DEL, a tab, and one of 240
  // bytes of GBK (120 CJK characters, 360 bytes of UTF-8) that only a cut makes a file name.
  const std::vector<std::string> descs = {
      "\x1B[31m红色\x1B[0m的花", "\0开头是NUL"s,    "删除\x7F和\t制表符\a响铃",
      "\x1B]0;标题\x07结尾",     Repeat("长", 130),
  };
  const std::vector<std::string> titles = {
      "\x1B[1;31m粗体红色\x1B[0m相册",
      "换行回车\r制表\t相册",
      "删除符\x7F相册",
      "响铃\a退格\b相册",
      // 900 bytes of UTF-8: 300 CJK characters (600 bytes of GBK).
      Repeat("很长的相册名", 50),
      "\x1B]0;改掉终端标题\x07相册",
      "\0以NUL开头的相册"s,
      "\x01\x02\x1F\x7F",
      "中间\0有NUL"s,
      "ESC结尾\x1B",
      "普通相册一",
      "普通相册二",
      "\x1B[2J清屏相册",
      "NUL结尾\0"s,
      "普通相册三",
  };
  Person person;
  person.name = kHostilePerson;
  person.displayName = "\x1B[7m敌意\x1B[0m\x7F主人" + Repeat("名字很长", 30);
  int number = 0;
  for (const std::string& title : titles) {
    ++number;
    Album album;
    album.id = (number < 10 ? "181000000" : "18100000") + std::to_string(number);
    album.title = title;
    album.coverHost = "img3.doubanio.com";
    // The long title has two album pages in browse mode.
    const bool longTitle = title.size() >= 900;
    AddPhotos(album, longTitle ? 20 : 3, number % 2 == 1 ? descs : std::vector<std::string>{});
    person.albums.push_back(std::move(album));
  }
  fixture.people.push_back(std::move(person));
}

}  // namespace ak::fake
