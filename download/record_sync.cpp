#include "download/record_sync.h"

#include <chrono>

#include "base/file_writer.h"

namespace ak {

RecordSync::~RecordSync() {
  // A sync under way must not outlive its group; what it covered is still recorded.
  Collect(true);
}

void RecordSync::Saved(const std::filesystem::path& folder, Text id) {
  folder_ = folder;
  pending_.push_back(std::move(id));
  Collect(false);
  if (pending_.size() < kGroup || sync_.valid()) return;
  // The files of the group are written and closed: a sync begun now covers them all.
  syncing_ = std::move(pending_);
  pending_.clear();
  sync_ = std::async(std::launch::async, [folder = folder_] { return SyncFileSystemOf(folder); });
}

void RecordSync::Flush() {
  Collect(true);
  if (pending_.empty()) return;
  const bool synced = SyncFileSystemOf(folder_);
  record_(pending_, synced);
  pending_.clear();
}

void RecordSync::Collect(bool wait) {
  if (!sync_.valid()) return;
  if (!wait && sync_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
  const bool synced = sync_.get();
  record_(syncing_, synced);
  syncing_.clear();
}

}  // namespace ak
