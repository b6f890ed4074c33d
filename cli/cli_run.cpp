#include "cli/cli_run.h"

#include <atomic>
#include <memory>
#include <mutex>

#include "base/codec.h"
#include "cli/album_selection.h"
#include "cli/argument_parser.h"
#include "cli/enter_watch.h"
#include "cli/interrupt_watch.h"
#include "cli/option_controls.h"
#include "cli/terminal_view.h"
#include "commands/program_dir.h"
#include "net/cookie_file.h"
#include "net/service_config.h"

namespace ak {
namespace {

// Album list columns the command line reads.
constexpr int kNumberColumn = 1;
constexpr int kNameColumn = 2;
constexpr int kAddressColumn = 5;

// Loads the cookie file named on the command line, or the program's own one when there is one.
// False when the run cannot go on (a named file missing or unusable).
bool LoadCookies(const CliRequest& request, CliStreams& streams) {
  const bool named = request.cookies.has_value();
  const std::string path =
      named ? *request.cookies : GbkToUtf8(ProgramDir()) + "/" + std::string(kCookieFileName);
  const CookieFileContent content = LoadCookieFile(path, SharedCookieJar(), ServiceCookieDomain());
  if (content.status == CookieFileStatus::kMissing) {
    if (named) streams.err << "albumkeeper: --cookies: no file " << path << "\n";
    return !named;
  }
  const std::string report = GbkToUtf8(CookieFileReport(content, Utf8ToGbk(path)));
  if (content.status != CookieFileStatus::kLoaded) {
    streams.err << "albumkeeper: " << report << "\n";
    // The program's own file may be broken by hand: the run goes on without a sign-in.
    return !named;
  }
  if (streams.errIsTerminal) streams.err << report << "\n";
  return true;
}

bool AddressRefused(const TerminalView& view) {
  for (const Text& message : view.Messages()) {
    if (message == AK_GBK("请输入网址") || message == AK_GBK("网址格式不符")) return true;
  }
  return false;
}

void PrintRows(const Controls& controls, std::ostream& out) {
  for (int row = 0; row < controls.RowCount(); ++row) {
    out << GbkToUtf8(controls.Cell(row, kNumberColumn)) << '\t'
        << GbkToUtf8(controls.Cell(row, kNameColumn)) << '\t'
        << GbkToUtf8(controls.Cell(row, kAddressColumn)) << '\n';
  }
  out.flush();
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, const CliEngine& engine,
                   CliStreams streams) {
  const ParsedArguments parsed = ParseArguments(args);
  streams.out << parsed.out;
  streams.err << parsed.err;
  streams.out.flush();
  if (!parsed.request) return parsed.exitStatus;
  return RunRequest(*parsed.request, engine, streams);
}

int RunRequest(const CliRequest& request, const CliEngine& engine, CliStreams streams) {
  const bool listing = request.command == CliCommand::kList;
  if (!engine.list || (!listing && !engine.download)) {
    streams.err << "albumkeeper: this build cannot "
                << (listing ? "list albums" : "download albums") << " yet\n";
    return kExitPhotosFailed;
  }
  SelectionParse selection;
  if (request.albums) {
    selection = ParseAlbumSelection(*request.albums);
    if (!selection.error.empty()) {
      streams.err << "albumkeeper: --albums: " << selection.error << "\n" << UsageText();
      return kExitUsage;
    }
  }
  if (const std::string refused = FolderGbkCannotHold(request, ProgramDirNative());
      !refused.empty()) {
    streams.err << "albumkeeper: " << refused << "\n";
    return kExitUsage;
  }
  if (!LoadCookies(request, streams)) return kExitUsage;

  Controls controls(GbkToUtf8(WebHost()));
  CommandContext context(controls);
  // The rows of a listing own standard output; its log goes to standard error then.
  std::ostream& log = listing ? streams.err : streams.out;
  auto view =
      std::make_shared<TerminalView>(controls, log, streams.errIsTerminal ? &streams.err : nullptr);
  controls.Attach(view);
  LoadStartupControls(controls, ProgramDir());
  ApplyRequest(controls, request);
  if (!listing) EnsureRecordFolder(ProgramDir());

  // A refusal of the service holds the batch, as the window does, until Enter (continue) or
  // Ctrl-C (end); with --no-wait it ends the batch.
  std::atomic<bool> held{false};
  std::mutex errMutex;
  context.endOnRefusal = request.noWait;
  context.onRefusalHold = [&] {
    held = true;
    std::lock_guard<std::mutex> lock(errMutex);
    if (view) view->Finish();
    streams.err << "albumkeeper: the service refuses the requests (too frequent, or a sign-in "
                   "is needed); the download holds. Sign in (cookies.txt) or wait, then press "
                   "Enter to send the refused request again; Ctrl-C ends the download.\n";
    streams.err.flush();
  };

  int status = kExitOk;
  {
    // The end command is for a running batch only, and once; a listing just stops where it is.
    std::atomic<bool> ended{false};
    auto end = [&] {
      context.listing.Stop();
      if (!context.batch.Running() || ended.exchange(true)) return;
      if (engine.end) {
        engine.end(context);
      } else {
        context.batch.Stop();
      }
    };
    InterruptWatch watch(end);
    engine.list(context);
    context.listing.Wait();
    if (watch.Interrupted()) {
      status = kExitInterrupted;
    } else if (AddressRefused(*view)) {
      streams.err << UsageText();
      status = kExitUsage;
    } else if (listing) {
      view->Finish();
      PrintRows(controls, streams.out);
    } else if (controls.RowCount() == 0) {
      view->Finish();
      streams.err << "albumkeeper: no album to download\n";
      status = kExitPhotosFailed;
    } else {
      std::string error;
      std::vector<int> rows;
      if (request.albums) {
        rows = SelectedRows(selection.ranges, controls.RowCount(), error);
      } else {
        for (int row = 0; row < controls.RowCount(); ++row) rows.push_back(row);
      }
      if (!error.empty()) {
        view->Finish();
        streams.err << "albumkeeper: --albums: " << error << "\n";
        status = kExitUsage;
      } else {
        for (int row = 0; row < controls.RowCount(); ++row) controls.SetRowChecked(row, false);
        for (const int row : rows) controls.SetRowChecked(row, true);
        if (!watch.Interrupted()) {
          EnterWatch enter(request.noWait || !engine.resume ? -1 : streams.in, [&] {
            if (held.exchange(false)) engine.resume(context);
          });
          engine.download(context);
          // A Ctrl-C that came while the batch was starting found nothing to end yet.
          if (watch.Interrupted()) end();
          context.batch.Wait();
        }
        if (watch.Interrupted()) {
          status = kExitInterrupted;
        } else if (context.lastBatch.Get().outcome.endedByRefusal()) {
          view->Finish();
          streams.err << "albumkeeper: the service refused the requests (too frequent, or a "
                         "sign-in is needed); the download ended (--no-wait)\n";
          status = kExitPhotosFailed;
        } else if (engine.failedPhotos && engine.failedPhotos(context) > 0) {
          status = kExitPhotosFailed;
        }
      }
    }
  }
  view->Finish();
  controls.Detach();
  streams.out.flush();
  streams.err.flush();
  return status;
}

}  // namespace ak
