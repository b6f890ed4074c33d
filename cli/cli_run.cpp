#include "cli/cli_run.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

#include <filesystem>
#include <system_error>

#include "albums/address_kind.h"
#include "base/codec.h"
#include "base/text_ops.h"
#include "cli/album_selection.h"
#include "cli/argument_parser.h"
#include "cli/cli_input.h"
#include "cli/enter_watch.h"
#include "cli/interrupt_watch.h"
#include "cli/list_json.h"
#include "cli/option_controls.h"
#include "cli/terminal_view.h"
#include "commands/program_dir.h"
#include "net/cookie_file.h"
#include "net/service_config.h"

namespace ak {
namespace {

// A step that ends the run gives its exit status; one that lets it go on gives nothing.
using Step = std::optional<int>;

// What is told when the work (the "download" or the "listing") holds after a refusal.
std::string HoldNotice(const char* work) {
  return std::string(
             "albumkeeper: the service refuses the requests (too frequent, or a sign-in "
             "is needed); the ") +
         work +
         " holds. Sign in (cookies.txt) or wait, then press Enter to send the refused request "
         "again; Ctrl-C ends the " +
         work + ".\n";
}
constexpr const char* kRefusedListing =
    "albumkeeper: the service refused the requests (too frequent, or a sign-in is needed); the "
    "listing ended\n";
constexpr const char* kRefusedBatch =
    "albumkeeper: the service refused the requests (too frequent, or a sign-in is needed); the "
    "download ended (--no-wait)\n";

// One run of a parsed request, step by step: prepare, sign in, list, select, download, and the
// exit status of what happened.
class CliRun {
 public:
  CliRun(const CliRequest& request, const CliEngine& engine, CliStreams streams)
      : request_(request), engine_(engine), streams_(streams) {}

  int Run() {
    Step status = Prepare();
    if (!status) status = SignIn();
    if (!status) status = Drive();
    Close();
    return *status;
  }

 private:
  bool Listing() const { return request_.command == CliCommand::kList; }
  bool Importing() const { return request_.command == CliCommand::kImport; }
  const std::function<void(CommandContext&)>& BatchCommand() const {
    return Importing() ? engine_.importPictures : engine_.download;
  }

  // What can be refused before anything is shown or fetched.
  Step Prepare() {
    if (!engine_.list || (!Listing() && !BatchCommand())) {
      streams_.err << "albumkeeper: this build cannot "
                   << (Listing()     ? "list albums"
                       : Importing() ? "import"
                                     : "download albums")
                   << " yet\n";
      return kExitPhotosFailed;
    }
    std::error_code code;
    if (Importing() && !std::filesystem::is_directory(*request_.saveFolder, code)) {
      streams_.err << "albumkeeper: import: no folder " << *request_.saveFolder << "\n";
      return kExitUsage;
    }
    if (const std::string refused = FolderGbkCannotHold(request_, ProgramDirNative());
        !refused.empty()) {
      streams_.err << "albumkeeper: " << refused << "\n";
      return kExitUsage;
    }
    return std::nullopt;
  }

  // Loads the cookie file named on the command line, or the program's own one when there is
  // one. A named file that is missing or unusable ends the run; the program's own file may be
  // broken by hand, and the run goes on without a sign-in.
  Step SignIn() {
    const bool named = request_.cookies.has_value();
    const std::string path =
        named ? *request_.cookies : GbkToUtf8(ProgramDir()) + "/" + std::string(kCookieFileName);
    const CookieFileContent content =
        LoadCookieFile(path, SharedCookieJar(), ServiceCookieDomain());
    if (content.status == CookieFileStatus::kMissing) {
      if (!named) return std::nullopt;
      streams_.err << "albumkeeper: --cookies: no file " << path << "\n";
      return kExitUsage;
    }
    const std::string report = GbkToUtf8(CookieFileReport(content, Utf8ToGbk(path)));
    if (content.status != CookieFileStatus::kLoaded) {
      streams_.err << "albumkeeper: " << report << "\n";
      if (named) return kExitUsage;
      return std::nullopt;
    }
    if (streams_.errIsTerminal) streams_.err << report << "\n";
    return std::nullopt;
  }

  // The controls as the window would have them at start, with the request's options, shown by
  // the terminal view.
  void SetUpControls() {
    // The rows of a listing own standard output; its log goes to standard error then.
    std::ostream& log = Listing() ? streams_.err : streams_.out;
    view_ = std::make_shared<TerminalView>(controls_, log,
                                           streams_.errIsTerminal ? &streams_.err : nullptr);
    controls_.Attach(view_);
    LoadStartupControls(controls_, ProgramDir());
    ApplyRequest(controls_, request_);
    if (!Listing()) EnsureRecordFolder(ProgramDir());
    WatchRefusals();
  }

  // The controls, Ctrl-C and Enter watched; then the list and, for `download`, the selection and
  // the batch.
  Step Drive() {
    SetUpControls();
    InterruptWatch interrupt([this] { End(); });
    interrupt_ = &interrupt;
    // A held run goes on with Enter, unless --no-wait ends it instead of holding.
    EnterWatch enter(request_.noWait ? -1 : streams_.in, [this] { Resume(); });
    const ListingResult listed = List();
    Step status = ListStatus(listed);
    if (!status && !Listing()) status = Select(listed);
    if (!status && !Listing()) status = Download();
    interrupt_ = nullptr;
    return status;
  }

  // A refusal of the service holds the batch, as the window does, until Enter (continue) or
  // Ctrl-C (end); with --no-wait it ends the batch.
  void WatchRefusals() {
    context_.endOnRefusal = request_.noWait;
    context_.onRefusalHold = [this] { Held("download"); };
    context_.onListingRefusalHold = [this] { Held("listing"); };
  }

  void Held(const char* work) {
    held_ = true;
    std::lock_guard<std::mutex> lock(errMutex_);
    view_->Finish();
    streams_.err << HoldNotice(work);
    streams_.err.flush();
  }

  // Enter after a hold: a held listing goes on through its worker, a held batch through the
  // continue button.
  void Resume() {
    if (!held_.exchange(false)) return;
    if (context_.listingHeld.exchange(false)) {
      context_.listing.Continue();
    } else if (engine_.resume) {
      engine_.resume(context_);
    }
  }

  // Ctrl-C: a listing stops where it is; a running batch is ended, once.
  void End() {
    context_.listing.Stop();
    if (!context_.batch.Running() || ended_.exchange(true)) return;
    if (engine_.end) {
      engine_.end(context_);
    } else {
      context_.batch.Stop();
    }
  }

  bool Interrupted() const { return interrupt_ != nullptr && interrupt_->Interrupted(); }

  ListingResult List() {
    outcome_ = engine_.list(context_);
    return engine_.awaitListing ? engine_.awaitListing(context_) : AwaitListing(context_);
  }

  // What the listing's end means for the run: the rows of `list` printed, or the run ended.
  Step ListStatus(const ListingResult& listed) {
    if (Interrupted()) return kExitInterrupted;
    // The program's own message for the address went to the log already.
    if (AddressRefused(outcome_)) {
      streams_.err << UsageText();
      return kExitUsage;
    }
    view_->Finish();
    if (listed.endedByRefusal) {
      streams_.err << kRefusedListing;
      return kExitPhotosFailed;
    }
    if (Listing()) {
      if (request_.json) {
        const ClassifiedAddress typed = ClassifyAddress(Utf8ToGbk(request_.address), WebHost());
        streams_.out << ListingJson(context_.source.Get(), typed.kind == AddressKind::kPerson,
                                    listed);
        streams_.out.flush();
      } else {
        PrintRows(listed);
      }
      return kExitOk;
    }
    if (listed.rows.empty()) {
      streams_.err << "albumkeeper: no album to download\n";
      return kExitPhotosFailed;
    }
    return std::nullopt;
  }

  // One line per album, fields apart by tabs. The fields come from the service: no control
  // character of theirs reaches the terminal, and a tab or line end in one cannot split it.
  void PrintRows(const ListingResult& listed) {
    auto field = [](const Text& gbk) {
      std::string shown;
      for (const char c : GbkToUtf8(ShowControlCharacters(gbk))) {
        if (c == '\t' || c == '\r' || c == '\n') {
          shown += c == '\t' ? "\\x09" : c == '\r' ? "\\x0d" : "\\x0a";
        } else {
          shown.push_back(c);
        }
      }
      return shown;
    };
    for (const ListedAlbum& album : listed.rows) {
      streams_.out << field(album.number) << '\t' << field(album.name) << '\t'
                   << field(album.address) << '\n';
    }
    streams_.out.flush();
  }

  // Ticks the rows of --albums (all without it) and clears the others.
  Step Select(const ListingResult& listed) {
    const int rowCount = static_cast<int>(listed.rows.size());
    std::vector<int> rows;
    if (request_.albums) {
      std::string error;
      rows = SelectedRows(*request_.albums, rowCount, error);
      if (!error.empty()) {
        streams_.err << "albumkeeper: --albums: " << error << "\n";
        return kExitUsage;
      }
    } else {
      for (int row = 0; row < rowCount; ++row) rows.push_back(row);
    }
    for (int row = 0; row < rowCount; ++row) controls_.SetRowChecked(row, false);
    for (const int row : rows) controls_.SetRowChecked(row, true);
    return std::nullopt;
  }

  Step Download() {
    if (Interrupted()) return kExitInterrupted;
    BatchCommand()(context_);
    // A Ctrl-C that came while the batch was starting found nothing to end yet.
    if (Interrupted()) End();
    context_.batch.Wait();
    return DownloadStatus();
  }

  int DownloadStatus() {
    const BatchVerdict verdict =
        engine_.batchVerdict ? engine_.batchVerdict(context_) : BatchVerdict{};
    const bool failed =
        verdict.failedPhotos > 0 || verdict.failedAlbums > 0 || verdict.unrecordedPhotos > 0;
    int status = failed ? kExitPhotosFailed : kExitOk;
    if (Interrupted()) {
      status = kExitInterrupted;
    } else if (verdict.endedByRefusal) {
      view_->Finish();
      streams_.err << kRefusedBatch;
      status = kExitPhotosFailed;
    }
    if (Importing()) {
      view_->Finish();
      streams_.out << "albumkeeper: recorded " << verdict.importedPhotos
                   << " photos as downloaded; " << verdict.unrecognisedFiles
                   << " files not recognised\n";
    }
    // The batch's counts come last, whichever way it ended.
    if (!verdict.summary.empty() && !Importing()) {
      if (view_) view_->Finish();
      streams_.err << verdict.summary << '\n';
    }
    return status;
  }

  void Close() {
    if (view_) {
      view_->Finish();
      controls_.Detach();
    }
    streams_.out.flush();
    streams_.err.flush();
  }

  const CliRequest& request_;
  const CliEngine& engine_;
  CliStreams streams_;
  Controls controls_{GbkToUtf8(WebHost())};
  // The workers of the context end before the controls and the view go.
  std::shared_ptr<TerminalView> view_;
  CommandContext context_{controls_};
  GetAlbumsOutcome outcome_ = GetAlbumsOutcome::kNoWorker;
  InterruptWatch* interrupt_ = nullptr;
  std::atomic<bool> held_{false};
  std::atomic<bool> ended_{false};
  std::mutex errMutex_;
};

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
  if (request.inputFile) return RunInputFile(request, engine, streams);
  return CliRun(request, engine, streams).Run();
}

}  // namespace ak
