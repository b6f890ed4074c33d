#pragma once

#include <filesystem>
#include <future>
#include <vector>

#include "base/types.h"
#include "download/record_store.h"

namespace ak {

// Records saved photos once their pictures are on the disk, without making the download wait
// for the disk: every group of saved photos gets a sync of the file system on a thread of its
// own while the download goes on, and the group is recorded (on the download's thread, the
// store's only user) once that sync has succeeded. A photo is never recorded before the sync
// that followed its file; a failed sync leaves its group unrecorded, to be fetched again by a
// later run.
class RecordSync {
 public:
  explicit RecordSync(DownloadRecordStore& store) : store_(store) {}
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
  void Record(const std::vector<Text>& ids);

  DownloadRecordStore& store_;
  std::filesystem::path folder_;
  std::vector<Text> pending_;
  std::vector<Text> syncing_;
  std::future<bool> sync_;
};

}  // namespace ak
