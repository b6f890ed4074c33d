// The page-reading steps of the listing, on saved pages: each page file under data/ has a file
// of the same name ending in .expected with the counts and entries the listing must read from it.

#include "albums/album_pages.h"

#include <gtest/gtest.h>

#include <string>

#include "base/codec.h"
#include "tests/albums/saved_page.h"

namespace ak::test {
namespace {

class ListPageTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ListPageTest, CountsAndEntriesAsSaved) {
  const Text page = SavedPage(GetParam() + ".html");
  ASSERT_FALSE(page.empty()) << GetParam();
  std::vector<AlbumEntry> expectedEntries;
  std::vector<Text> expectedNames;
  int checkedCounts = 0;
  for (const std::vector<Text>& line : ExpectedLines(GetParam() + ".expected")) {
    if (line[0] == "page-count") {
      EXPECT_EQ(ReadPageCountText(page), line.at(1));
      ++checkedCounts;
    } else if (line[0] == "has-page-count") {
      EXPECT_EQ(HasPageCount(page), line.at(1) == "yes");
      ++checkedCounts;
    } else if (line[0] == "album-count") {
      EXPECT_EQ(ReadAlbumCount(page), std::stoi(line.at(1)));
      ++checkedCounts;
    } else {
      ASSERT_EQ(line[0], "entry");
      ASSERT_GE(line.size(), 5u);
      expectedEntries.push_back({line[1], line[2], line[3], line.size() > 5 ? line[5] : Text()});
      expectedNames.push_back(line[4]);
    }
  }
  EXPECT_EQ(checkedCounts, 3);
  const std::vector<AlbumEntry> entries = ReadAlbumEntries(page);
  ASSERT_EQ(entries.size(), expectedEntries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i], expectedEntries[i]) << "entry " << i;
    EXPECT_EQ(ListedAlbumName(entries[i].name), expectedNames[i])
        << "entry " << i << ": " << GbkToUtf8(entries[i].name);
  }
}

INSTANTIATE_TEST_SUITE_P(SavedPages, ListPageTest,
                         ::testing::Values("list_first_of_two_pages", "list_last_page",
                                           "single_page_list", "empty_list", "no_markers",
                                           "entry_variants"));

TEST(TitlePagesTest, OwnerNamesAndAlbumTitlesAsSaved) {
  const auto lines = ExpectedLines("titles.expected");
  ASSERT_GE(lines.size(), 6u);
  for (const std::vector<Text>& line : lines) {
    ASSERT_EQ(line.size(), 3u);
    const Text page = SavedPage(line[1]);
    ASSERT_FALSE(page.empty()) << line[1];
    EXPECT_EQ(line[0] == "owner" ? ReadOwnerName(page) : ReadAlbumTitle(page), line[2]) << line[1];
  }
}

TEST(ListPageTest, TenThousandEntriesOnOnePageAreAllRead) {
  const std::vector<AlbumEntry> one = ReadAlbumEntries(SavedPage("single_page_list.html"));
  ASSERT_EQ(one.size(), 2u);
  // The first entry of the saved page, repeated.
  const Text page = SavedPage("single_page_list.html");
  const std::size_t from = page.find("<div class=\"albumlst\">");
  const std::size_t to = page.find("<div class=\"albumlst\">", from + 1);
  ASSERT_NE(to, Text::npos);
  Text many;
  for (int i = 0; i < 10000; ++i) many += page.substr(from, to - from);
  const std::vector<AlbumEntry> entries = ReadAlbumEntries(many);
  ASSERT_EQ(entries.size(), 10000u);
  EXPECT_EQ(entries.back(), one.front());
}

TEST(SubstituteNameTest, DigitsOfTheAddressThenTheLetters) {
  EXPECT_EQ(SubstituteAlbumName("http://www.douban.com/photos/album/1620000003/", "abc"),
            AK_GBK("1620000003(随机字母abc）"));
  EXPECT_EQ(SubstituteAlbumName("", "xyz"), AK_GBK("(随机字母xyz）"));
}

}  // namespace
}  // namespace ak::test
