#pragma once

#include <filesystem>

#include "base/types.h"
#include "controls/controls.h"
#include "net/cookie_jar.h"

namespace ak {

// The window's sign-in kept between runs: the cookie file in the program's folder is loaded
// into the jar at start-up and the jar's cookies of the service are written back at close.
class ProgramCookies {
 public:
  // `programDir` is a GBK path.
  ProgramCookies(CookieJar& jar, const Text& programDir);

  // Loads the file. A refused file is reported in the log (naming the line, never a value) and
  // is then left alone for the rest of the run, so the user can still mend it.
  void Load(Controls& controls);
  // Writes the file (owner-only). False when it was refused at load or cannot be written.
  bool Save();

  const std::filesystem::path& Path() const { return path_; }

 private:
  CookieJar& jar_;
  std::filesystem::path path_;
  bool refused_ = false;
};

}  // namespace ak
