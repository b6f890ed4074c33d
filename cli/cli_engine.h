#pragma once

#include <functional>
#include <string>

#include "commands/album_commands.h"
#include "commands/command_context.h"

namespace ak {

// How the last batch ended, as far as the exit status goes.
struct BatchVerdict {
  // Photos not saved for a fault of the service or the disk.
  int failedPhotos = 0;
  // A refusal of the service ended the batch (under --no-wait).
  bool endedByRefusal = false;
  // import: photos recorded from pictures on the disk, and files no photo claimed.
  int importedPhotos = 0;
  int unrecognisedFiles = 0;
  // Albums that failed (whole, or with photos not saved).
  int failedAlbums = 0;
  // Photos saved whose record could not be written (a later run fetches them again).
  int unrecordedPhotos = 0;
  // The batch's photos by what became of them, one line of UTF-8 (no line end); none when the
  // engine has none.
  std::string summary;
  bool operator==(const BatchVerdict&) const = default;
};

// What the command line drives: the same commands the window's buttons run, over the same
// CommandContext. Each command may run its work on the context's worker slots; the command line
// waits for `listing` after `list` (AwaitListing) and for `batch` after `download`.
struct CliEngine {
  // The album button: lists the albums of the address in `编辑框_号码` into the album list, and
  // says whether it took the address.
  std::function<GetAlbumsOutcome(CommandContext&)> list;
  // Waits for the listing to end and gives its rows and how it ended; AwaitListing without it.
  std::function<ListingResult(CommandContext&)> awaitListing;
  // The download button: runs the batch over the ticked rows.
  std::function<void(CommandContext&)> download;
  // The batch of `import`: the ticked rows walked, nothing fetched, the pictures already in the
  // album folders recorded.
  std::function<void(CommandContext&)> importPictures;
  // The end button: ends the running batch at its next safe point. Called from a thread of its
  // own when the user presses Ctrl-C. Without it the batch's worker slot is stopped.
  std::function<void(CommandContext&)> end;
  // The continue button: a batch held (after a refusal of the service) goes on.
  std::function<void(CommandContext&)> resume;
  // How the last batch ended; without it nothing went wrong.
  std::function<BatchVerdict(CommandContext&)> batchVerdict;
};

// The engine of this program.
CliEngine ProgramCliEngine();

}  // namespace ak
