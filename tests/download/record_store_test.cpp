#include "download/record_store.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "base/codec.h"
#include "tests/support/full_disk.h"
#include "tests/support/temp_folder.h"

namespace ak {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WithFileSizeLimit;
using testing::WriteFileBytes;

constexpr double kDate = 45292.5;  // 2024-01-01 12:00

std::string Le32(std::uint32_t v) {
  std::string s(4, '\0');
  WriteLe32(s.data(), v);
  return s;
}

std::string Record(std::uint32_t number, const std::string& id) {
  std::string r = Le32(number) + id.substr(0, 20);
  r.resize(24, '\0');
  return r;
}

// A store of `ids` as this program writes it.
std::string StoreWith(const std::vector<std::string>& ids) {
  std::string bytes = NewStoreBytes(kDate);
  bytes.replace(16, 8,
                Le32(static_cast<std::uint32_t>(ids.size())) +
                    Le32(static_cast<std::uint32_t>(ids.size() + 1)));
  for (std::size_t i = 0; i < ids.size(); ++i)
    bytes += Record(static_cast<std::uint32_t>(i + 1), ids[i]);
  return bytes;
}

class RecordStore : public ::testing::Test {
 protected:
  RecordStore()
      : folder_native_(temp_.path() / "程序" / "防止重复下载数据库"),
        folder_(Utf8ToGbk((temp_.path() / "程序").string()) + "/" +
                DownloadRecordStore::FolderName()),
        store_([this](const Text& line) { log_.push_back(line); }, [] { return kDate; }) {}

  std::filesystem::path StorePath(const std::string& id_utf8) const {
    return folder_native_ / (id_utf8 + ".edb");
  }
  void PlaceStore(const std::string& id_utf8, const std::string& bytes) {
    std::filesystem::create_directories(folder_native_);
    WriteFileBytes(StorePath(id_utf8), bytes);
  }

  TempFolder temp_;
  std::filesystem::path folder_native_;
  Text folder_;
  std::vector<Text> log_;
  DownloadRecordStore store_;
};

const Text& CreatedLine() { return AK_GBK("防止重复下载数据库创建成功\r\n"); }
const Text& FailedLine() { return AK_GBK("防止重复下载数据库创建失败\r\n"); }

TEST_F(RecordStore, FirstOpenCreatesFolderAndStoreAndLogsOnce) {
  const Text source = Utf8ToGbk("张三");
  ASSERT_TRUE(store_.OpenForSource(folder_, source));
  EXPECT_EQ(log_, std::vector<Text>{CreatedLine()});
  EXPECT_EQ(ReadFileBytes(StorePath("张三")), NewStoreBytes(kDate));
  EXPECT_EQ(store_.record_count(), 0u);
  EXPECT_FALSE(store_.Find("1"));
  store_.Close();

  // The second album of the batch finds the store and logs nothing.
  ASSERT_TRUE(store_.OpenForSource(folder_, source));
  EXPECT_EQ(log_.size(), 1u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_native_),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(RecordStore, AddsWriteTheRecordsAndCountsExactly) {
  ASSERT_TRUE(store_.OpenForSource(folder_, "abc"));
  ASSERT_TRUE(store_.Add("2712345678"));
  ASSERT_TRUE(store_.Add("123456789012345678901234"));  // keeps its first 20 bytes
  ASSERT_TRUE(store_.Add(""));
  EXPECT_EQ(ReadFileBytes(StorePath("abc")), StoreWith({"2712345678", "12345678901234567890", ""}));
  EXPECT_EQ(store_.record_count(), 3u);
}

TEST_F(RecordStore, RecordsSurviveCloseAndOpen) {
  ASSERT_TRUE(store_.OpenForSource(folder_, "src"));
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(store_.Add(std::to_string(1000000 + i * 3)));
  store_.Close();
  EXPECT_FALSE(store_.is_open());
  EXPECT_FALSE(store_.Find("1000000"));

  DownloadRecordStore later;
  ASSERT_TRUE(later.OpenForSource(folder_, "src"));
  EXPECT_EQ(later.record_count(), 1000u);
  for (int i = 0; i < 3000; ++i) {
    later.Rewind();
    ASSERT_EQ(later.Find(std::to_string(1000000 + i)), i % 3 == 0) << i;
  }
  // A longer id shares the stored first 20 bytes, and matches as they do.
  ASSERT_TRUE(later.Add("123456789012345678901234"));
  later.Rewind();
  EXPECT_TRUE(later.Find("12345678901234567890999"));
}

TEST_F(RecordStore, FindStartsAtTheCurrentRecord) {
  ASSERT_TRUE(store_.OpenForSource(folder_, "s"));
  for (const char* id : {"a", "b", "a", "c"}) ASSERT_TRUE(store_.Add(id));
  store_.Rewind();
  const struct {
    const char* id;
    bool found;
    std::uint32_t current_after;
  } steps[] = {
      {"a", true, 0},  {"a", true, 0}, {"b", true, 1},  {"a", true, 2},
      {"b", false, 2}, {"c", true, 3}, {"a", false, 3}, {"zz", false, 3},
  };
  for (const auto& s : steps) {
    EXPECT_EQ(store_.Find(s.id), s.found) << s.id;
    EXPECT_EQ(store_.current_record(), s.current_after) << s.id;
  }
  store_.Rewind();
  EXPECT_EQ(store_.current_record(), 0u);
  EXPECT_TRUE(store_.Find("b"));
}

TEST_F(RecordStore, WithoutAStoreFindIsFalseAndAddDoesNothing) {
  EXPECT_FALSE(store_.Find("1"));
  EXPECT_FALSE(store_.Add("1"));
  store_.Rewind();
  store_.Close();
  EXPECT_FALSE(store_.is_open());
}

TEST_F(RecordStore, TruncatedFilesOpenOnlyWithWholeDescriptorsAndRecords) {
  const std::string full = StoreWith({"1", "22", "333"});
  for (std::size_t cut = 0; cut <= full.size(); ++cut) {
    PlaceStore("cut", full.substr(0, cut));
    DownloadRecordStore store;
    const bool opened = store.OpenFile(StorePath("cut"));
    ASSERT_EQ(opened, cut >= 188) << cut;
    if (!opened) {
      EXPECT_FALSE(store.Find("1"));
      EXPECT_FALSE(store.Add("9"));
      EXPECT_EQ(ReadFileBytes(StorePath("cut")), full.substr(0, cut));
      continue;
    }
    const std::size_t whole = (cut - 188) / 24;
    ASSERT_EQ(store.record_count(), whole) << cut;
    EXPECT_EQ(store.Find("333"), whole == 3) << cut;
    // A new record goes right after the whole records present, and the counts follow it.
    ASSERT_TRUE(store.Add("new")) << cut;
    std::vector<std::string> ids = {"1", "22", "333"};
    ids.resize(whole);
    ids.push_back("new");
    std::string expected = StoreWith(ids);
    // The record number keeps counting from the header's next number (4), whatever was cut off.
    expected.replace(20, 4, Le32(5));
    expected.replace(188 + whole * 24, 4, Le32(4));
    EXPECT_EQ(ReadFileBytes(StorePath("cut")).substr(0, expected.size()), expected) << cut;
  }
}

TEST_F(RecordStore, DamagedHeadersAreRefused) {
  const std::string good = StoreWith({"1", "2"});
  auto with = [&](std::size_t offset, const std::string& bytes) {
    std::string b = good;
    b.replace(offset, bytes.size(), bytes);
    return b;
  };
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"wrong magic", with(0, "XEDB")},
      {"version above", with(4, Le32(0x00010001))},
      {"negative count", with(16, Le32(0xFFFFFFFF))},
      {"next record 0", with(20, Le32(0))},
      {"record size 0", with(24, Le32(0))},
      {"record size huge", with(24, Le32(0x7FFFFFFF))},
      {"record size too small for the field", with(24, Le32(20))},
      {"no fields", with(112, Le32(0))},
      {"more fields than the file holds", with(112, Le32(5000))},
      {"field renamed", with(116, "other_id")},
      {"field not text", with(136, Le32(3))},
  };
  for (const auto& c : cases) {
    PlaceStore("bad", c.bytes);
    log_.clear();
    EXPECT_FALSE(store_.OpenForSource(folder_, "bad")) << c.name;
    EXPECT_TRUE(log_.empty()) << c.name << ": an unreadable store logs nothing";
    EXPECT_FALSE(store_.Find("1")) << c.name;
    EXPECT_FALSE(store_.Add("3")) << c.name;
    EXPECT_EQ(ReadFileBytes(StorePath("bad")), c.bytes) << c.name << ": left untouched";
  }
}

TEST_F(RecordStore, CountOfTwoToThe31MinusOneReadsOnlyTheRecordsPresent) {
  std::string bytes = StoreWith({"1", "2"});
  bytes.replace(16, 4, Le32(0x7FFFFFFF));
  PlaceStore("big", bytes);
  ASSERT_TRUE(store_.OpenForSource(folder_, "big"));
  EXPECT_EQ(store_.record_count(), 2u);
  EXPECT_TRUE(store_.Find("2"));
  ASSERT_TRUE(store_.Add("3"));
  EXPECT_EQ(ReadFileBytes(StorePath("big")), StoreWith({"1", "2", "3"}));
}

TEST_F(RecordStore, NextRecordNumberAtItsLimitAddsNothing) {
  std::string bytes = StoreWith({"1"});
  bytes.replace(20, 4, Le32(0x7FFFFFFF));
  PlaceStore("last", bytes);
  ASSERT_TRUE(store_.OpenForSource(folder_, "last"));
  EXPECT_TRUE(store_.Find("1"));
  EXPECT_FALSE(store_.Add("2"));
  EXPECT_FALSE(store_.Find("2"));
  EXPECT_EQ(ReadFileBytes(StorePath("last")), bytes);
}

TEST_F(RecordStore, CrashBetweenRecordAndCountsLeavesAValidStore) {
  // What a crash after writing the third record and before the counts leaves on disk.
  const std::string crashed = StoreWith({"1", "2"}) + Record(3, "lost");
  PlaceStore("c", crashed);
  ASSERT_TRUE(store_.OpenForSource(folder_, "c"));
  EXPECT_EQ(store_.record_count(), 2u);
  EXPECT_FALSE(store_.Find("lost"));
  ASSERT_TRUE(store_.Add("again"));
  store_.Close();
  EXPECT_EQ(ReadFileBytes(StorePath("c")), StoreWith({"1", "2", "again"}));
}

TEST_F(RecordStore, FullDiskDuringAddKeepsTheCounts) {
  const std::string before = StoreWith({"1", "2"});
  PlaceStore("full", before);
  // Room for ten bytes of the new record only.
  const int status = WithFileSizeLimit(before.size() + 10, [&] {
    DownloadRecordStore store;
    if (!store.OpenForSource(folder_, "full")) return 2;
    return store.Add("3") ? 0 : 1;
  });
  ASSERT_EQ(status, 1);
  const std::string after = ReadFileBytes(StorePath("full"));
  EXPECT_EQ(after.substr(0, before.size()), before) << "counts and records unchanged";
  ASSERT_TRUE(store_.OpenForSource(folder_, "full"));
  EXPECT_EQ(store_.record_count(), 2u);
  EXPECT_FALSE(store_.Find("3"));
  ASSERT_TRUE(store_.Add("3"));
  EXPECT_EQ(ReadFileBytes(StorePath("full")), StoreWith({"1", "2", "3"}));
}

TEST_F(RecordStore, FullDiskDuringCreationLogsFailureAndLeavesNoFile) {
  std::filesystem::create_directories(folder_native_);
  const int status = WithFileSizeLimit(100, [&] {
    std::vector<Text> lines;
    DownloadRecordStore store([&](const Text& line) { lines.push_back(line); });
    const bool opened = store.OpenForSource(folder_, "new");
    if (lines != std::vector<Text>{FailedLine()}) return 3;
    if (store.Find("1") || store.Add("1")) return 4;
    return opened ? 0 : 1;
  });
  EXPECT_EQ(status, 1);
  EXPECT_TRUE(std::filesystem::is_empty(folder_native_)) << "no partial store, no temporary";
}

TEST_F(RecordStore, CreatingAStoreThatAppearedMeanwhileKeepsTheOtherOne) {
  // Another creator (a second program, another thread) finished first and has recorded a photo.
  std::filesystem::create_directories(folder_native_);
  const std::filesystem::path path = folder_native_ / "s.edb";
  WriteFileBytes(path, StoreWith({"111"}));
  EXPECT_TRUE(StoreFile::CreateWhole(path, NewStoreBytes(kDate)));
  EXPECT_EQ(ReadFileBytes(path), StoreWith({"111"}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_native_), {}), 1)
      << "no temporary file is left";
}

TEST_F(RecordStore, ConcurrentFirstOpensAllSeeOneWholeStore) {
  std::vector<std::thread> openers;
  std::atomic<int> opened{0};
  for (int i = 0; i < 8; ++i) {
    openers.emplace_back([&] {
      DownloadRecordStore store;
      if (store.OpenForSource(folder_, "s")) ++opened;
    });
  }
  for (std::thread& opener : openers) opener.join();
  EXPECT_EQ(opened.load(), 8);
  EXPECT_EQ(ReadFileBytes(folder_native_ / "s.edb").size(), NewStoreBytes(kDate).size());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_native_), {}), 1);
}

TEST_F(RecordStore, UnwritableFolderLogsFailure) {
  WriteFileBytes(temp_.path() / "plain", "x");
  const Text blocked = Utf8ToGbk((temp_.path() / "plain" / "防止重复下载数据库").string());
  EXPECT_FALSE(store_.OpenForSource(blocked, "s"));
  EXPECT_EQ(log_, std::vector<Text>{FailedLine()});
  EXPECT_FALSE(store_.Find("1"));
  EXPECT_FALSE(store_.Add("1"));
}

TEST_F(RecordStore, SourceIdThatIsNotAFileNameIsRefused) {
  for (const Text& id : {Text("../x"), Text("a/b"), Text("a\\b"), Text("a\0b", 3)}) {
    log_.clear();
    EXPECT_FALSE(store_.OpenForSource(folder_, id));
    EXPECT_EQ(log_, std::vector<Text>{FailedLine()});
  }
  EXPECT_FALSE(std::filesystem::exists(temp_.path() / "程序" / "x.edb"));
}

TEST_F(RecordStore, EachSourceHasItsOwnStore) {
  // The same album through its owner's page and through its own address: two stores.
  ASSERT_TRUE(store_.OpenForSource(folder_ + "/", "someone"));
  ASSERT_TRUE(store_.Add("100"));
  ASSERT_TRUE(store_.OpenForSource(folder_, "12345"));
  EXPECT_FALSE(store_.Find("100"));
  EXPECT_EQ(log_.size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(StorePath("someone")));
  EXPECT_TRUE(std::filesystem::exists(StorePath("12345")));
  EXPECT_FALSE(store_.OpenForSource("", "12345")) << "no folder, no store in the working folder";
}

TEST_F(RecordStore, FolderInPlaceOfTheStoreIsNotAStore) {
  std::filesystem::create_directories(StorePath("d"));
  EXPECT_FALSE(store_.OpenForSource(folder_, "d"));
  EXPECT_TRUE(log_.empty());
}

TEST_F(RecordStore, StoreLeftOpenByAnEndedBatchOpensAgain) {
  DownloadRecordStore ended({}, [] { return kDate; });
  ASSERT_TRUE(ended.OpenForSource(folder_, "s"));
  ASSERT_TRUE(ended.Add("1"));

  // A later batch opens the same store while the ended one still holds it.
  ASSERT_TRUE(store_.OpenForSource(folder_, "s"));
  EXPECT_TRUE(store_.Find("1"));
  ASSERT_TRUE(store_.Add("2"));
  // Even if the old handle adds once more, it appends after the other's record.
  ASSERT_TRUE(ended.Add("3"));
  ended.Rewind();
  EXPECT_TRUE(ended.Find("2"));
  ASSERT_TRUE(store_.Add("4"));
  EXPECT_EQ(ReadFileBytes(StorePath("s")), StoreWith({"1", "2", "3", "4"}));

  // Opening again on the same object closes the first store.
  ASSERT_TRUE(store_.OpenForSource(folder_, "t"));
  EXPECT_FALSE(store_.Find("1"));
  EXPECT_EQ(log_, std::vector<Text>{CreatedLine()});
}

TEST_F(RecordStore, StoreOfAnotherWriterWithMoreFieldsIsUsedAsItIs) {
  // Two fields, "title" first; records of 4 + 30 + 20 bytes; an older version word.
  std::string bytes(116 + 2 * 72, '\0');
  bytes.replace(0, 4, "WEDB");
  bytes.replace(4, 4, Le32(0x00000100));
  bytes.replace(16, 8, Le32(1) + Le32(8));
  bytes.replace(24, 4, Le32(54));
  bytes.replace(112, 4, Le32(2));
  bytes.replace(116, 5, "title");
  bytes.replace(116 + 20, 12, Le32(10) + Le32(4) + Le32(30));
  bytes.replace(188, 8, "PHOTO_ID");
  bytes.replace(188 + 20, 12, Le32(10) + Le32(34) + Le32(20));
  std::string first(54, '\0');
  first.replace(0, 4, Le32(7));
  first.replace(4, 5, "hello");
  first.replace(34, 3, "555");
  PlaceStore("other", bytes + first);

  ASSERT_TRUE(store_.OpenForSource(folder_, "other"));
  EXPECT_TRUE(store_.Find("555"));
  EXPECT_FALSE(store_.Find("hello"));
  ASSERT_TRUE(store_.Add("666"));
  std::string added(54, '\0');
  added.replace(0, 4, Le32(8));
  added.replace(34, 3, "666");
  std::string expected = bytes + first + added;
  expected.replace(16, 8, Le32(2) + Le32(9));
  EXPECT_EQ(ReadFileBytes(StorePath("other")), expected);
}

}  // namespace
}  // namespace ak
