#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace ak {

// A store file opened for positioned reads and writes. Opening takes no lock: a store left open
// by an ended batch does not keep a later one from opening the same file.
class StoreFile {
 public:
  StoreFile() = default;
  ~StoreFile() { Close(); }
  StoreFile(const StoreFile&) = delete;
  StoreFile& operator=(const StoreFile&) = delete;

  // Opens an existing regular file for reading and writing, or for reading only when writing is
  // not allowed.
  bool Open(const std::filesystem::path& path);
  void Close();
  bool is_open() const { return fd_ >= 0; }
  bool writable() const { return writable_; }

  // Size in bytes; 0 when it cannot be told.
  std::uint64_t Size() const;
  // Reads up to `size` bytes at `offset`; returns how many were read (fewer at the end of file
  // or on an error).
  std::size_t ReadAt(std::uint64_t offset, char* out, std::size_t size) const;
  // Writes all of `data` at `offset`; false if any of it could not be written.
  bool WriteAt(std::uint64_t offset, std::string_view data) const;

  // Creates a file holding `content` at `path` as one step (WriteFileAtomically, never
  // replacing), so no crash leaves a partial store under the name. True as well when another
  // creator's store took the name first: that store stays as it is.
  // `error`, when given, receives why the creation failed.
  static bool CreateWhole(const std::filesystem::path& path, std::string_view content,
                          std::error_code* error = nullptr);

 private:
  int fd_ = -1;
  bool writable_ = false;
};

}  // namespace ak
