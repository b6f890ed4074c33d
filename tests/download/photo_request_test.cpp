// The picture request's pieces: the header block sent with every picture, the built-in photo
// pattern, picture signatures, file names and the job text.

#include <gtest/gtest.h>

#include "base/codec.h"
#include "base/regex_matcher.h"
#include "download/photo_file.h"
#include "download/photo_request.h"
#include "net/answer_kind.h"
#include "net/winhttp_fetch.h"
#include "tests/download/download_fixture.h"

namespace ak::test {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;

using PhotoRequestTest = DownloadTest;

TEST_F(PhotoRequestTest, PictureRequestSendsTheHeaderBlockOfItsOwnPhoto) {
  const std::string id = "2155058361";
  Text extra = PhotoHeaderBlock(id);
  int status = 0;
  const Bytes body =
      WinHttpFetch("http://img3.doubanio.com/view/photo/photo/public/p" + id + ".jpg", 0, {},
                   nullptr, nullptr, &extra, nullptr, &status, false, {}, {}, 30);
  EXPECT_EQ(status, 200);
  EXPECT_TRUE(LooksLikePicture(body));
  const auto requests = Double().Requests();
  ASSERT_EQ(requests.size(), 1u);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Host", "img3.doubanio.com"},
      {"User-Agent", "Mozilla/5.0 (Windows NT 6.1; WOW64; rv:43.0) Gecko/20100101 Firefox/43.0"},
      {"Accept", "image/png,image/*;q=0.8,*/*;q=0.5"},
      {"Accept-Language", "zh-CN,zh;q=0.8,en-US;q=0.5,en;q=0.3"},
      {"Accept-Encoding", "gzip, deflate"},
      {"DNT", "1"},
      {"Referer", "http://www.douban.com/photos/photo/" + id + "/large"},
      {"Content-Type", "application/x-www-form-urlencoded"}};
  EXPECT_EQ(requests[0].headers, expected);
  EXPECT_TRUE(PhotoHeaderTemplate().ends_with("/photos/photo/2155058360/large\r\n"));
}

std::string PhotoEntry(const std::string& title, const std::string& id) {
  return "<a href=\"https://www.douban.com/photos/photo/" + id +
         "/\" class=\"photolst_photo\" title=\"" + title +
         "\">\n    <img src=\"https://img3.doubanio.com/view/photo/thumb/public/p" + id +
         ".jpg\" />\n</a>\n";
}

TEST(BuiltInPhotoPattern, TakesDescriptionHostAndIdOfEachEntry) {
  const std::string page = PhotoEntry("a \"b\"", "1001") + PhotoEntry(AK_GBK("描述"), "1002");
  RegexMatcher m;
  m.RunPattern(BuiltInPhotoPattern(), page);
  ASSERT_EQ(m.MatchCount(), 2);
  EXPECT_EQ(m.SubMatchText(1, 2), "https://img3.doubanio.com");
  EXPECT_EQ(m.SubMatchText(1, 3), "1001");
  EXPECT_EQ(m.SubMatchText(2, 1), AK_GBK("描述"));
  EXPECT_EQ(m.SubMatchText(2, 3), "1002");
  EXPECT_EQ(MediumPictureAddress(m.SubMatchText(2, 2), "1002"),
            "https://img3.doubanio.com/view/photo/photo/public/p1002.jpg");
  EXPECT_EQ(LargePictureAddress(m.SubMatchText(2, 2), "1002"),
            "https://img3.doubanio.com/view/photo/large/public/p1002.jpg");
}

TEST(PictureSignature, KnowsTheFourFormatsAndNothingElse) {
  for (const std::string& good :
       {std::string("\xFF\xD8\xFF\xE0", 4), std::string("\x89PNG\r\n\x1A\n1"),
        std::string("GIF89a.."), std::string("GIF87a"),
        std::string("RIFF\x10\0\0\0WEBPVP8 ", 16)}) {
    EXPECT_TRUE(LooksLikePicture(good)) << good;
  }
  for (const std::string& bad :
       {std::string(), std::string("\xFF\xD8"), std::string("<!DOCTYPE html>"),
        std::string("RIFF\x10\0\0\0WAVE", 12), std::string("GIF88a")}) {
    EXPECT_FALSE(LooksLikePicture(bad)) << bad;
  }
}

TEST(PhotoFile, NamesAndPlainNameRule) {
  EXPECT_EQ(PhotoFileName(5, ""), "5__.jpg");
  EXPECT_EQ(PhotoFileName(5, "123"), "5_123_.jpg");
  EXPECT_EQ(ShortPhotoFileName(12), "12_.jpg");
  EXPECT_TRUE(IsPlainFileName(AK_GBK("1_運_.jpg")));  // trail byte 0x5C is part of the name
  EXPECT_FALSE(IsPlainFileName("1_a/b_.jpg"));
  EXPECT_FALSE(IsPlainFileName(".."));
  EXPECT_FALSE(IsPlainFileName(std::string("1_a\0b_.jpg", 10)));
}

TEST(PhotoFile, NameThatIsNotAPlainNameIsSavedUnderTheShortName) {
  TempFolder temp;
  const Text folder = Utf8ToGbk(temp.path().string()) + "/";
  const SavedPhoto saved = SavePhotoFile(folder, 7, "../x", "\xFF\xD8\xFF");
  EXPECT_TRUE(saved.saved);
  EXPECT_EQ(saved.fileName, "7_.jpg");
  EXPECT_EQ(ReadFileBytes(temp.path() / "7_.jpg"), "\xFF\xD8\xFF");
  EXPECT_FALSE(std::filesystem::exists(temp.path().parent_path() / "x_.jpg"));
}

}  // namespace
}  // namespace ak::test
