#pragma once

#include <chrono>

#include "commands/command_context.h"

namespace ak {

struct DownloadCommandOptions {
  // The wait after an empty page answer before the next attempt (tests shorten it).
  std::chrono::milliseconds retryWait{2000};
  // Fetch no picture: record the photos whose whole pictures are already in the album folders
  // under the save folder (the command line's import).
  bool importExisting = false;
};

// `按钮_下载选中`: shows the running state's buttons (pause and end) and starts the batch on the
// context's batch worker with a copy of the current source. A batch that was ended a moment ago
// and is still on its way out is followed by the new one on the batch worker; the caller never
// waits. The batch's policy (interval, refusal handling, forced record) is made here, once.
void DownloadSelectedCommand(CommandContext& ctx, DownloadCommandOptions options = {});

// `按钮_重试失败`: runs the last batch's albums again with the record box ticked for that run
// only, so only the photos the record store does not know (the ones that failed) are fetched.
// Does nothing while a batch runs (one that was ended and is leaving is followed by the rerun);
// logs a line when no batch ran yet.
void RetryFailedCommand(CommandContext& ctx, DownloadCommandOptions options = {});

// `按钮_暂停线程`: shows continue and end; the batch holds at its next safe point, saving nothing.
void PauseDownloadCommand(CommandContext& ctx);

// `按钮_继续下载`: shows pause and end; a held batch goes on where it was held. A listing held
// by a refusal sends the refused request again (the buttons then show what the batch shows,
// idle when none runs).
void ContinueDownloadCommand(CommandContext& ctx);

// `按钮_结束下载`: ends the batch for good (a transfer in flight is abandoned, a retry wait cut
// short, nothing more saved or shown) and shows the download button alone. A listing held by a
// refusal ends too.
void EndDownloadCommand(CommandContext& ctx);

}  // namespace ak
