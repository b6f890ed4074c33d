#include "base/file_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/full_disk.h"
#include "tests/support/temp_folder.h"

namespace ak {
namespace {

using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WithFileSizeLimit;
using testing::WriteFileBytes;

std::ptrdiff_t Entries(const std::filesystem::path& folder) {
  return std::distance(std::filesystem::directory_iterator(folder), {});
}

// A content large enough to need many write calls, with every byte value in it.
std::string BigContent() {
  std::string content(3 * 1024 * 1024, '\0');
  for (std::size_t i = 0; i < content.size(); ++i)
    content[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return content;
}

TEST(FileWriter, PublishesTheWholeContentUnderEitherRule) {
  for (const Durability durability : {Durability::kSynced, Durability::kLater}) {
    for (const Publish publish : {Publish::kReplace, Publish::kNoReplace}) {
      TempFolder folder;
      const std::filesystem::path path = folder.path() / "file";
      for (const std::string& content : {std::string(), std::string("a\0b\r\n", 5), BigContent()}) {
        std::filesystem::remove(path);
        std::error_code ec = std::make_error_code(std::errc::io_error);
        ASSERT_TRUE(WriteFileAtomically(path, content, publish, &ec, durability));
        EXPECT_FALSE(ec);
        EXPECT_EQ(ReadFileBytes(path), content);
        EXPECT_EQ(Entries(folder.path()), 1) << "the temporary name is gone";
      }
    }
  }
}

TEST(FileWriter, SyncOfAFileSystemNeedsAnExistingFolder) {
  TempFolder folder;
  EXPECT_TRUE(SyncFileSystemOf(folder.path()));
  EXPECT_FALSE(SyncFileSystemOf(folder.path() / "gone"));
  WriteFileBytes(folder.path() / "file", "x");
  EXPECT_FALSE(SyncFileSystemOf(folder.path() / "file")) << "a file is no folder";
}

TEST(FileWriter, ReplaceOverwritesAndKeepsThePermissionsOfTheReplacedFile) {
  TempFolder folder;
  const std::filesystem::path path = folder.path() / "settings.ini";
  WriteFileBytes(path, "old old old");
  ::chmod(path.c_str(), 0604);
  ASSERT_TRUE(WriteFileAtomically(path, "new"));
  EXPECT_EQ(ReadFileBytes(path), "new");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
}

TEST(FileWriter, NewFileGetsUsualPermissionsLessTheUmask) {
  TempFolder folder;
  const mode_t before = ::umask(027);
  const bool written = WriteFileAtomically(folder.path() / "f", "x", Publish::kNoReplace);
  ::umask(before);
  ASSERT_TRUE(written);
  struct stat st {};
  ASSERT_EQ(::stat((folder.path() / "f").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(FileWriter, NoReplaceRefusesAnExistingNameAndLeavesItAlone) {
  TempFolder folder;
  const std::filesystem::path path = folder.path() / "s.edb";
  WriteFileBytes(path, "first");
  std::error_code ec;
  EXPECT_FALSE(WriteFileAtomically(path, "second", Publish::kNoReplace, &ec));
  EXPECT_EQ(ec, std::errc::file_exists);
  EXPECT_EQ(ReadFileBytes(path), "first");
  EXPECT_EQ(Entries(folder.path()), 1) << "no temporary file is left";
}

TEST(FileWriter, MissingFolderFailsWithItsCause) {
  TempFolder folder;
  const std::filesystem::path path = folder.path() / "gone" / "file";
  for (const Publish publish : {Publish::kReplace, Publish::kNoReplace}) {
    std::error_code ec;
    EXPECT_FALSE(WriteFileAtomically(path, "x", publish, &ec));
    EXPECT_EQ(ec, std::errc::no_such_file_or_directory);
    EXPECT_EQ(Entries(folder.path()), 0);
  }
}

TEST(FileWriter, FullDiskKeepsTheOldContentAndLeavesNoTemporary) {
  for (const Publish publish : {Publish::kReplace, Publish::kNoReplace}) {
    TempFolder folder;
    const std::filesystem::path path = folder.path() / "file";
    const std::string old_content(100, 'o');
    if (publish == Publish::kReplace) WriteFileBytes(path, old_content);
    // Room for part of the new content only: the write stops with the disk "full".
    const int status = WithFileSizeLimit(4096, [&] {
      std::error_code ec;
      const bool written = WriteFileAtomically(path, std::string(64 * 1024, 'n'), publish, &ec);
      return written ? 2 : ec == std::errc::file_too_large ? 0 : 1;
    });
    EXPECT_EQ(status, 0) << "the failure is reported with its cause";
    if (publish == Publish::kReplace) {
      EXPECT_EQ(ReadFileBytes(path), old_content);
      EXPECT_EQ(Entries(folder.path()), 1);
    } else {
      EXPECT_EQ(Entries(folder.path()), 0);
    }
  }
}

TEST(FileWriter, ReplacingAFolderFailsAndRemovesTheTemporary) {
  TempFolder folder;
  const std::filesystem::path path = folder.path() / "taken";
  std::filesystem::create_directory(path);
  std::filesystem::create_directory(path / "inside");  // a non-empty folder cannot be renamed over
  std::error_code ec;
  EXPECT_FALSE(WriteFileAtomically(path, "x", Publish::kReplace, &ec));
  EXPECT_TRUE(ec);
  EXPECT_TRUE(std::filesystem::is_directory(path / "inside"));
  EXPECT_EQ(Entries(folder.path()), 1);
}

TEST(FileWriter, ConcurrentNoReplaceCreatorsExactlyOneWins) {
  constexpr int kWriters = 8;
  for (int round = 0; round < 20; ++round) {
    TempFolder folder;
    const std::filesystem::path path = folder.path() / "s.edb";
    std::latch ready(kWriters);
    std::atomic<int> winner{-1};
    std::atomic<int> refused{0};
    std::vector<std::thread> writers;
    for (int i = 0; i < kWriters; ++i) {
      writers.emplace_back([&, i] {
        const std::string content(1000 + i, static_cast<char>('a' + i));
        ready.arrive_and_wait();
        std::error_code ec;
        if (WriteFileAtomically(path, content, Publish::kNoReplace, &ec)) {
          int none = -1;
          EXPECT_TRUE(winner.compare_exchange_strong(none, i)) << "a second winner";
        } else if (ec == std::errc::file_exists) {
          ++refused;
        }
      });
    }
    for (std::thread& writer : writers) writer.join();
    ASSERT_GE(winner.load(), 0);
    EXPECT_EQ(refused.load(), kWriters - 1);
    const int w = winner.load();
    EXPECT_EQ(ReadFileBytes(path), std::string(1000 + w, static_cast<char>('a' + w)));
    EXPECT_EQ(Entries(folder.path()), 1) << "no temporary file is left";
  }
}

TEST(WriteOwnerOnlyFileAtomicallyTest, NewAndReplacedFilesAreOwnerOnly) {
  TempFolder folder;
  const std::filesystem::path fresh = folder.path() / "fresh.txt";
  const std::filesystem::path open = folder.path() / "open.txt";
  WriteFileBytes(open, "old");
  ASSERT_EQ(::chmod(open.c_str(), 0666), 0);
  for (const std::filesystem::path& path : {fresh, open}) {
    SCOPED_TRACE(path.string());
    ASSERT_TRUE(WriteOwnerOnlyFileAtomically(path, "secret"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(ReadFileBytes(path), "secret");
  }
  EXPECT_EQ(Entries(folder.path()), 2);
  // A plain write over the owner-only file keeps it owner-only.
  ASSERT_TRUE(WriteFileAtomically(open, "again"));
  struct stat st {};
  ASSERT_EQ(::stat(open.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  std::error_code error;
  EXPECT_FALSE(WriteOwnerOnlyFileAtomically(folder.path() / "gone" / "x", "s", &error));
  EXPECT_TRUE(error);
}

}  // namespace
}  // namespace ak
