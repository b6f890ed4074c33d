#include "download/batch_download.h"

#include <vector>

#include "albums/album_list.h"
#include "base/codec.h"
#include "base/text_ops.h"
#include "download/album_by_api.h"
#include "download/album_by_pages.h"
#include "download/album_job.h"
#include "download/batch_buttons.h"
#include "download/photo_counts.h"
#include "requests/request_pacer.h"

namespace ak {
namespace {

// The queued jobs of the ticked rows, in list order, and the selection line's numbers.
std::vector<Text> CollectJobs(Controls& controls, Text& report) {
  std::vector<Text> jobs;
  const int rows = controls.RowCount();
  for (int row = 0; row < rows; ++row) {
    if (!controls.RowChecked(row)) continue;
    report += controls.Cell(row, kColumnNumber) + AK_GBK("、");
    const Text address = controls.Cell(row, kColumnAddress);
    const Text name = Trim(controls.Cell(row, kColumnName));
    if (!address.empty()) jobs.push_back(JoinAlbumJob({"0", address, name}));
  }
  return jobs;
}

}  // namespace

BatchOutcome RunBatchDownload(Controls& controls, WorkerGate& gate, Source source,
                              const BatchOptions& options) {
  std::vector<Text> jobs;
  if (options.jobs) {
    jobs = *options.jobs;
    controls.AppendLog(AK_GBK("重新下载上次没有下载成功的照片（已下载过的不再下载）\r\n\r\n"));
  } else {
    controls.AppendLog(AK_GBK("正在统计已选中的相册...\r\n"));
    Text report;
    jobs = CollectJobs(controls, report);
    controls.AppendLog(report.empty() ? AK_GBK("当前未选择任何相册") + "\r\n\r\n"
                                      : AK_GBK("当前被选择相册编号:") + report + "\r\n\r\n");
  }
  controls.SetCaption(ctl::标签_选择了相册数量,
                      AK_GBK("总共需下载[") + std::to_string(jobs.size()) + AK_GBK("]个相册"));

  RequestPacer pacer(options.policy.interval);
  const AlbumDownloadEnv env{controls,          gate,           source, options.programDir,
                             options.retryWait, options.policy, &pacer, &options.receivedNames};
  BatchTally tally;
  auto outcome = [&tally, &jobs](BatchEnd end) {
    BatchOutcome made;
    made.saved = tally.savedPhotos;
    made.skipped = tally.skippedPhotos;
    made.failed = tally.failedPhotos;
    made.refused = tally.refusedPhotos;
    made.unrecorded = tally.unrecordedPhotos;
    made.failedAlbums = tally.failedAlbums;
    made.imported = tally.importedPhotos;
    made.unrecognised = tally.unrecognisedFiles;
    made.end = end;
    made.jobs = jobs;
    return made;
  };
  auto ended = [&] {
    return outcome(tally.endedByRefusal ? BatchEnd::kEndedByRefusal : BatchEnd::kEndedByUser);
  };
  for (std::size_t k = 0; k < jobs.size(); ++k) {
    if (!gate.Checkpoint()) return ended();
    controls.SetCaption(ctl::标签_正在下载相册,
                        AK_GBK("下载到第[") + std::to_string(k + 1) + AK_GBK("]个相册"));
    AlbumJob job = SplitAlbumJob(jobs[k]);
    const bool goOn = controls.Checked(ctl::选择框_浏览模式) ? DownloadAlbumByPages(env, tally, job)
                                                             : DownloadAlbumByApi(env, tally, job);
    if (!goOn) return ended();
  }

  if (!gate.Checkpoint()) return ended();
  ShowIdleButtons(controls);
  controls.AppendLog(PhotoCountsLine(
      AK_GBK("本次下载："),
      {tally.savedPhotos, tally.skippedPhotos, tally.failedPhotos, tally.refusedPhotos}));
  controls.AppendLog(AK_GBK("-------全部下载完毕--------\r\n\r\n"));
  controls.SetCaption(ctl::标签_第多少张照片, AK_GBK("下载完成"));
  controls.SetProgressPosition(ctl::进度条1, controls.ProgressMaximum(ctl::进度条1));
  controls.SetCaption(ctl::标签_进度条比例, "100%");
  controls.ShowMessageAndWait(AK_GBK("全部下载完毕"));
  return outcome(BatchEnd::kCompleted);
}

}  // namespace ak
