#include "tools/fake_douban/jpeg_maker.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace ak::fake {
namespace {

unsigned Hash(std::string_view text) {
  unsigned h = 2166136261u;  // FNV-1a
  for (char c : text) {
    h ^= static_cast<unsigned char>(c);
    h *= 16777619u;
  }
  return h;
}

}  // namespace

std::pair<int, int> PictureDimensions(PictureSize size, std::string_view id) {
  std::pair<int, int> dims;
  switch (size) {
    case PictureSize::kThumb:
      dims = {100, 75};
      break;
    case PictureSize::kMedium:
      dims = {400, 300};
      break;
    case PictureSize::kLarge:
      dims = {800, 600};
      break;
    case PictureSize::kCover:
      return {150, 100};
    case PictureSize::kRaw:
      dims = {1600, 1200};
      break;
  }
  const bool portrait = !id.empty() && (id.back() - '0') % 2 == 1;
  if (portrait) std::swap(dims.first, dims.second);
  return dims;
}

std::string MakeJpeg(PictureSize size, std::string_view id) {
  const auto [width, height] = PictureDimensions(size, id);
  const unsigned h = Hash(id);
  const int baseR = static_cast<int>(h & 0xFF), baseG = static_cast<int>((h >> 8) & 0xFF),
            baseB = static_cast<int>((h >> 16) & 0xFF);

  jpeg_compress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long bufferSize = 0;
  jpeg_mem_dest(&cinfo, &buffer, &bufferSize);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 80, TRUE);
  jpeg_start_compress(&cinfo, TRUE);

  const std::string comment =
      "fake_douban photo=" + std::string(id) + " size=" + PictureSizeName(size);
  jpeg_write_marker(&cinfo, JPEG_COM, reinterpret_cast<const JOCTET*>(comment.data()),
                    static_cast<unsigned>(comment.size()));

  std::vector<JSAMPLE> row(static_cast<size_t>(width) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < width; ++x) {
      row[static_cast<size_t>(x) * 3 + 0] = static_cast<JSAMPLE>((baseR + x * 255 / width) & 0xFF);
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<JSAMPLE>((baseG + y * 255 / height) & 0xFF);
      row[static_cast<size_t>(x) * 3 + 2] =
          static_cast<JSAMPLE>((baseB + ((x / 16 + y / 16) % 2) * 96) & 0xFF);
    }
    JSAMPROW rowPointer = row.data();
    jpeg_write_scanlines(&cinfo, &rowPointer, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string bytes(reinterpret_cast<const char*>(buffer), bufferSize);
  std::free(buffer);
  return bytes;
}

const std::string& JpegCache::Get(PictureSize size, const std::string& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto key = std::make_pair(static_cast<int>(size), id);
  auto it = pictures_.find(key);
  if (it == pictures_.end()) it = pictures_.emplace(key, MakeJpeg(size, id)).first;
  return it->second;
}

}  // namespace ak::fake
