#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "tools/fake_douban/addresses.h"

namespace ak::fake {

// Width and height of a picture: thumb 100 x 75, medium 400 x 300, large 800 x 600, original
// (today's "raw") 1600 x 1200, cover
// 150 x 100; photos whose id ends in an odd digit are portrait (sides swapped, cover excepted).
std::pair<int, int> PictureDimensions(PictureSize size, std::string_view id);

// Encodes a deterministic picture for a photo id and size with libjpeg: a colour gradient whose
// hues depend on the id, and a comment marker "fake_douban photo=ID size=SIZE" so a test can tell
// which picture a client saved.
std::string MakeJpeg(PictureSize size, std::string_view id);

// Pictures are made on first request and kept, so repeated downloads cost no encoding.
class JpegCache {
 public:
  const std::string& Get(PictureSize size, const std::string& id);

 private:
  std::mutex mutex_;
  std::map<std::pair<int, std::string>, std::string> pictures_;
};

}  // namespace ak::fake
