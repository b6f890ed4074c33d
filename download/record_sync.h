#pragma once

#include <filesystem>
#include <functional>
#include <future>
#include <vector>

#include "base/types.h"

namespace ak {

// Has saved photos recorded once their pictures are on the disk, without making the download
// wait for the disk: every group of saved photos gets a sync of the file system on a thread of
// its own while the download goes on, and the group is handed to `record` (on the download's
// thread, the store's only user) once that sync has ended, with whether it succeeded. A photo is
// never handed on as synced before the sync that followed its file.
class RecordSync {
 public:
  using Record = std::function<void(const std::vector<Text>& ids, bool synced)>;
  explicit RecordSync(Record record) : record_(std::move(record)) {}
  ~RecordSync();
  RecordSync(const RecordSync&) = delete;
  RecordSync& operator=(const RecordSync&) = delete;

  // The picture of `id` was written (and closed) in `folder`.
  void Saved(const std::filesystem::path& folder, Text id);
  // Waits for the sync under way, syncs the photos saved since, and records them all.
  void Flush();

  // Photos saved between two syncs.
  static constexpr std::size_t kGroup = 64;

 private:
  // Records the group of the sync under way when it has ended (or, with `wait`, once it has).
  void Collect(bool wait);

  Record record_;
  std::filesystem::path folder_;
  std::vector<Text> pending_;
  std::vector<Text> syncing_;
  std::future<bool> sync_;
};

}  // namespace ak
