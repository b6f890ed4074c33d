// Pictures: real JPEGs that libjpeg decodes, each size its own picture, served only by the
// photo's own picture host; missing large pictures and injected error pages.

#include <gtest/gtest.h>

#include <string>

#include "albums/jpeg_decode.h"
#include "tests/support/fake_douban_process.h"
#include "tests/tools/douban_client.h"

namespace ak::test {
namespace {

struct Decoded {
  bool ok = false;
  int width = 0;
  int height = 0;
  std::string comment;
};

// The text of the first comment segment (COM marker) in the headers, read from the bytes.
std::string JpegComment(const std::string& bytes) {
  std::size_t at = 2;  // after the start-of-image marker
  while (at + 4 <= bytes.size() && static_cast<unsigned char>(bytes[at]) == 0xFF) {
    const unsigned marker = static_cast<unsigned char>(bytes[at + 1]);
    const std::size_t length =
        static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 2])) * 256 +
        static_cast<unsigned char>(bytes[at + 3]);
    if (marker == 0xFE) return bytes.substr(at + 4, length >= 2 ? length - 2 : 0);
    if (marker == 0xDA) break;  // start of scan: no more headers
    at += 2 + length;
  }
  return {};
}

// Decodes with the program's decoder at full size, so a cut or corrupt picture fails here.
Decoded Decode(const std::string& bytes) {
  Decoded result;
  const auto image = DecodeJpeg(bytes, 1 << 16, 1 << 16);
  if (image == nullptr) return result;
  result.ok = true;
  result.width = image->width;
  result.height = image->height;
  result.comment = JpegComment(bytes);
  return result;
}

class FakeDoubanPicturesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    douban_ = new FakeDouban({.extraArgs = {"--picture-error", "16200000020001=200",
                                            "--picture-error", "16200000020002=404"}});
    ASSERT_TRUE(douban_->Start()) << douban_->error();
  }
  static void TearDownTestSuite() {
    delete douban_;
    douban_ = nullptr;
  }
  static FakeDouban* douban_;
};

FakeDouban* FakeDoubanPicturesTest::douban_ = nullptr;

TEST_F(FakeDoubanPicturesTest, EverySizeDecodesAndNamesItsPhoto) {
  struct Case {
    const char* host;
    const char* id;
  } photos[] = {{"img3.doubanio.com", "2155058361"}, {"img1.doubanio.com", "2155058362"}};
  for (const Case& photo : photos) {
    int previousArea = 0;
    for (const char* size : {"thumb", "photo", "large"}) {
      const std::string url = std::string("http://") + photo.host + "/view/photo/" + size +
                              "/public/p" + photo.id + ".jpg";
      const Fetched fetched = Fetch(*douban_, url, {.http10 = true});
      ASSERT_EQ(fetched.status, 200) << url;
      EXPECT_EQ(fetched.contentType, "image/jpeg");
      const Decoded decoded = Decode(fetched.body);
      ASSERT_TRUE(decoded.ok) << url;
      const std::string sizeName = std::string(size) == "photo" ? "medium" : size;
      EXPECT_EQ(decoded.comment,
                "fake_douban photo=" + std::string(photo.id) + " size=" + sizeName);
      EXPECT_GT(decoded.width * decoded.height, previousArea) << url;
      previousArea = decoded.width * decoded.height;
      // The same address gives the same bytes.
      EXPECT_EQ(Fetch(*douban_, url).body, fetched.body);
    }
  }
}

TEST_F(FakeDoubanPicturesTest, CoversDecode) {
  const Fetched cover =
      Fetch(*douban_, "http://img3.doubanio.com/view/photo/albumcover/public/p2155058361.jpg");
  ASSERT_EQ(cover.status, 200);
  const Decoded decoded = Decode(cover.body);
  EXPECT_TRUE(decoded.ok);
  EXPECT_NE(decoded.width, decoded.height);  // not square: the list has to scale it
}

TEST_F(FakeDoubanPicturesTest, PicturesAreServedOnlyWhereThePagesPointTo) {
  for (const char* url : {
           // photo 2155058361 lives on img3
           "http://img1.doubanio.com/view/photo/photo/public/p2155058361.jpg",
           // no large picture for this photo
           "http://img3.doubanio.com/view/photo/large/public/p2155058365.jpg",
           "http://img3.doubanio.com/view/photo/photo/public/p99.jpg",
           "http://img3.doubanio.com/view/photo/photo/public/p2155058361.png",
       }) {
    const Fetched fetched = Fetch(*douban_, url);
    EXPECT_EQ(fetched.status, 404) << url;
    EXPECT_FALSE(Decode(fetched.body).ok) << url;
    EXPECT_NE(fetched.body.find("<html"), std::string::npos) << url;
  }
  // The medium picture of the photo without a large one is there.
  EXPECT_EQ(
      Fetch(*douban_, "http://img3.doubanio.com/view/photo/photo/public/p2155058365.jpg").status,
      200);
}

TEST_F(FakeDoubanPicturesTest, InjectedErrorPagesReplaceMediumAndLarge) {
  struct Case {
    const char* url;
    long status;
  } cases[] = {
      {"http://img3.doubanio.com/view/photo/photo/public/p16200000020001.jpg", 200},
      {"http://img3.doubanio.com/view/photo/large/public/p16200000020001.jpg", 200},
      {"http://img1.doubanio.com/view/photo/photo/public/p16200000020002.jpg", 404},
  };
  for (const Case& c : cases) {
    const Fetched fetched = Fetch(*douban_, c.url);
    EXPECT_EQ(fetched.status, c.status) << c.url;
    EXPECT_EQ(fetched.contentType, "text/html; charset=utf-8") << c.url;
    EXPECT_FALSE(Decode(fetched.body).ok) << c.url;
  }
  // The thumbnail still shows on the album page.
  EXPECT_TRUE(
      Decode(Fetch(*douban_, "http://img3.doubanio.com/view/photo/thumb/public/p16200000020001.jpg")
                 .body)
          .ok);
}

}  // namespace
}  // namespace ak::test
