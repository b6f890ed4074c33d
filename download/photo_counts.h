#pragma once

#include "base/types.h"

namespace ak {

// The photos of an album or a batch by what became of them.
struct PhotoCounts {
  int saved = 0;
  // Skipped as recorded (or saved already by this batch).
  int skipped = 0;
  int failed = 0;
  int refused = 0;
};

// The log's summary line: `lead` (GBK) and the counts, e.g. "本相册：保存3张，跳过（已下载过）1张，
// 失败0张，被拒0张", ending in the log's blank line.
Text PhotoCountsLine(const Text& lead, const PhotoCounts& counts);

}  // namespace ak
