#include "download/record_store.h"

#include <errno.h>

#include <algorithm>
#include <limits>
#include <system_error>
#include <vector>

#include "base/codec.h"
#include "download/ole_date.h"

namespace ak {

namespace L = store_layout;

namespace {

std::filesystem::path NativePath(const Text& gbk) {
  return std::filesystem::path(GbkToUtf8(gbk.substr(0, gbk.find('\0'))));
}

// A source id names a file inside the folder and nothing else.
bool IsUsableSourceId(const Text& id) {
  return id.find_first_of(std::string_view("/\\\0", 3)) == Text::npos;
}

constexpr std::size_t kReadChunk = 1 << 20;

// The record count and next record number as they go back to the file.
std::string_view CountsAfter(char (&counts)[8], std::size_t count, std::int32_t next) {
  WriteLe32(counts, static_cast<std::uint32_t>(count));
  WriteLe32(counts + 4, static_cast<std::uint32_t>(next));
  return std::string_view(counts, sizeof counts);
}

}  // namespace

DownloadRecordStore::DownloadRecordStore(LogSink log, Clock clock)
    : log_(std::move(log)), clock_(clock ? std::move(clock) : Clock(OleDateNow)) {}

const Text& DownloadRecordStore::FolderName() { return AK_GBK("防止重复下载数据库"); }

Text DownloadRecordStore::FileName(const Text& source_id) { return source_id + ".edb"; }

bool DownloadRecordStore::OpenForSource(const Text& folder, const Text& source_id) {
  Close();
  if (folder.empty() || !IsUsableSourceId(source_id)) {
    if (log_) log_(AK_GBK("防止重复下载数据库创建失败\r\n"));
    return false;
  }
  Text gbk_path = folder;
  if (!gbk_path.empty() && gbk_path.back() != '/') gbk_path += '/';
  gbk_path += FileName(source_id);
  const std::filesystem::path path = NativePath(gbk_path);

  std::error_code ec;
  const auto status = std::filesystem::symlink_status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found) {
    std::error_code folderError;
    std::filesystem::create_directories(NativePath(folder), folderError);
    const bool created = StoreFile::CreateWhole(path, NewStoreBytes(clock_()), &error_);
    if (!created && folderError) error_ = folderError;
    if (log_) {
      log_(created ? AK_GBK("防止重复下载数据库创建成功\r\n")
                   : AK_GBK("防止重复下载数据库创建失败\r\n"));
    }
    if (!created) return false;
  }
  return OpenFile(path);
}

bool DownloadRecordStore::OpenFile(const std::filesystem::path& path) {
  Close();
  errno = 0;
  if (!file_.Open(path)) {
    error_ = std::error_code(errno != 0 ? errno : EINVAL, std::generic_category());
    return false;
  }

  char head[L::kDescriptorsOffset];
  const std::size_t got = file_.ReadAt(0, head, sizeof head);
  std::optional<StoreLayout> layout = ParseStoreHeader(std::string_view(head, got));
  std::optional<std::int32_t> fields;
  if (layout) fields = ParseFieldCount(std::string_view(head, got).substr(L::kFieldCountOffset));
  if (!fields) {
    file_.Close();
    return false;
  }
  std::vector<char> descriptors(static_cast<std::size_t>(*fields) * L::kDescriptorSize);
  const std::size_t read =
      file_.ReadAt(L::kDescriptorsOffset, descriptors.data(), descriptors.size());
  if (!ParseIdField(std::string_view(descriptors.data(), read), *fields, *layout)) {
    file_.Close();
    return false;
  }
  layout_ = *layout;
  index_ = RecordIndex(static_cast<std::size_t>(layout_.id_width));
  // A record count that runs past the end of the file gets the whole records present.
  SyncIndex(static_cast<std::size_t>(layout_.record_count));
  current_ = 0;
  return true;
}

std::size_t DownloadRecordStore::SyncIndex(std::size_t records) {
  if (records < index_.size()) index_.Clear();  // the file was cut back beneath us: start over
  if (records == index_.size()) return records;

  const auto size = static_cast<std::uint64_t>(layout_.record_size);
  const std::uint64_t file_size = file_.Size();
  const std::uint64_t present =
      file_size > layout_.records_start ? (file_size - layout_.records_start) / size : 0;
  const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(records, present));
  if (wanted <= index_.size()) return index_.size();
  index_.Reserve(wanted);

  const std::size_t per_chunk = std::max<std::size_t>(1, kReadChunk / size);
  std::vector<char> chunk(per_chunk * size);
  const auto offset = static_cast<std::size_t>(layout_.id_offset);
  while (index_.size() < wanted) {
    const std::size_t n = std::min(per_chunk, wanted - index_.size());
    const std::uint64_t at = layout_.records_start + index_.size() * size;
    const std::size_t got = file_.ReadAt(at, chunk.data(), n * size) / size;
    index_.AppendRecords(chunk.data(), got, size, offset);
    if (got < n) break;  // the file ended early after all
  }
  return index_.size();
}

void DownloadRecordStore::Rewind() { current_ = 0; }

bool DownloadRecordStore::Find(const Text& photo_id) {
  if (!is_open()) return false;
  StoredId(photo_id, index_.width(), key_);
  const std::uint32_t found = index_.FindFrom(key_, current_);
  if (found == RecordIndex::kNone) return false;
  current_ = found;
  return true;
}

bool DownloadRecordStore::Add(const Text& photo_id) {
  if (!is_open()) return false;
  if (!file_.writable()) {
    error_ = std::make_error_code(std::errc::read_only_file_system);
    return false;
  }

  // The counts as the file has them now: another handle on the same file may have added records.
  char counts[8];
  if (file_.ReadAt(L::kCountsOffset, counts, sizeof counts) != sizeof counts) return false;
  auto count = static_cast<std::int32_t>(ReadLe32(counts));
  auto next = static_cast<std::int32_t>(ReadLe32(counts + 4));
  count = std::max(count, 0);
  next = std::max(next, 1);
  // Position of the new record: after the whole records actually present, so a count that runs
  // past the end of the file leaves no gap of empty records.
  const std::size_t position = SyncIndex(static_cast<std::size_t>(count));
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  // One more record would overflow a count or the record number: the store stays as it is.
  if (position >= static_cast<std::size_t>(kMax) || next == kMax) return false;

  const auto size = static_cast<std::size_t>(layout_.record_size);
  StoredId(photo_id, index_.width(), key_);
  record_.assign(size, '\0');
  WriteLe32(record_.data(), static_cast<std::uint32_t>(next));
  std::copy(key_.begin(), key_.end(), record_.begin() + layout_.id_offset);
  errno = 0;
  if (!file_.WriteAt(layout_.records_start + position * size, record_) ||
      !file_.WriteAt(L::kCountsOffset, CountsAfter(counts, position + 1, next + 1))) {
    error_ = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
    return false;
  }
  index_.Append(key_);
  return true;
}

void DownloadRecordStore::Close() {
  file_.Close();
  index_.Clear();
  current_ = 0;
}

}  // namespace ak
