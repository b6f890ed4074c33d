#pragma once

#include <atomic>
#include <functional>

#include "base/types.h"
#include "base/worker_slot.h"
#include "controls/controls.h"

namespace ak {

// Fetches the update page (GET) and gives its body; empty when the fetch fails.
using UpdatePageFetch = std::function<Bytes()>;

// Compares the version in `标签_banben` with the one the update page announces between
// "#" + tag + "@@" and "#" + tag: shows the latest version in `标签_zxbanben`; "无需更新" when
// both texts are equal; when the latest is higher by whole numbers, the verdict
// "有新版，联系客服获取最新版！" and a message box. Otherwise the verdict stays as it was.
void CheckForUpdate(Controls& controls, const UpdatePageFetch& fetch, const Text& updateTag);

// Runs the version check on a worker of its own slot, one at a time: a start while a check runs
// does nothing. The results reach the window through the controls. The destructor waits for a
// running check.
class VersionCheckRunner {
 public:
  VersionCheckRunner(Controls& controls, UpdatePageFetch fetch, Text updateTag);
  ~VersionCheckRunner() = default;
  VersionCheckRunner(const VersionCheckRunner&) = delete;
  VersionCheckRunner& operator=(const VersionCheckRunner&) = delete;
  // False when a check is already running (or no thread could be started).
  bool Start();
  // True from a successful Start() until the check has written its results.
  bool Running() const { return slot_.Running(); }
  // Number of checks started so far.
  int Started() const { return started_; }

 private:
  Controls& controls_;
  const UpdatePageFetch fetch_;
  const Text updateTag_;
  std::atomic<int> started_{0};
  // Last, so it is destroyed first: it waits for a running check while everything the check
  // uses still exists.
  WorkerSlot slot_;
};

}  // namespace ak
