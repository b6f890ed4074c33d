#include "shell/browser_environment.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cstdlib>

namespace ak {
namespace {

std::vector<std::string_view> SplitOn(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

bool IsPort(std::string_view text) {
  if (text.empty() || text.size() > 5) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::string HostResolverRules(std::string_view connectTo) {
  std::string rules;
  for (std::string_view entry : SplitOn(connectTo, ',')) {
    const auto parts = SplitOn(Trimmed(entry), ':');
    if (parts.size() != 4 || parts[0].empty() || parts[2].empty() || !IsPort(parts[1]) ||
        !IsPort(parts[3])) {
      continue;
    }
    if (!rules.empty()) rules += ", ";
    rules += "MAP ";
    rules.append(parts[0]).append(":").append(parts[1]).append(" ");
    rules.append(parts[2]).append(":").append(parts[3]);
  }
  return rules;
}

void PrepareBrowserEnvironment() {
  if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  const char* connectTo = std::getenv("ALBUMKEEPER_CONNECT_TO");
  if (connectTo == nullptr) return;
  const std::string rules = HostResolverRules(connectTo);
  if (rules.empty()) return;
  // The browser splits its flag variable on spaces outside double quotes.
  std::string flags;
  if (const char* existing = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS")) flags = existing;
  if (!flags.empty()) flags += ' ';
  flags += "--host-resolver-rules=\"" + rules + "\"";
  setenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.c_str(), 1);
}

}  // namespace ak
