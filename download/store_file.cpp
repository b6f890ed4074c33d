#include "download/store_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

#include "base/file_writer.h"

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

bool StoreFile::CreateWhole(const std::filesystem::path& path, std::string_view content,
                            std::error_code* error) {
  std::error_code ec;
  if (WriteFileAtomically(path, content, Publish::kNoReplace, &ec)) return true;
  // Another creator got there first: its store (and whatever it has recorded since) stays, and
  // this call counts as done since a whole store is in place.
  if (ec == std::errc::file_exists) return true;
  if (error) *error = ec;
  return false;
}

}  // namespace ak
