#include "cli/cli_engine.h"

#include "base/codec.h"
#include "commands/album_commands.h"
#include "commands/download_commands.h"
#include "download/photo_counts.h"

namespace ak {
namespace {

Text TrimLineEnds(Text line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  return line;
}

// The one place that reads how the last batch ended.
BatchVerdict LastBatchVerdict(CommandContext& context) {
  const BatchOutcome outcome = context.lastBatch.Get().outcome;
  const Text line = PhotoCountsLine(
      AK_GBK("本次下载："), {outcome.saved, outcome.skipped, outcome.failed, outcome.refused});
  return {outcome.failed,
          outcome.endedByRefusal(),
          outcome.imported,
          outcome.unrecognised,
          outcome.failedAlbums,
          outcome.unrecorded,
          GbkToUtf8(TrimLineEnds(line))};
}

}  // namespace

CliEngine ProgramCliEngine() {
  CliEngine engine;
  engine.list = GetAlbumsCommand;
  engine.awaitListing = AwaitListing;
  engine.download = [](CommandContext& context) { DownloadSelectedCommand(context); };
  engine.importPictures = [](CommandContext& context) {
    DownloadCommandOptions options;
    options.importExisting = true;
    DownloadSelectedCommand(context, options);
  };
  engine.end = EndDownloadCommand;
  engine.resume = ContinueDownloadCommand;
  engine.batchVerdict = LastBatchVerdict;
  return engine;
}

}  // namespace ak
