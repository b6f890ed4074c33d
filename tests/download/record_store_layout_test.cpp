#include "download/record_store_layout.h"

#include <gtest/gtest.h>

#include <cmath>

#include "download/ole_date.h"

namespace ak {
namespace {

// A new store, byte by byte, as the layout table gives it.
std::string ExpectedNewStore(const std::string& date_bytes) {
  std::string b;
  b += "WEDB";
  b += std::string("\x00\x00\x01\x00", 4);                 // version 0x00010000
  b += date_bytes;                                         // creation date
  b += std::string("\x00\x00\x00\x00", 4);                 // record count
  b += std::string("\x01\x00\x00\x00", 4);                 // next record number
  b += std::string("\x18\x00\x00\x00", 4);                 // record size 24
  b += std::string(84, '\0');                              // up to offset 112
  b += std::string("\x01\x00\x00\x00", 4);                 // one field
  std::string field = "photo_id" + std::string(12, '\0');  // name in 17 bytes, zero to 20
  field += std::string("\x0A\x00\x00\x00", 4);             // text
  field += std::string("\x04\x00\x00\x00", 4);             // at offset 4
  field += std::string("\x14\x00\x00\x00", 4);             // 20 bytes wide
  field += std::string(40, '\0');
  b += field;
  return b;
}

TEST(StoreLayout, NewStoreMatchesTheLayoutByteForByte) {
  const Bytes bytes = NewStoreBytes(45292.5);
  ASSERT_EQ(bytes.size(), 188u);
  EXPECT_EQ(bytes, ExpectedNewStore(std::string("\x00\x00\x00\x00\x90\x1d\xe6\x40", 8)));
}

TEST(StoreLayout, OleDatesCountDaysFrom18991230) {
  const struct {
    int y, mo, d, h, mi, s;
    double expected;
  } cases[] = {
      {1899, 12, 30, 0, 0, 0, 0.0},     {1899, 12, 31, 0, 0, 0, 1.0},
      {1900, 3, 1, 0, 0, 0, 61.0},      {2000, 1, 1, 0, 0, 0, 36526.0},
      {2024, 1, 1, 12, 0, 0, 45292.5},  {2025, 1, 1, 18, 0, 0, 45658.75},
      {2024, 2, 29, 6, 0, 0, 45351.25}, {2024, 1, 1, 0, 0, 1, 45292.0 + 1.0 / 86400},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(OleDateFromCivil(c.y, c.mo, c.d, c.h, c.mi, c.s), c.expected)
        << c.y << "-" << c.mo << "-" << c.d;
  }
  const double now = OleDateNow();
  EXPECT_GT(now, 45000.0);  // after 2023
  EXPECT_DOUBLE_EQ(now * 86400, std::round(now * 86400)) << "whole seconds";
}

TEST(StoreLayout, HeaderRefusals) {
  const std::string good = NewStoreBytes(1.0).substr(0, 112);
  auto with = [&](std::size_t offset, std::string bytes) {
    std::string h = good;
    h.replace(offset, bytes.size(), bytes);
    return h;
  };
  auto le = [](std::uint32_t v) {
    std::string s(4, '\0');
    WriteLe32(s.data(), v);
    return s;
  };
  const struct {
    const char* name;
    std::string head;
    bool accepted;
  } cases[] = {
      {"new store", good, true},
      {"111 bytes", good.substr(0, 111), false},
      {"empty", "", false},
      {"wrong magic", with(0, "WEDC"), false},
      {"lower-case magic", with(0, "wedb"), false},
      {"older version", with(4, le(0x00000001)), true},
      {"version above", with(4, le(0x00010001)), false},
      {"version with the high bit", with(4, le(0x80000000)), false},
      {"negative count", with(16, le(0xFFFFFFFF)), false},
      {"count 2^31-1", with(16, le(0x7FFFFFFF)), true},
      {"next record 0", with(20, le(0)), false},
      {"next record negative", with(20, le(0x80000000)), false},
      {"next record 2^31-1", with(20, le(0x7FFFFFFF)), true},
      {"record size 0", with(24, le(0)), false},
      {"record size negative", with(24, le(0xFFFFFFE8)), false},
      {"record size at the limit", with(24, le(65536)), true},
      {"record size huge", with(24, le(0x7FFFFFFF)), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseStoreHeader(c.head).has_value(), c.accepted) << c.name;
  }
}

TEST(StoreLayout, IdFieldIsFoundAmongOthersAndMustFitTheRecord) {
  auto descriptor = [](std::string name, std::uint32_t type, std::uint32_t offset,
                       std::uint32_t width) {
    std::string d(72, '\0');
    d.replace(0, name.size(), name);
    WriteLe32(d.data() + 20, type);
    WriteLe32(d.data() + 24, offset);
    WriteLe32(d.data() + 28, width);
    return d;
  };
  const struct {
    const char* name;
    std::string descriptors;
    std::int32_t count;
    std::int32_t record_size;
    bool accepted;
    std::int32_t offset, width;
  } cases[] = {
      {"ours", descriptor("photo_id", 10, 4, 20), 1, 24, true, 4, 20},
      {"second of two", descriptor("title", 10, 4, 30) + descriptor("photo_id", 10, 34, 20), 2, 54,
       true, 34, 20},
      {"name case", descriptor("PHOTO_ID", 10, 4, 20), 1, 24, true, 4, 20},
      {"narrower", descriptor("photo_id", 10, 4, 8), 1, 12, true, 4, 8},
      {"missing", descriptor("other", 10, 4, 20), 1, 24, false, 0, 0},
      {"not text", descriptor("photo_id", 3, 4, 20), 1, 24, false, 0, 0},
      {"past the record", descriptor("photo_id", 10, 4, 21), 1, 24, false, 0, 0},
      {"over the record number", descriptor("photo_id", 10, 0, 20), 1, 24, false, 0, 0},
      {"width 0", descriptor("photo_id", 10, 4, 0), 1, 24, false, 0, 0},
      {"negative offset", descriptor("photo_id", 10, 0xFFFFFFFF, 20), 1, 24, false, 0, 0},
      {"descriptors cut short", descriptor("photo_id", 10, 4, 20).substr(0, 71), 1, 24, false, 0,
       0},
  };
  for (const auto& c : cases) {
    StoreLayout layout;
    layout.record_size = c.record_size;
    EXPECT_EQ(ParseIdField(c.descriptors, c.count, layout), c.accepted) << c.name;
    if (!c.accepted) continue;
    EXPECT_EQ(layout.id_offset, c.offset) << c.name;
    EXPECT_EQ(layout.id_width, c.width) << c.name;
    EXPECT_EQ(layout.records_start, 116u + 72u * static_cast<unsigned>(c.count)) << c.name;
  }
}

TEST(StoreLayout, FieldCountMustBeSane) {
  auto le = [](std::uint32_t v) {
    std::string s(4, '\0');
    WriteLe32(s.data(), v);
    return s;
  };
  EXPECT_EQ(ParseFieldCount(le(1)), 1);
  EXPECT_EQ(ParseFieldCount(le(3)), 3);
  EXPECT_EQ(ParseFieldCount(le(0)), std::nullopt);
  EXPECT_EQ(ParseFieldCount(le(0xFFFFFFFF)), std::nullopt);
  EXPECT_EQ(ParseFieldCount(le(0x7FFFFFFF)), std::nullopt);
  EXPECT_EQ(ParseFieldCount("\x01\x00\x00"), std::nullopt);
}

TEST(StoreLayout, StoredIdIsPaddedOrCut) {
  Bytes out;
  StoredId("12345", 20, out);
  EXPECT_EQ(out, "12345" + std::string(15, '\0'));
  StoredId("123456789012345678901234", 20, out);
  EXPECT_EQ(out, "12345678901234567890");
  StoredId("", 20, out);
  EXPECT_EQ(out, std::string(20, '\0'));
  StoredId(std::string("12\0"
                       "99",
                       5),
           20, out);
  EXPECT_EQ(out, "12" + std::string(18, '\0'));
}

}  // namespace
}  // namespace ak
