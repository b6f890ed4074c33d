// Opens whatever bytes the fuzzer makes as a record store file, then looks ids up and adds some.
// A file that opens must stay a store that opens again with the added records.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "download/record_store.h"

namespace {

const std::filesystem::path& StorePath() {
  static const std::filesystem::path path = [] {
    const char* shm = "/dev/shm";
    std::string pattern =
        std::string(std::filesystem::is_directory(shm) ? shm : "/tmp") + "/ak_fuzz_store_XXXXXX";
    return std::filesystem::path(mkdtemp(pattern.data())) / "source.edb";
  }();
  return path;
}

void WriteFile(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) abort();
  if (size != 0 && std::fwrite(data, 1, size, f) != size) abort();
  std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path& path = StorePath();
  WriteFile(path, data, size);

  ak::DownloadRecordStore store;
  if (!store.OpenFile(path)) return 0;
  const std::size_t before = store.record_count();
  // Records present can never outnumber what the file holds after the smallest header.
  if (before > size / 5) abort();

  store.Rewind();
  store.Find("1");
  store.Find(std::string(reinterpret_cast<const char*>(data), size < 24 ? size : 24));
  const bool added = store.Add("123456789");
  store.Rewind();
  if (added && !store.Find("123456789")) abort();
  store.Close();

  ak::DownloadRecordStore again;
  if (!again.OpenFile(path)) abort();  // an add never spoils a store
  if (added && again.record_count() != before + 1) abort();
  if (added && !again.Find("123456789")) abort();
  return 0;
}
