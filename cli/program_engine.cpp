#include "cli/cli_engine.h"

#include "commands/album_commands.h"
#include "commands/download_commands.h"

namespace ak {
namespace {

// The one place that reads how the last batch ended.
BatchVerdict LastBatchVerdict(CommandContext& context) {
  const BatchOutcome outcome = context.lastBatch.Get().outcome;
  // An album that failed as a whole (the API refused it) failed photos nobody could count.
  return {outcome.failed > 0 ? outcome.failed : outcome.failedAlbums, outcome.endedByRefusal()};
}

}  // namespace

CliEngine ProgramCliEngine() {
  CliEngine engine;
  engine.list = GetAlbumsCommand;
  engine.awaitListing = AwaitListing;
  engine.download = [](CommandContext& context) { DownloadSelectedCommand(context); };
  engine.end = EndDownloadCommand;
  engine.resume = ContinueDownloadCommand;
  engine.batchVerdict = LastBatchVerdict;
  return engine;
}

}  // namespace ak
