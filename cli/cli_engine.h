#pragma once

#include <functional>

#include "commands/command_context.h"

namespace ak {

// What the command line drives: the same commands the window's buttons run, over the same
// CommandContext. Each command may run its work on the context's worker slots; the command line
// waits for `listing` after `list` and for `batch` after `download`.
struct CliEngine {
  // The album button: lists the albums of the address in `编辑框_号码` into the album list. An
  // address it refuses is answered with a message box ("请输入网址", "网址格式不符").
  std::function<void(CommandContext&)> list;
  // The download button: runs the batch over the ticked rows.
  std::function<void(CommandContext&)> download;
  // The end button: ends the running batch at its next safe point. Called from a thread of its
  // own when the user presses Ctrl-C. Without it the batch's worker slot is stopped.
  std::function<void(CommandContext&)> end;
  // The continue button: a batch held (after a refusal of the service) goes on.
  std::function<void(CommandContext&)> resume;
  // How many photos of the last batch failed (not saved for a fault of the service or the
  // disk); a batch with failures exits with status 1. Without it no failure is known.
  std::function<int(CommandContext&)> failedPhotos;
};

// The engine of this program.
CliEngine ProgramCliEngine();

}  // namespace ak
