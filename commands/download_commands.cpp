#include "commands/download_commands.h"

#include <chrono>

#include "base/codec.h"
#include "commands/program_dir.h"
#include "download/batch_buttons.h"
#include "download/batch_download.h"
#include "requests/request_pacer.h"

namespace ak {
namespace {

// The batch's policy, made once here from the context and the window's controls.
BatchPolicy MakeBatchPolicy(CommandContext& ctx, bool recordForced) {
  BatchPolicy policy;
  policy.interval = IntervalRangeOf(ctx.controls.Caption(ctl::编辑框_请求间隔));
  policy.connections = ConnectionCount(ctx.controls.Caption(ctl::编辑框_同时下载));
  policy.refusal.endOnRefusal = ctx.endOnRefusal;
  policy.refusal.onHold = ctx.onRefusalHold;
  policy.recordForced = recordForced;
  return policy;
}

// Starts `body` as the next batch; the idle buttons again when nothing could start. A batch that
// was ended a moment ago may still be on its way out (its transfers are being abandoned): the
// new one then starts on the batch worker right after it, and the window's thread never waits.
void StartBatch(CommandContext& ctx, WorkerSlot::Body body) {
  Controls& controls = ctx.controls;
  ShowRunningButtons(controls);
  // Nothing runs: the window must not stay in the running state.
  if (!ctx.batch.StartAfterEnded(std::move(body))) ShowIdleButtons(controls);
}

void RunAndKeep(CommandContext& ctx, WorkerGate& gate, const Source& source,
                const BatchOptions& options) {
  BatchOutcome outcome = RunBatchDownload(ctx.controls, gate, source, options);
  ctx.lastBatch.Set({true, std::move(outcome), source});
}

void LogNothingToRetry(Controls& controls) {
  controls.AppendLog(AK_GBK("还没有可以重试的下载\r\n\r\n"));
}

}  // namespace

void DownloadSelectedCommand(CommandContext& ctx, DownloadCommandOptions options) {
  // The batch's own copy of the source: a listing started meanwhile does not move its albums
  // elsewhere.
  BatchOptions batch{ProgramDir(), options.retryWait, MakeBatchPolicy(ctx, false)};
  batch.policy.importExisting = options.importExisting;
  for (const AlbumEntry& entry : ctx.listedEntries.Get()) {
    batch.receivedNames.emplace(entry.address, entry.name);
  }
  StartBatch(ctx, [&ctx, batch, source = ctx.source.Get()](WorkerGate& gate) {
    RunAndKeep(ctx, gate, source, batch);
  });
}

void RetryFailedCommand(CommandContext& ctx, DownloadCommandOptions options) {
  // A running batch is left alone; one that was ended and is leaving is followed by the rerun.
  if (ctx.batch.Running() && !ctx.batch.Leaving()) return;
  if (!ctx.batch.Running() && ctx.lastBatch.Get().outcome.jobs.empty()) {
    LogNothingToRetry(ctx.controls);
    return;
  }
  const BatchOptions batch{ProgramDir(), options.retryWait, MakeBatchPolicy(ctx, true)};
  StartBatch(ctx, [&ctx, batch](WorkerGate& gate) {
    // The last batch as it ended, also when it was still leaving as the button was pressed.
    const LastBatch last = ctx.lastBatch.Get();
    if (last.outcome.jobs.empty()) {
      ShowIdleButtons(ctx.controls);
      LogNothingToRetry(ctx.controls);
      return;
    }
    BatchOptions rerun = batch;
    rerun.jobs = last.outcome.jobs;
    RunAndKeep(ctx, gate, last.source, rerun);
  });
}

void PauseDownloadCommand(CommandContext& ctx) {
  ShowHeldButtons(ctx.controls);
  ctx.batch.Pause();
}

void ContinueDownloadCommand(CommandContext& ctx) {
  // A listing held by a refusal sends its refused request again; the buttons go back to what
  // the batch shows (idle when none runs).
  if (ctx.listingHeld.exchange(false)) {
    ctx.listing.Continue();
    if (!ctx.batch.Running()) {
      ShowIdleButtons(ctx.controls);
      return;
    }
  }
  ShowContinuedButtons(ctx.controls);
  ctx.batch.Continue();
}

void EndDownloadCommand(CommandContext& ctx) {
  if (ctx.listingHeld.exchange(false)) ctx.listing.Stop();
  ctx.batch.Stop();
  ShowIdleButtons(ctx.controls);
}

}  // namespace ak
