#include "commands/download_commands.h"

#include <chrono>

#include "base/codec.h"
#include "base/delay.h"
#include "commands/program_dir.h"
#include "download/batch_buttons.h"
#include "download/batch_download.h"
#include "download/request_pacer.h"

namespace ak {
namespace {

// How long a new batch waits for an ended one to leave: its transfers are abandoned at once,
// so it is normally gone within milliseconds.
constexpr auto kEndedBatchWait = std::chrono::seconds(10);
constexpr auto kEndedBatchPoll = std::chrono::milliseconds(10);

// Starts a batch over `batch` with `source`; the idle buttons again when nothing could start.
void StartBatch(CommandContext& ctx, BatchOptions batch, const Source& source) {
  Controls& controls = ctx.controls;
  ShowRunningButtons(controls);
  const auto deadline = std::chrono::steady_clock::now() + kEndedBatchWait;
  while (ctx.batch.Running() && std::chrono::steady_clock::now() < deadline) {
    PumpingDelay(kEndedBatchPoll.count());
  }
  batch.interval =
      std::chrono::milliseconds(IntervalMilliseconds(controls.Caption(ctl::编辑框_请求间隔)));
  batch.endOnRefusal = ctx.endBatchOnRefusal;
  batch.onRefusalHold = ctx.onRefusalHold;
  ctx.lastBatchEndedByRefusal = false;
  const bool started = ctx.batch.Start([&ctx, batch, source](WorkerGate& gate) {
    const BatchOutcome outcome = RunBatchDownload(ctx.controls, gate, source, batch);
    ctx.lastBatchFailedPhotos = outcome.failedPhotos;
    ctx.lastBatchEndedByRefusal = outcome.endedByRefusal;
    std::lock_guard<std::mutex> lock(ctx.lastBatchMutex);
    ctx.lastBatchJobs = outcome.jobs;
    ctx.lastBatchSource = source;
  });
  // Nothing runs: the window must not stay in the running state.
  if (!started) ShowIdleButtons(controls);
}

}  // namespace

void DownloadSelectedCommand(CommandContext& ctx, DownloadCommandOptions options) {
  // The batch's own copy of the source: a listing started meanwhile does not move its albums
  // elsewhere.
  StartBatch(ctx, BatchOptions{ProgramDir(), options.retryWait}, ctx.source.Get());
}

void RetryFailedCommand(CommandContext& ctx, DownloadCommandOptions options) {
  if (ctx.batch.Running()) return;
  BatchOptions batch{ProgramDir(), options.retryWait};
  Source source;
  {
    std::lock_guard<std::mutex> lock(ctx.lastBatchMutex);
    if (ctx.lastBatchJobs.empty()) {
      ctx.controls.AppendLog(AK_GBK("还没有可以重试的下载\r\n\r\n"));
      return;
    }
    batch.jobs = ctx.lastBatchJobs;
    source = ctx.lastBatchSource;
  }
  batch.recordForced = true;
  StartBatch(ctx, std::move(batch), source);
}

void PauseDownloadCommand(CommandContext& ctx) {
  ShowHeldButtons(ctx.controls);
  ctx.batch.Pause();
}

void ContinueDownloadCommand(CommandContext& ctx) {
  ShowContinuedButtons(ctx.controls);
  ctx.batch.Continue();
}

void EndDownloadCommand(CommandContext& ctx) {
  ctx.batch.Stop();
  ShowIdleButtons(ctx.controls);
}

}  // namespace ak
