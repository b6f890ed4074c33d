#include "base/file_replace.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <string>

namespace ak {
namespace {

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A name beside `path` that no other writer of this or another process picks.
std::filesystem::path TemporaryBeside(const std::filesystem::path& path, unsigned attempt) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path tmp = path;
  tmp += ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + "_" +
         std::to_string(attempt);
  return tmp;
}

void SyncFolderOf(const std::filesystem::path& path) {
  std::filesystem::path dir = path.parent_path();
  if (dir.empty()) dir = ".";
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

FileReadResult ReadWholeFile(const std::filesystem::path& path, std::size_t max_bytes) {
  FileReadResult result;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    result.status = errno == ENOENT ? FileReadStatus::kMissing : FileReadStatus::kFailed;
    return result;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<unsigned long long>(st.st_size) > max_bytes) {
    ::close(fd);
    return result;
  }
  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t got = 0;
  bool ok = true;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (!ok) return result;
  bytes.resize(got);  // the file shrank meanwhile: what was there is the content
  result.status = FileReadStatus::kRead;
  result.bytes = std::move(bytes);
  return result;
}

bool IsReplaceable(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISREG(st.st_mode)) return false;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  return ::access(path.c_str(), W_OK) == 0;
}

namespace {

bool Replace(const std::filesystem::path& path, std::string_view content, bool owner_only) {
  // Keep the permissions of the file being replaced; a new file gets the usual ones. An
  // owner-only file is owner-only from its first byte on, whatever was there before.
  mode_t mode = owner_only ? 0600 : 0666;
  bool keep_mode = owner_only;
  struct stat st {};
  if (!owner_only && ::stat(path.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
    keep_mode = true;
  }
  std::filesystem::path tmp;
  int fd = -1;
  for (unsigned attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    tmp = TemporaryBeside(path, attempt);
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, owner_only ? 0600 : 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  bool ok = WriteAll(fd, content);
  if (ok && keep_mode) ok = ::fchmod(fd, mode) == 0;
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(tmp.c_str());
    return false;
  }
  SyncFolderOf(path);
  return true;
}

}  // namespace

bool ReplaceFileContent(const std::filesystem::path& path, std::string_view content) {
  return Replace(path, content, false);
}

bool ReplaceOwnerOnlyFileContent(const std::filesystem::path& path, std::string_view content) {
  return Replace(path, content, true);
}

}  // namespace ak
