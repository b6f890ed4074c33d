#include "cli/cli_engine.h"

namespace ak {

CliEngine ProgramCliEngine() {
  CliEngine engine;
  engine.end = [](CommandContext& context) { context.batch.Stop(); };
  // The album listing and the download batch join here once their commands exist:
  //   engine.list = [](CommandContext& c) { GetAlbumsCommand(c); };
  //   engine.download = [](CommandContext& c) { DownloadSelectedCommand(c); };
  return engine;
}

}  // namespace ak
