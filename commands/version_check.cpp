#include "commands/version_check.h"

#include <utility>

#include "base/codec.h"
#include "base/text_ops.h"

namespace ak {

void CheckForUpdate(Controls& controls, const UpdatePageFetch& fetch, const Text& updateTag) {
  const Text current = controls.Caption(ctl::标签_banben);
  const Text page = fetch ? fetch() : Text();
  const Text latest = TextBetween(page, "#" + updateTag + "@@", "#" + updateTag);
  controls.SetCaption(ctl::标签_zxbanben, latest);
  if (latest == current) {
    controls.SetCaption(ctl::标签_banbenjieguo, AK_GBK("无需更新"));
    return;
  }
  // Worked out in a wider type: the whole numbers may lie at the ends of the int range.
  if (static_cast<long long>(ToInteger(latest)) - ToInteger(current) > 0) {
    controls.SetCaption(ctl::标签_banbenjieguo, AK_GBK("有新版，联系客服获取最新版！"));
    controls.ShowMessage(AK_GBK("有新版本，联系客服索取"));
  }
}

VersionCheckRunner::VersionCheckRunner(Controls& controls, UpdatePageFetch fetch, Text updateTag)
    : controls_(controls), fetch_(std::move(fetch)), updateTag_(std::move(updateTag)) {}

bool VersionCheckRunner::Start() {
  // The check is one fetch and its verdict: it has no safe point of its own to stop at.
  if (!slot_.Start([this](WorkerGate&) { CheckForUpdate(controls_, fetch_, updateTag_); }))
    return false;
  ++started_;
  return true;
}

}  // namespace ak
