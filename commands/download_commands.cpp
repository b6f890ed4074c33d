#include "commands/download_commands.h"

#include <chrono>

#include "base/delay.h"
#include "commands/program_dir.h"
#include "download/batch_download.h"

namespace ak {
namespace {

// How long a new batch waits for an ended one to leave: its transfers are abandoned at once,
// so it is normally gone within milliseconds.
constexpr auto kEndedBatchWait = std::chrono::seconds(10);
constexpr auto kEndedBatchPoll = std::chrono::milliseconds(10);

void ShowButtons(Controls& controls, bool download, bool pause, bool resume, bool end) {
  controls.SetVisible(ctl::按钮_下载选中, download);
  controls.SetVisible(ctl::按钮_暂停线程, pause);
  controls.SetVisible(ctl::按钮_继续下载, resume);
  controls.SetVisible(ctl::按钮_结束下载, end);
}

}  // namespace

void DownloadSelectedCommand(CommandContext& ctx, DownloadCommandOptions options) {
  Controls& controls = ctx.controls;
  ShowButtons(controls, false, true, false, true);
  const auto deadline = std::chrono::steady_clock::now() + kEndedBatchWait;
  while (ctx.batch.Running() && std::chrono::steady_clock::now() < deadline) {
    PumpingDelay(kEndedBatchPoll.count());
  }
  BatchOptions batch{ProgramDir(), options.retryWait};
  // The batch's own copy: a listing started meanwhile does not move its albums elsewhere.
  const bool started = ctx.batch.Start([&ctx, batch, source = ctx.source.Get()](WorkerGate& gate) {
    ctx.lastBatchFailedPhotos = RunBatchDownload(ctx.controls, gate, source, batch).failedPhotos;
  });
  // Nothing runs: the window must not stay in the running state.
  if (!started) ShowButtons(controls, true, false, false, false);
}

void PauseDownloadCommand(CommandContext& ctx) {
  Controls& controls = ctx.controls;
  controls.SetVisible(ctl::按钮_下载选中, false);
  controls.SetVisible(ctl::按钮_暂停线程, false);
  controls.SetVisible(ctl::按钮_继续下载, true);
  ctx.batch.Pause();
}

void ContinueDownloadCommand(CommandContext& ctx) {
  Controls& controls = ctx.controls;
  controls.SetVisible(ctl::按钮_下载选中, false);
  controls.SetVisible(ctl::按钮_暂停线程, true);
  controls.SetVisible(ctl::按钮_继续下载, false);
  ctx.batch.Continue();
}

void EndDownloadCommand(CommandContext& ctx) {
  ctx.batch.Stop();
  ShowButtons(ctx.controls, true, false, false, false);
}

}  // namespace ak
