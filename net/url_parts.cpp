#include "net/url_parts.h"

#include "base/text_ops.h"

namespace ak {

Text UrlHost(std::string_view url, bool keepPort) {
  Text address = LowerCase(url);
  if (address.empty() || address.back() != '/') address += '/';
  Text host;
  if (Left(address, 8) == "https://") {
    host = TextBetween(address, "https://", "/");
  } else {
    if (Find(address, "http://") == -1) address.insert(0, "http://");
    host = TextBetween(address, "http://", "/");
  }
  if (!keepPort) {
    const int colon = Find(host, ":");
    if (colon != -1) host.resize(static_cast<std::size_t>(colon - 1));
  }
  return host;
}

int UrlPort(std::string_view url) {
  const Text hostAndPort = UrlHost(url, true);
  const int colon = FindLast(hostAndPort, ":");
  if (colon != -1) return ToInteger(std::string_view(hostAndPort).substr(colon));
  return UrlIsSecure(url) ? 443 : 80;
}

Text UrlPath(std::string_view url) {
  // A scheme counts only where it starts the address: one named later (in a query such as
  // "?u=https://other/") is part of the path. The host is looked for after that scheme, so that
  // a host whose name also occurs in the scheme ("h", "tp", "http") is not found inside "http://".
  int afterScheme = 1;
  for (std::string_view scheme : {"https://", "http://"}) {
    if (LowerCase(Left(url, static_cast<int>(scheme.size()))) == scheme) {
      afterScheme = static_cast<int>(scheme.size()) + 1;
      break;
    }
  }
  const int hostAt = Find(url, UrlHost(url), afterScheme, true);
  const int slash = Find(url, "/", hostAt == -1 ? afterScheme : hostAt);
  if (slash == -1) return "/";
  return Text(url.substr(static_cast<std::size_t>(slash - 1)));
}

bool UrlIsSecure(std::string_view url) { return LowerCase(Left(url, 5)) == "https"; }

}  // namespace ak
