#include "commands/program_cookies.h"

#include "base/codec.h"
#include "net/cookie_file.h"

namespace ak {

ProgramCookies::ProgramCookies(CookieJar& jar, const Text& programDir)
    : jar_(jar),
      path_(std::filesystem::path(GbkToUtf8(programDir)) / std::string(kCookieFileName)) {}

void ProgramCookies::Load(Controls& controls) {
  const CookieFileContent content = LoadCookieFile(path_, jar_, ServiceCookieDomain());
  refused_ = content.status == CookieFileStatus::kMalformed ||
             content.status == CookieFileStatus::kUnreadable;
  if (refused_) {
    controls.AppendLog(CookieFileReport(content, Utf8ToGbk(path_.string())) + "\r\n\r\n");
  }
}

bool ProgramCookies::Save() {
  if (refused_) return false;
  return SaveCookieFile(path_, jar_, ServiceCookieDomain());
}

}  // namespace ak
