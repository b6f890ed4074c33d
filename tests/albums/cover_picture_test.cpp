#include "albums/cover_picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "albums/jpeg_decode.h"
#include "albums/placeholder_cover.h"

namespace ak::test {
namespace {

// A JPEG of the given size: the left half pure white, the right half red.
std::string MakeJpeg(int width, int height) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
  for (int x = 0; x < width; ++x) {
    const bool white = x < width / 2;
    row[x * 3] = 255;
    row[x * 3 + 1] = white ? 255 : 0;
    row[x * 3 + 2] = white ? 255 : 0;
  }
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&cinfo, &line, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string bytes(reinterpret_cast<char*>(out), size);
  jpeg_destroy_compress(&cinfo);
  std::free(out);
  return bytes;
}

// Rewrites the size in the frame header (SOF0) of `jpeg`.
std::string WithClaimedSize(std::string jpeg, int width, int height) {
  const std::size_t sof = jpeg.find("\xFF\xC0");
  EXPECT_NE(sof, std::string::npos);
  jpeg[sof + 5] = static_cast<char>(height >> 8);
  jpeg[sof + 6] = static_cast<char>(height & 0xFF);
  jpeg[sof + 7] = static_cast<char>(width >> 8);
  jpeg[sof + 8] = static_cast<char>(width & 0xFF);
  return jpeg;
}

TEST(DecodeJpegTest, ScalesDownOnlyAsFarAsTheWantedSizeAllows) {
  struct Case {
    int width, height, minWidth, minHeight, decodedWidth, decodedHeight;
  } cases[] = {
      {150, 100, 100, 100, 150, 100},    // half would be 75 x 50: too small, full size
      {1600, 1600, 100, 100, 200, 200},  // an eighth still covers 100 x 100
      {400, 300, 100, 100, 150, 113},    // 2/8 would be 75 high: 3/8, rounded up
      {400, 300, 0, 0, 50, 38},          // nothing wanted: the smallest scale
  };
  for (const Case& c : cases) {
    const auto image = DecodeJpeg(MakeJpeg(c.width, c.height), c.minWidth, c.minHeight);
    ASSERT_NE(image, nullptr) << c.width << "x" << c.height;
    EXPECT_EQ(image->width, c.decodedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(image->height, c.decodedHeight) << c.width << "x" << c.height;
    EXPECT_EQ(image->rgba.size(), static_cast<std::size_t>(image->width) * image->height * 4);
  }
}

TEST(DecodeJpegTest, BrokenPicturesGiveNothing) {
  const std::string good = MakeJpeg(160, 120);
  ASSERT_NE(DecodeJpeg(good), nullptr);
  for (const std::string& bytes : {
           std::string(), std::string("<html><body>404</body></html>"),
           good.substr(0, good.size() / 2),  // cut off half-way
           good.substr(0, 200),              // cut off in the headers
           std::string("\xFF\xD8\xFF\xD9"),  // start and end, nothing between
       }) {
    EXPECT_EQ(DecodeJpeg(bytes, 100, 100), nullptr) << bytes.size() << " bytes";
    EXPECT_EQ(CoverFromJpeg(bytes), nullptr) << bytes.size() << " bytes";
  }
}

TEST(DecodeJpegTest, HugeClaimedSizeIsScaledOrRefused) {
  // The header claims 20,000 x 20,000 pixels over the data of a small picture: decoding runs at
  // an eighth (2,500 x 2,500, under the pixel budget) and meets the end of the data early, so
  // the picture counts as cut off.
  const std::string huge = WithClaimedSize(MakeJpeg(64, 64), 20000, 20000);
  EXPECT_EQ(DecodeJpeg(huge, 100, 100), nullptr);
  EXPECT_EQ(CoverFromJpeg(huge), nullptr);
  // Wanted at full size it would need 400 million pixels: refused before anything is decoded.
  EXPECT_EQ(DecodeJpeg(huge, 20000, 20000), nullptr);
  // A header beyond the format's limit (65,500) is a fatal error: libjpeg jumps back out.
  EXPECT_EQ(DecodeJpeg(WithClaimedSize(MakeJpeg(64, 64), 65535, 65535), 100, 100), nullptr);
}

TEST(CoverPictureTest, EveryCoverIsOneHundredSquareWithWhiteTransparent) {
  const auto cover = CoverFromJpeg(MakeJpeg(300, 200));
  ASSERT_NE(cover, nullptr);
  ASSERT_EQ(cover->width, kCoverSide);
  ASSERT_EQ(cover->height, kCoverSide);
  ASSERT_EQ(cover->rgba.size(), 100u * 100u * 4u);
  const auto pixel = [&](int x, int y) { return &cover->rgba[(y * 100 + x) * 4]; };
  // Left half white: transparent. Right half red: opaque red.
  EXPECT_EQ(pixel(10, 50)[3], 0);
  EXPECT_EQ(pixel(90, 50)[3], 255);
  EXPECT_GT(pixel(90, 50)[0], 240);
  EXPECT_LT(pixel(90, 50)[1], 16);
}

TEST(CoverPictureTest, ScaleCoverAveragesAreasAndRejectsShortData) {
  CoverImage picture;
  picture.width = 2;
  picture.height = 1;
  picture.rgba = {0, 0, 0, 255, 200, 100, 50, 255};
  const auto cover = ScaleCover(picture);
  ASSERT_NE(cover, nullptr);
  EXPECT_EQ(cover->rgba[0], 0);             // left half from the black pixel
  EXPECT_EQ(cover->rgba[99 * 4 + 0], 200);  // right half from the coloured one
  EXPECT_EQ(cover->rgba[99 * 4 + 1], 100);
  picture.rgba.pop_back();
  EXPECT_EQ(ScaleCover(picture), nullptr);
  EXPECT_EQ(ScaleCover(CoverImage{}), nullptr);
}

TEST(CoverPictureTest, PlaceholderIsOurOwnPicture) {
  const auto decoded = DecodeJpeg(PlaceholderCoverJpeg());
  ASSERT_NE(decoded, nullptr);
  const auto full = DecodeJpeg(PlaceholderCoverJpeg(), 158, 105);
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(full->width, 158);
  EXPECT_EQ(full->height, 105);
  const auto cover = PlaceholderCover();
  ASSERT_NE(cover, nullptr);
  EXPECT_EQ(cover->width, kCoverSide);
  EXPECT_EQ(PlaceholderCover(), cover);  // made once, shared
}

}  // namespace
}  // namespace ak::test
