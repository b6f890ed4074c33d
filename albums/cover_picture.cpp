#include "albums/cover_picture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "albums/jpeg_decode.h"
#include "albums/placeholder_cover.h"

namespace ak {
namespace {

// For each output index, the source span [first, last) it averages; at least one source pixel.
struct Span {
  int first = 0;
  int last = 0;
};

std::vector<Span> Spans(int sourceSize, int outputSize) {
  std::vector<Span> spans(static_cast<std::size_t>(outputSize));
  for (int i = 0; i < outputSize; ++i) {
    int first = static_cast<int>(std::int64_t{i} * sourceSize / outputSize);
    int last = static_cast<int>(std::int64_t{i + 1} * sourceSize / outputSize);
    if (last <= first) last = first + 1;
    if (last > sourceSize) {
      last = sourceSize;
      first = last - 1;
    }
    spans[static_cast<std::size_t>(i)] = {first, last};
  }
  return spans;
}

}  // namespace

std::shared_ptr<const CoverImage> ScaleCover(const CoverImage& picture) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.rgba.size() < static_cast<std::size_t>(picture.width) * picture.height * 4) {
    return nullptr;
  }
  auto cover = std::make_shared<CoverImage>();
  cover->width = kCoverSide;
  cover->height = kCoverSide;
  cover->rgba.resize(static_cast<std::size_t>(kCoverSide) * kCoverSide * 4);
  const std::vector<Span> columns = Spans(picture.width, kCoverSide);
  const std::vector<Span> rows = Spans(picture.height, kCoverSide);
  const std::size_t stride = static_cast<std::size_t>(picture.width) * 4;
  std::uint8_t* out = cover->rgba.data();
  for (const Span& rowSpan : rows) {
    for (const Span& columnSpan : columns) {
      std::uint32_t sum[3] = {0, 0, 0};
      for (int y = rowSpan.first; y < rowSpan.last; ++y) {
        const std::uint8_t* in = picture.rgba.data() + stride * static_cast<std::size_t>(y) +
                                 static_cast<std::size_t>(columnSpan.first) * 4;
        for (int x = columnSpan.first; x < columnSpan.last; ++x, in += 4) {
          sum[0] += in[0];
          sum[1] += in[1];
          sum[2] += in[2];
        }
      }
      const std::uint32_t count = static_cast<std::uint32_t>(rowSpan.last - rowSpan.first) *
                                  static_cast<std::uint32_t>(columnSpan.last - columnSpan.first);
      for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>((sum[c] + count / 2) / count);
      const bool white = out[0] == 0xFF && out[1] == 0xFF && out[2] == 0xFF;
      out[3] = white ? 0 : 0xFF;
      out += 4;
    }
  }
  return cover;
}

std::shared_ptr<const CoverImage> CoverFromJpeg(std::string_view bytes) {
  const std::shared_ptr<const CoverImage> picture = DecodeJpeg(bytes, kCoverSide, kCoverSide);
  return picture == nullptr ? nullptr : ScaleCover(*picture);
}

std::shared_ptr<const CoverImage> PlaceholderCover() {
  static const std::shared_ptr<const CoverImage> placeholder =
      CoverFromJpeg(PlaceholderCoverJpeg());
  return placeholder;
}

}  // namespace ak
