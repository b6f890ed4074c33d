// Pictures: real JPEGs that libjpeg decodes, each size its own picture, served only by the
// photo's own picture host; missing large pictures and injected error pages.

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

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

struct ErrorExit : jpeg_error_mgr {
  std::jmp_buf jump;
};

// Decodes every scan line, so a cut or corrupt picture fails here: fatal errors jump back out of
// libjpeg, corrupt data shows as warnings.
Decoded Decode(const std::string& bytes) {
  Decoded result;
  if (bytes.empty()) return result;
  jpeg_decompress_struct cinfo{};
  ErrorExit err;
  cinfo.err = jpeg_std_error(&err);
  err.error_exit = [](j_common_ptr info) {
    std::longjmp(static_cast<ErrorExit*>(info->err)->jump, 1);
  };
  std::vector<unsigned char> row;
  if (setjmp(err.jump) != 0) {
    jpeg_destroy_decompress(&cinfo);
    return Decoded{};
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_save_markers(&cinfo, JPEG_COM, 0xFFFF);
  jpeg_read_header(&cinfo, TRUE);
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
    if (m->marker == JPEG_COM) {
      result.comment.assign(reinterpret_cast<const char*>(m->data), m->data_length);
    }
  }
  jpeg_start_decompress(&cinfo);
  row.resize(static_cast<size_t>(cinfo.output_width) *
             static_cast<size_t>(cinfo.output_components));
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rowPointer = row.data();
    jpeg_read_scanlines(&cinfo, &rowPointer, 1);
  }
  jpeg_finish_decompress(&cinfo);
  result.width = static_cast<int>(cinfo.output_width);
  result.height = static_cast<int>(cinfo.output_height);
  result.ok = err.num_warnings == 0;
  jpeg_destroy_decompress(&cinfo);
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
