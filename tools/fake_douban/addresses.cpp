#include "tools/fake_douban/addresses.h"

#include <algorithm>
#include <iterator>

namespace ak::fake {
namespace {

struct SizePrefix {
  PictureSize size;
  std::string_view prefix;
};

constexpr SizePrefix kPrefixes[] = {
    {PictureSize::kThumb, "/view/photo/thumb/public/p"},
    {PictureSize::kMedium, "/view/photo/photo/public/p"},
    {PictureSize::kLarge, "/view/photo/large/public/p"},
    {PictureSize::kCover, "/view/photo/albumcover/public/p"},
};

}  // namespace

std::string PicturePath(PictureSize size, std::string_view id) {
  for (const SizePrefix& entry : kPrefixes) {
    if (entry.size == size) return std::string(entry.prefix) + std::string(id) + ".jpg";
  }
  return {};
}

bool ParsePicturePath(std::string_view path, PictureSize& size, std::string& id) {
  constexpr std::string_view kSuffix = ".jpg";
  for (const SizePrefix& entry : kPrefixes) {
    if (!path.starts_with(entry.prefix) || !path.ends_with(kSuffix)) continue;
    std::string_view digits = path.substr(entry.prefix.size());
    digits.remove_suffix(kSuffix.size());
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return false;
    }
    size = entry.size;
    id = std::string(digits);
    return true;
  }
  return false;
}

namespace {

constexpr SizePrefix kTodayPrefixes[] = {
    {PictureSize::kThumb, "/view/photo/s/public/p"},
    {PictureSize::kMedium, "/view/photo/m/public/p"},
    {PictureSize::kLarge, "/view/photo/l/public/p"},
    {PictureSize::kRaw, "/view/photo/raw/public/p"},
};

}  // namespace

std::string TodayPicturePath(PictureSize size, std::string_view id, std::string_view extension) {
  for (const SizePrefix& entry : kTodayPrefixes) {
    if (entry.size == size) {
      return std::string(entry.prefix) + std::string(id) + "." + std::string(extension);
    }
  }
  return {};
}

bool ParseTodayPicturePath(std::string_view path, PictureSize& size, std::string& id) {
  for (const SizePrefix& entry : kTodayPrefixes) {
    if (!path.starts_with(entry.prefix)) continue;
    std::string_view rest = path.substr(entry.prefix.size());
    const std::size_t dot = rest.find('.');
    if (dot == std::string_view::npos || dot == 0) return false;
    const std::string_view extension = rest.substr(dot);
    const std::string_view digits = rest.substr(0, dot);
    if ((extension != ".jpg" && extension != ".webp") ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      return false;
    }
    size = entry.size;
    id = std::string(digits);
    return true;
  }
  return false;
}

const char* PictureSizeName(PictureSize size) {
  switch (size) {
    case PictureSize::kThumb:
      return "thumb";
    case PictureSize::kMedium:
      return "medium";
    case PictureSize::kLarge:
      return "large";
    case PictureSize::kCover:
      return "cover";
    case PictureSize::kRaw:
      return "raw";
  }
  return "";
}

std::string AlbumUrl(const Fixture& fixture, const Album& album) {
  return "http://" + fixture.webHost + "/photos/album/" + album.id + "/";
}

std::string PersonUrl(const Fixture& fixture, const Person& person) {
  return "http://" + fixture.webHost + "/people/" + person.name + "/";
}

std::string PhotoPageUrl(const Fixture& fixture, const Photo& photo) {
  return "http://" + fixture.webHost + "/photos/photo/" + photo.id + "/";
}

std::string PictureUrl(std::string_view scheme, std::string_view host, PictureSize size,
                       std::string_view id) {
  return std::string(scheme) + "://" + std::string(host) + PicturePath(size, id);
}

std::string CoverUrl(const Album& album) {
  if (!album.hasCover || album.photos.empty()) return {};
  return PictureUrl("http", album.coverHost, PictureSize::kCover, album.photos.front().id);
}

}  // namespace ak::fake
