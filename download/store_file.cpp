#include "download/store_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <string>

namespace ak {

bool StoreFile::Open(const std::filesystem::path& path) {
  Close();
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  bool writable = fd >= 0;
  if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  writable_ = writable;
  return true;
}

void StoreFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  writable_ = false;
}

std::uint64_t StoreFile::Size() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || st.st_size < 0) return 0;
  return static_cast<std::uint64_t>(st.st_size);
}

std::size_t StoreFile::ReadAt(std::uint64_t offset, char* out, std::size_t size) const {
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = ::pread(fd_, out + got, size - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  return got;
}

bool StoreFile::WriteAt(std::uint64_t offset, std::string_view data) const {
  if (!writable_) return false;
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n =
        ::pwrite(fd_, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool StoreFile::CreateWhole(const std::filesystem::path& path, std::string_view content) {
  // A temporary name of this call alone: two threads or programs creating the same store at
  // once never write into one temporary file.
  static std::atomic<unsigned> calls{0};
  std::filesystem::path tmp = path;
  tmp += ".new" + std::to_string(::getpid()) + "-" + std::to_string(calls.fetch_add(1));
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = true;
  std::string_view rest = content;
  while (ok && !rest.empty()) {
    const ssize_t n = ::write(fd, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      ok = false;
    else
      rest.remove_prefix(static_cast<std::size_t>(n));
  }
  if (ok) ok = ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  // link() never replaces: when another creator got there first, its store (and whatever it
  // has recorded since) stays, and this call counts as done since a whole store is in place.
  // Folders without hard links (FAT, some network shares) fall back to a rename.
  if (ok && ::link(tmp.c_str(), path.c_str()) != 0) {
    if (errno == EPERM || errno == EOPNOTSUPP || errno == ENOSYS) {
      ok = ::rename(tmp.c_str(), path.c_str()) == 0;
    } else {
      ok = errno == EEXIST;
    }
  }
  ::unlink(tmp.c_str());
  return ok;
}

}  // namespace ak
