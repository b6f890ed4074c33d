#include "base/file_writer.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>

namespace ak {
namespace {

// How many fresh temporary names are tried before giving up; a clash needs another writer that
// picked the very same name, so a second try practically always succeeds.
constexpr unsigned kTemporaryAttempts = 16;
constexpr mode_t kNewFileMode = 0644;
constexpr mode_t kOwnerOnlyMode = 0600;
// The longest file name of the file systems the program writes to, in bytes.
constexpr std::size_t kMaxFileNameBytes = 255;

std::error_code Errno(int value) { return {value, std::generic_category()}; }

bool WriteAll(int fd, std::string_view data, std::error_code& ec) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ec = Errno(errno);
      return false;
    }
    if (n == 0) {  // no progress and no error: treat as a full device rather than spin
      ec = Errno(ENOSPC);
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A name beside `path` that no other writer of this or another process picks: the process id,
// a counter of this process and a clock reading (which separates a process from an earlier
// one that had the same id and left a temporary file behind in a crash).
// A file name as long as the file system allows leaves no room for the suffix: the temporary
// name then keeps only as much of the name as fits (cut before a UTF-8 character).
std::filesystem::path TemporaryName(const std::filesystem::path& path) {
  static std::atomic<unsigned long long> counter{0};
  const auto ticks =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  const std::string suffix = ".tmp" + std::to_string(::getpid()) + "-" +
                             std::to_string(counter.fetch_add(1)) + "-" +
                             std::to_string(ticks % 1'000'000'007ULL);
  std::string name = path.filename().string();
  if (name.size() + suffix.size() > kMaxFileNameBytes) {
    std::size_t keep = kMaxFileNameBytes > suffix.size() ? kMaxFileNameBytes - suffix.size() : 0;
    keep = std::min(keep, name.size());
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    name.resize(keep);
  }
  return path.parent_path() / (name + suffix);
}

// Creates the temporary file, never opening one that exists already.
int CreateTemporary(const std::filesystem::path& path, mode_t mode, std::filesystem::path& tmp,
                    std::error_code& ec) {
  for (unsigned attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    tmp = TemporaryName(path);
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) return fd;
    if (errno != EEXIST) {
      ec = Errno(errno);
      return -1;
    }
  }
  ec = Errno(EAGAIN);
  return -1;
}

void SyncFolderOf(const std::filesystem::path& path) {
  std::filesystem::path dir = path.parent_path();
  if (dir.empty()) dir = ".";
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Gives `tmp` the name `path` only when nothing has that name: link() never replaces. On file
// systems without hard links (FAT, some network shares) a rename that refuses to replace takes
// its place where the system has one. The temporary name is gone afterwards either way.
bool PublishWithoutReplacing(const std::filesystem::path& tmp, const std::filesystem::path& path,
                             std::error_code& ec) {
  if (::link(tmp.c_str(), path.c_str()) == 0) {
    ::unlink(tmp.c_str());
    return true;
  }
  int cause = errno;
#ifdef RENAME_NOREPLACE
  if (cause == EPERM || cause == EOPNOTSUPP || cause == ENOSYS) {
    if (::renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
      return true;
    cause = errno;
  }
#endif
  ec = Errno(cause);
  ::unlink(tmp.c_str());
  return false;
}

bool Write(const std::filesystem::path& path, std::string_view content, Publish publish,
           bool owner_only, Durability durability, std::error_code* error) {
  const bool synced = durability == Durability::kSynced;
  std::error_code ec;
  // A replaced file keeps its permissions; a new one gets the usual ones (less the umask). An
  // owner-only file is created so and stays so, whatever the replaced file allowed.
  bool keep_mode = owner_only;
  mode_t mode = owner_only ? kOwnerOnlyMode : 0;
  struct stat st {};
  if (!owner_only && publish == Publish::kReplace && ::stat(path.c_str(), &st) == 0 &&
      S_ISREG(st.st_mode)) {
    keep_mode = true;
    mode = st.st_mode & 07777;
  }

  std::filesystem::path tmp;
  const int fd = CreateTemporary(path, owner_only ? kOwnerOnlyMode : kNewFileMode, tmp, ec);
  bool ok = fd >= 0;
  if (ok) {
    ok = WriteAll(fd, content, ec);
    if (ok && keep_mode && ::fchmod(fd, mode) != 0) {
      ec = Errno(errno);
      ok = false;
    }
    if (ok && synced && ::fsync(fd) != 0) {
      ec = Errno(errno);
      ok = false;
    }
    if (::close(fd) != 0 && ok) {
      ec = Errno(errno);
      ok = false;
    }
    if (!ok) {
      ::unlink(tmp.c_str());
    } else if (publish == Publish::kReplace) {
      if (::rename(tmp.c_str(), path.c_str()) != 0) {
        ec = Errno(errno);
        ok = false;
        ::unlink(tmp.c_str());
      }
    } else {
      ok = PublishWithoutReplacing(tmp, path, ec);
    }
  }
  if (ok && synced) SyncFolderOf(path);
  if (error != nullptr) *error = ok ? std::error_code() : ec;
  return ok;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view content,
                         Publish publish, std::error_code* error, Durability durability) {
  return Write(path, content, publish, false, durability, error);
}

bool SyncFileSystemOf(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool flushed = ::syncfs(fd) == 0;
  ::close(fd);
  return flushed;
}

bool WriteOwnerOnlyFileAtomically(const std::filesystem::path& path, std::string_view content,
                                  std::error_code* error) {
  return Write(path, content, Publish::kReplace, true, Durability::kSynced, error);
}

}  // namespace ak
