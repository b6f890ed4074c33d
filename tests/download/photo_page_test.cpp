// Reading photo-list pages: the built-in pattern first, the later markup's pattern when it finds
// nothing, a user's pattern alone; over saved pages and the photos expected from them.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/codec.h"
#include "base/text_ops.h"
#include "download/photo_page.h"

namespace ak {
namespace {

std::string ReadData(const std::string& name) {
  std::ifstream in(std::string(AK_DOWNLOAD_TEST_DATA) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// id, description, medium, large, original: one photo a line, tab-separated, GBK.
std::vector<std::vector<Text>> Expected(const std::string& name) {
  std::vector<std::vector<Text>> rows;
  std::istringstream in(ReadData(name));
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<Text> fields;
    std::size_t from = 0;
    for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1) {
      fields.push_back(Utf8ToGbk(line.substr(from, tab - from)));
    }
    fields.push_back(Utf8ToGbk(line.substr(from)));
    rows.push_back(std::move(fields));
  }
  return rows;
}

struct PageCase {
  const char* page;
  const char* userPattern;  // UTF-8
  const char* expected;
};

class PhotoPageTest : public ::testing::TestWithParam<PageCase> {};

TEST_P(PhotoPageTest, FindsThePhotosOfTheSavedPage) {
  const PageCase c = GetParam();
  RegexMatcher matcher;
  const std::vector<ScrapedPhoto> photos =
      ReadPhotoPage(matcher, Utf8ToGbk(c.userPattern), Utf8ToGbk(ReadData(c.page)));
  std::vector<std::vector<Text>> found;
  for (const ScrapedPhoto& photo : photos) {
    found.push_back({photo.id, photo.description, photo.mediumAddress, photo.largeAddress,
                     photo.originalAddress});
  }
  EXPECT_EQ(found, Expected(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    SavedPages, PhotoPageTest,
    ::testing::Values(PageCase{"today_album_page.html", "", "today_album_page.expected"},
                      PageCase{"later_markup_variants.html", "", "later_markup_variants.expected"},
                      PageCase{"classic_and_later.html", "", "classic_and_later.expected"},
                      // A user's pattern is the only one tried, even when it finds nothing.
                      PageCase{"later_markup_variants.html", "lass=\"nothing\"(.)(.)(.)",
                               "none.expected"}));

TEST(OriginalPictureAddress, TheRawFormOfEverySizeForm) {
  const struct {
    const char* address;
    const char* original;
  } cases[] = {
      {"http://img3.doubanio.com/view/photo/photo/public/p123.jpg",
       "http://img3.doubanio.com/view/photo/raw/public/p123.jpg"},
      {"https://img9.doubanio.com/view/photo/l/public/p45.webp",
       "https://img9.doubanio.com/view/photo/raw/public/p45.jpg"},
      {"http://img1.doubanio.com/view/photo/raw/public/p7.jpg",
       "http://img1.doubanio.com/view/photo/raw/public/p7.jpg"},
      // Not a picture address of a size form: no original to ask for.
      {"null", ""},
      {"http://img1.doubanio.com/view/photo/a/b/public/p7.jpg", ""},
      {"http://img1.doubanio.com/view/photo/l/public/p.jpg", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(OriginalPictureAddress(c.address), c.original) << c.address;
}

}  // namespace
}  // namespace ak
