#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <system_error>

#include "base/types.h"
#include "download/record_index.h"
#include "download/record_store_layout.h"
#include "download/store_file.h"

namespace ak {

// The record of photos already downloaded from one source: one store file per source id, with
// one 20-byte text field `photo_id` per record. The album downloaders open it at the start of an
// album, look each photo up, add the ones they fetched and close it at the end.
//
// The index on `photo_id` lives in memory and is rebuilt from the records at every open; lookups
// never scan the records. Failures are silent: with no store open every Find is false and every
// Add does nothing, so an album is downloaded whole and nothing is recorded.
class DownloadRecordStore {
 public:
  // Receives the lines for the log box (GBK, each ending in "\r\n").
  using LogSink = std::function<void(const Text&)>;
  // The date and time to stamp into a new store, as an OLE date.
  using Clock = std::function<double()>;

  explicit DownloadRecordStore(LogSink log = {}, Clock clock = {});
  DownloadRecordStore(const DownloadRecordStore&) = delete;
  DownloadRecordStore& operator=(const DownloadRecordStore&) = delete;

  // Name of the folder beside the program that holds the stores: "防止重复下载数据库".
  static const Text& FolderName();

  // The file name of a source's store: the source id + ".edb".
  static Text FileName(const Text& source_id);

  // Opens the store of `source_id` in `folder` (GBK; the caller forms ProgramDir +
  // "/防止重复下载数据库"). When no store exists yet, creates the folder with every missing level
  // and a new empty store, and logs "防止重复下载数据库创建成功\r\n" or
  // "防止重复下载数据库创建失败\r\n". A store already open is closed first. True when a store
  // is open afterwards.
  bool OpenForSource(const Text& folder, const Text& source_id);

  // Opens an existing store file; no creation, no log line. False (and no store) when the file
  // is missing or is not a store.
  bool OpenFile(const std::filesystem::path& path);

  // Makes the first record the current one.
  void Rewind();

  // Looks `photo_id` up from the current record onwards. When a record holds it, that record
  // becomes the current one and the result is true; otherwise nothing changes.
  bool Find(const Text& photo_id);

  // Appends a record holding `photo_id` and enters it into the index: the record is written
  // first and the counts after it, so a crash in between leaves a valid store that has simply
  // not gained the record. False when nothing was added (no store, read-only file, counts at
  // their limit, failed write).
  bool Add(const Text& photo_id);

  // Closes the store and drops its index.
  void Close();

  bool is_open() const { return file_.is_open(); }
  // Records this store knows (read at open, plus its own adds).
  std::size_t record_count() const { return index_.size(); }
  // Position (0-based) of the current record.
  std::uint32_t current_record() const { return current_; }
  // Why the last open or add failed (empty when the system gave no reason).
  const std::error_code& last_error() const { return error_; }

 private:
  // Brings the index up to `records` records of the file (another handle on the same file may
  // have added some); returns how many whole records the index now holds.
  std::size_t SyncIndex(std::size_t records);

  LogSink log_;
  Clock clock_;
  StoreFile file_;
  StoreLayout layout_;
  RecordIndex index_;
  std::uint32_t current_ = 0;
  std::error_code error_;
  Bytes key_;     // the id being looked up or added, as the field holds it
  Bytes record_;  // the record being written
};

}  // namespace ak
