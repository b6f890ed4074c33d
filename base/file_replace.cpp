#include "base/file_replace.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "base/file_writer.h"

namespace ak {

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

bool ReplaceFileContent(const std::filesystem::path& path, std::string_view content) {
  return WriteFileAtomically(path, content, Publish::kReplace);
}

}  // namespace ak
