#include "download/refusal.h"

#include "base/codec.h"
#include "net/service_config.h"
#include "net/url_parts.h"

namespace ak {

Text BlockPageMarker() { return AK_GBK("有异常请求从你的 IP 发出，请登录"); }

bool IsRefusalStatus(long status) { return status == 403 || status == 418; }

bool IsBlockPage(std::string_view utf8Page) {
  static const Text marker = BlockPageMarker();
  return Utf8ToGbk(utf8Page).find(marker) != Text::npos;
}

bool IsServiceAddress(std::string_view url) {
  const Text host = UrlHost(url);
  if (host.empty()) return false;
  if (host == WebHost() || host == ApiHost()) return true;
  for (std::string_view domain : {"douban.com", "doubanio.com"}) {
    if (host == domain) return true;
    if (host.size() > domain.size() && host.ends_with(domain) &&
        host[host.size() - domain.size() - 1] == '.') {
      return true;
    }
  }
  return false;
}

bool IsLoginAddress(std::string_view url) {
  if (url.empty()) return false;
  const Text host = UrlHost(url);
  if (host.starts_with("accounts.")) return true;
  if (host != WebHost()) return false;
  const Text path = UrlPath(url);
  return path == "/login" || path.starts_with("/login?") || path.starts_with("/login/") ||
         path.starts_with("/passport/login");
}

}  // namespace ak
