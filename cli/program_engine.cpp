#include "cli/cli_engine.h"

#include "commands/album_commands.h"
#include "commands/download_commands.h"

namespace ak {

CliEngine ProgramCliEngine() {
  CliEngine engine;
  engine.list = [](CommandContext& context) { GetAlbumsCommand(context); };
  engine.download = [](CommandContext& context) { DownloadSelectedCommand(context); };
  engine.end = [](CommandContext& context) { EndDownloadCommand(context); };
  engine.resume = [](CommandContext& context) { ContinueDownloadCommand(context); };
  engine.failedPhotos = [](CommandContext& context) {
    return context.lastBatch.Get().outcome.failed;
  };
  return engine;
}

}  // namespace ak
