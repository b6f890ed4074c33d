#include "cli/cli_engine.h"

#include "commands/album_commands.h"
#include "commands/download_commands.h"

namespace ak {
namespace {

// The one place that reads how the last batch ended.
BatchVerdict LastBatchVerdict(CommandContext& context) {
  const BatchOutcome outcome = context.lastBatch.Get().outcome;
  return {outcome.failed,       outcome.endedByRefusal(), outcome.imported,
          outcome.unrecognised, outcome.failedAlbums,     outcome.unrecorded};
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
