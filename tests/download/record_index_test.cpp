#include "download/record_index.h"

#include <gtest/gtest.h>

#include <string>

namespace ak {
namespace {

std::string Key(const std::string& id, std::size_t width = 20) {
  std::string k = id.substr(0, width);
  k.resize(width, '\0');
  return k;
}

TEST(RecordIndex, FindsFromAGivenRecordOnwards) {
  RecordIndex index;
  for (const char* id : {"a", "b", "a", "c", "a"}) index.Append(Key(id));
  ASSERT_EQ(index.size(), 5u);
  const struct {
    const char* id;
    std::uint32_t from;
    std::uint32_t expected;
  } cases[] = {
      {"a", 0, 0},
      {"a", 1, 2},
      {"a", 2, 2},
      {"a", 3, 4},
      {"a", 5, RecordIndex::kNone},
      {"b", 0, 1},
      {"b", 2, RecordIndex::kNone},
      {"c", 0, 3},
      {"d", 0, RecordIndex::kNone},
      {"", 0, RecordIndex::kNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(index.FindFrom(Key(c.id), c.from), c.expected) << c.id << " from " << c.from;
  }
}

TEST(RecordIndex, ComparesAllBytesOfTheField) {
  RecordIndex index;
  index.Append(Key("1234567890123456789"));
  index.Append(std::string("x\0y", 3) + std::string(17, '\0'));
  EXPECT_EQ(index.FindFrom(Key("1234567890123456789"), 0), 0u);
  EXPECT_EQ(index.FindFrom(Key("12345678901234567890"), 0), RecordIndex::kNone);
  EXPECT_EQ(index.FindFrom(Key("1234567890123456788"), 0), RecordIndex::kNone);
  EXPECT_EQ(index.FindFrom(std::string("x\0y", 3) + std::string(17, '\0'), 0), 1u);
  EXPECT_EQ(index.FindFrom(Key("x"), 0), RecordIndex::kNone);
}

TEST(RecordIndex, GrowsWithoutLosingRecordsAndClears) {
  RecordIndex index(8);
  constexpr int kCount = 50000;
  for (int i = 0; i < kCount; ++i) index.Append(Key(std::to_string(i * 7), 8));
  for (int i = 0; i < kCount; ++i) {
    ASSERT_EQ(index.FindFrom(Key(std::to_string(i * 7), 8), 0), static_cast<std::uint32_t>(i));
    ASSERT_EQ(index.FindFrom(Key(std::to_string(i * 7 + 1), 8), 0), RecordIndex::kNone);
  }
  index.Clear();
  EXPECT_EQ(index.size(), 0u);
  EXPECT_EQ(index.FindFrom(Key("0", 8), 0), RecordIndex::kNone);
  index.Append(Key("7", 8));
  EXPECT_EQ(index.FindFrom(Key("7", 8), 0), 0u);
}

TEST(RecordIndex, ManyRepeatsOfOneIdStayChainedInOrder) {
  RecordIndex index;
  for (int i = 0; i < 1000; ++i) index.Append(Key(i % 2 ? "odd" : "even"));
  EXPECT_EQ(index.FindFrom(Key("odd"), 0), 1u);
  EXPECT_EQ(index.FindFrom(Key("odd"), 500), 501u);
  EXPECT_EQ(index.FindFrom(Key("even"), 999), RecordIndex::kNone);
  EXPECT_EQ(index.FindFrom(Key("even"), 998), 998u);
}

}  // namespace
}  // namespace ak

namespace ak {
namespace {

TEST(RecordIndex, IdsWiderThanASlotCompareWhole) {
  // Thirty bytes: the ids differ only after the twentieth byte.
  RecordIndex index(30);
  const std::string common(20, 'x');
  for (int i = 0; i < 100; ++i) index.Append(Key(common + std::to_string(i), 30));
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(index.FindFrom(Key(common + std::to_string(i), 30), 0),
              static_cast<std::uint32_t>(i));
  }
  EXPECT_EQ(index.FindFrom(Key(common + "100", 30), 0), RecordIndex::kNone);
  EXPECT_EQ(index.FindFrom(Key(common, 30), 0), RecordIndex::kNone);
}

TEST(RecordIndex, NarrowIdsCompareOnlyTheirWidth) {
  RecordIndex index(3);
  index.Append("abc");
  index.Append("abd");
  EXPECT_EQ(index.FindFrom("abd", 0), 1u);
  EXPECT_EQ(index.FindFrom("abe", 0), RecordIndex::kNone);
}

TEST(RecordIndex, RecordsEnteredTogetherAreFoundAsIfEnteredOneByOne) {
  // Records as a store file lays them out: a record number, then the id at an offset.
  const struct {
    std::size_t width, stride, offset, before, count;
  } cases[] = {
      {20, 24, 4, 0, 0},  {20, 24, 4, 0, 3},    {20, 24, 4, 0, 1000}, {20, 24, 4, 5, 1000},
      {8, 16, 6, 0, 700}, {30, 54, 24, 3, 500}, {20, 24, 4, 17, 9},
  };
  for (const auto& c : cases) {
    // Ids repeat every 37 records, so chains of repeats cross the batch and its look-ahead.
    const auto id = [](std::size_t r) { return std::to_string(r % 37 == 36 ? 5 : r * 11); };
    std::string bytes((c.before + c.count) * c.stride, '\xEE');
    for (std::size_t r = 0; r < c.before + c.count; ++r)
      Key(id(r), c.width).copy(bytes.data() + r * c.stride + c.offset, c.width);

    RecordIndex one_by_one(c.width);
    RecordIndex together(c.width);
    for (std::size_t r = 0; r < c.before + c.count; ++r) {
      one_by_one.Append(std::string_view(bytes).substr(r * c.stride + c.offset, c.width));
      if (r < c.before) together.Append(Key(id(r), c.width));
    }
    together.AppendRecords(bytes.data() + c.before * c.stride, c.count, c.stride, c.offset);
    ASSERT_EQ(together.size(), c.before + c.count);
    for (std::size_t r = 0; r < c.before + c.count + 40; ++r) {
      const std::string key = Key(id(r), c.width);
      for (const auto from : {std::uint32_t{0}, static_cast<std::uint32_t>(r / 2)}) {
        ASSERT_EQ(together.FindFrom(key, from), one_by_one.FindFrom(key, from))
            << "width " << c.width << " count " << c.count << " id " << id(r) << " from " << from;
      }
    }
    // Something was entered: the last record is found where it stands.
    if (c.count > 0) {
      const std::size_t last = c.before + c.count - 1;
      EXPECT_NE(together.FindFrom(Key(id(last), c.width), 0), RecordIndex::kNone);
    }
  }
}

}  // namespace
}  // namespace ak
