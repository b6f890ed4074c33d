#include "commands/program_dir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/codec.h"

namespace ak {

std::string ProgramDirNative() {
  std::string folder;
  if (const char* home = std::getenv("ALBUMKEEPER_HOME"); home != nullptr && *home != '\0') {
    folder = home;
  } else {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    folder = error ? std::filesystem::current_path(error).string() : exe.parent_path().string();
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

Text ProgramDir() { return Utf8ToGbk(ProgramDirNative()); }

}  // namespace ak
