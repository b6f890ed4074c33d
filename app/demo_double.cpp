#include "app/demo_double.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace ak {
namespace {

std::filesystem::path DemoHome() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && *data != '\0') return std::filesystem::path(data) / "albumkeeper-demo";
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') {
    return std::filesystem::path(home) / ".local" / "share" / "albumkeeper-demo";
  }
  return std::filesystem::temp_directory_path() / "albumkeeper-demo";
}

}  // namespace

DemoDouble::~DemoDouble() {
  // Closing its input ends the double; a double that does not go is ended.
  if (process_.running() && process_.CloseInputAndWait(std::chrono::seconds(1)) < 0) {
    process_.Stop();
  }
}

bool DemoDouble::Start(const std::filesystem::path& program, std::string& error) {
  return process_.Start({program.string()}, std::chrono::seconds(20), error);
}

void DemoDouble::ExportEnvironment() const {
  ::setenv("ALBUMKEEPER_CA_FILE", CaFile().c_str(), 1);
  ::setenv("ALBUMKEEPER_CONNECT_TO", ConnectTo().c_str(), 1);
  const char* home = std::getenv("ALBUMKEEPER_HOME");
  if (home == nullptr || *home == '\0') ::setenv("ALBUMKEEPER_HOME", DemoHome().c_str(), 1);
  std::error_code ignored;
  std::filesystem::create_directories(std::getenv("ALBUMKEEPER_HOME"), ignored);
}

std::filesystem::path FindDemoDouble() {
  const char* named = std::getenv("ALBUMKEEPER_DEMO_DOUBLE");
  if (named != nullptr && *named != '\0') return named;
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  const std::filesystem::path dir = self.parent_path();
  for (const std::filesystem::path& candidate :
       {dir / "fake_douban", dir.parent_path() / "tools" / "fake_douban"}) {
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

}  // namespace ak
