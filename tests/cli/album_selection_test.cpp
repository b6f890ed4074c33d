#include "cli/album_selection.h"

#include <gtest/gtest.h>

namespace ak {
namespace {

TEST(AlbumSelectionTest, GoodSelections) {
  struct Row {
    const char* text;
    std::vector<SelectionRange> ranges;
  } rows[] = {
      {"1", {{1, 1}}},
      {"1,3-5", {{1, 1}, {3, 5}}},
      {" 2 , 4 - 4 ,7", {{2, 2}, {4, 4}, {7, 7}}},
      {"5-3000", {{5, 3000}}},
      {"3,1,3", {{3, 3}, {1, 1}, {3, 3}}},
      {"007", {{7, 7}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const SelectionParse parse = ParseAlbumSelection(row.text);
    EXPECT_EQ(parse.error, "");
    EXPECT_EQ(parse.ranges, row.ranges);
  }
}

TEST(AlbumSelectionTest, BadSelectionsSayWhy) {
  struct Row {
    const char* text;
    const char* error;
  } rows[] = {
      {"", "the list of albums is empty"},
      {"  ", "the list of albums is empty"},
      {"1,", "a number is missing"},
      {",1", "a number is missing"},
      {"1,,2", "a number is missing"},
      {"-3", "a number is missing"},
      {"3-", "a number is missing"},
      {"0", "albums are numbered from 1"},
      {"0-2", "albums are numbered from 1"},
      {"5-3", "the range \"5-3\" runs backwards"},
      {"1-2-3", "\"2-3\" is not a number"},
      {"x", "\"x\" is not a number"},
      {"+1", "\"+1\" is not a number"},
      {"1 2", "\"1 2\" is not a number"},
      {"99999999999999999999", "\"99999999999999999999\" is too large"},
      {"2000000", "\"2000000\" is too large"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const SelectionParse parse = ParseAlbumSelection(row.text);
    EXPECT_EQ(parse.error, row.error);
    EXPECT_TRUE(parse.ranges.empty());
  }
}

TEST(AlbumSelectionTest, RowsPickedFromTheList) {
  std::string error;
  EXPECT_EQ(SelectedRows(ParseAlbumSelection("5,1,3-4,3").ranges, 6, error),
            (std::vector<int>{0, 2, 3, 4}));
  EXPECT_EQ(error, "");
  EXPECT_EQ(SelectedRows(ParseAlbumSelection("1-6").ranges, 6, error),
            (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(error, "");

  EXPECT_TRUE(SelectedRows(ParseAlbumSelection("2,4-9").ranges, 6, error).empty());
  EXPECT_EQ(error, "album 7 is not in the list (6 albums)");
  error.clear();
  EXPECT_TRUE(SelectedRows(ParseAlbumSelection("2").ranges, 1, error).empty());
  EXPECT_EQ(error, "album 2 is not in the list (1 album)");
}

}  // namespace
}  // namespace ak
