#include "download/pictures_on_disk.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "base/codec.h"
#include "download/album_metadata.h"

namespace ak {
namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

bool WholeJpeg(std::string_view bytes) {
  // Some writers pad a JPEG with zero bytes after its end marker.
  std::size_t end = bytes.size();
  while (end > 0 && bytes[end - 1] == '\0') --end;
  return end >= 4 && bytes.substr(end - 2, 2) == "\xFF\xD9";
}

bool WholePng(std::string_view bytes) {
  // The last chunk: length 0, "IEND", its CRC.
  return bytes.size() >= 8 + 12 &&
         bytes.substr(bytes.size() - 12, 8) == std::string_view("\0\0\0\0IEND", 8);
}

bool WholeWebp(std::string_view bytes) {
  if (bytes.size() < 12 || bytes.substr(8, 4) != "WEBP") return false;
  const auto byte = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]));
  };
  const std::uint32_t length = byte(4) | byte(5) << 8 | byte(6) << 16 | byte(7) << 24;
  // The RIFF length counts what follows its own field, padded to an even size.
  return length + 8 == bytes.size() || length + 9 == bytes.size();
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The running number of a file name the downloaders write, and its middle part (the description
// or photo id, empty for "N__.jpg" and "N_.jpg"); -1 for any other name.
int RunningNumberOf(std::string_view name, std::string_view& middle) {
  constexpr std::string_view kLong = "_.jpg";
  const std::size_t underscore = name.find('_');
  if (underscore == std::string_view::npos || underscore == 0 || underscore > 9) return -1;
  const std::string_view number = name.substr(0, underscore);
  if (!AllDigits(number)) return -1;
  const std::string_view rest = name.substr(underscore);
  if (rest == kLong) {
    middle = {};
  } else if (rest.size() > kLong.size() && rest.ends_with(kLong)) {
    middle = rest.substr(1, rest.size() - 1 - kLong.size());
  } else {
    return -1;
  }
  return std::stoi(std::string(number));
}

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

bool IsWholePicture(std::string_view bytes) {
  if (StartsWith(bytes, "\xFF\xD8\xFF")) return WholeJpeg(bytes);
  if (StartsWith(bytes, "\x89PNG\r\n\x1A\n")) return WholePng(bytes);
  if (StartsWith(bytes, "GIF87a") || StartsWith(bytes, "GIF89a")) {
    return bytes.size() > 13 && bytes.back() == '\x3B';
  }
  if (StartsWith(bytes, "RIFF")) return WholeWebp(bytes);
  return false;
}

FolderPictures::FolderPictures(const std::filesystem::path& folder) : folder_(folder) {
  std::error_code code;
  for (std::filesystem::directory_iterator it(folder, code), end; !code && it != end;
       it.increment(code)) {
    if (!it->is_regular_file(code)) continue;
    const std::string utf8 = it->path().filename().string();
    if (utf8 == kAlbumMetadataFileName) continue;
    const Text name = Utf8ToGbk(utf8);
    std::string_view middle;
    const int number = RunningNumberOf(name, middle);
    if (number > 0) {
      byNumber_[number].insert(name);
    } else {
      others_.insert(name);
    }
  }
}

Text FolderPictures::Claim(int runningNumber, const Text& id) {
  const auto found = byNumber_.find(runningNumber);
  if (found == byNumber_.end()) return {};
  for (const Text& name : found->second) {
    if (claimed_.count(name) > 0) continue;
    std::string_view middle;
    RunningNumberOf(name, middle);
    // A photo id in the name (the API downloader's names) must be this photo's.
    if (AllDigits(middle) && middle != id) continue;
    if (!IsWholePicture(ReadWhole(folder_ / GbkToUtf8(name)))) continue;
    claimed_.insert(name);
    return name;
  }
  return {};
}

int FolderPictures::Unclaimed() const {
  std::size_t named = 0;
  for (const auto& [number, names] : byNumber_) named += names.size();
  return static_cast<int>(others_.size() + named - claimed_.size());
}

}  // namespace ak
