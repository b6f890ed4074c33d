#include "download/photo_counts.h"

#include <string>

#include "base/codec.h"

namespace ak {

Text PhotoCountsLine(const Text& lead, const PhotoCounts& counts) {
  return lead + AK_GBK("保存") + std::to_string(counts.saved) + AK_GBK("张，跳过（已下载过）") +
         std::to_string(counts.skipped) + AK_GBK("张，失败") + std::to_string(counts.failed) +
         AK_GBK("张，被拒") + std::to_string(counts.refused) + AK_GBK("张\r\n\r\n");
}

}  // namespace ak
