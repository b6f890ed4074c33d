#include "net/answer_kind.h"

#include <cctype>

#include "base/codec.h"
#include "net/service_config.h"
#include "net/url_parts.h"

namespace ak {
namespace {

constexpr long kStatusOk = 200;
constexpr long kStatusNotFound = 404;

bool IsUnder(const Text& host, std::string_view domain) {
  if (host == domain) return true;
  return host.size() > domain.size() && host.ends_with(domain) &&
         host[host.size() - domain.size() - 1] == '.';
}

bool IsRefusalTarget(std::string_view url) {
  return !url.empty() && (IsLoginAddress(url) || IsSecurityAddress(url));
}

bool EmptyText(std::string_view body) { return body.empty() || body.front() == '\0'; }

}  // namespace

Text BlockPageMarker() { return AK_GBK("有异常请求从你的 IP 发出，请登录"); }

Text LoginRedirectPageMarker() { return AK_GBK("登录跳转页"); }

bool IsRefusalStatus(long status) { return status == 403 || status == 418; }

bool IsBlockPage(std::string_view utf8Page) {
  static const Text marker = BlockPageMarker();
  return Utf8ToGbk(utf8Page).find(marker) != Text::npos;
}

bool IsLoginRedirectPage(std::string_view utf8Page) {
  // The marker inside the page's title element, blanks around it allowed.
  static const Text title = GbkToUtf8(LoginRedirectPageMarker());
  std::size_t open = utf8Page.find("<title");
  while (open != std::string_view::npos) {
    const std::size_t close = utf8Page.find("</title>", open);
    if (close == std::string_view::npos) return false;
    if (utf8Page.substr(open, close - open).find(title) != std::string_view::npos) return true;
    open = utf8Page.find("<title", close);
  }
  return false;
}

bool IsServiceAddress(std::string_view url) {
  const Text host = UrlHost(url);
  if (host.empty()) return false;
  if (host == WebHost() || host == ApiHost()) return true;
  return IsUnder(host, "douban.com") || IsUnder(host, "doubanio.com");
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

bool IsSecurityAddress(std::string_view url) {
  return !url.empty() && UrlHost(url) == "sec.douban.com";
}

bool LooksLikePicture(std::string_view bytes) {
  auto starts = [bytes](std::string_view signature, std::size_t at = 0) {
    return bytes.size() >= at + signature.size() && bytes.substr(at, signature.size()) == signature;
  };
  return starts("\xFF\xD8\xFF") || starts("\x89PNG\r\n\x1A\n") || starts("GIF87a") ||
         starts("GIF89a") || (starts("RIFF") && starts("WEBP", 8));
}

Text LocationOf(std::string_view headers) {
  Text location;
  std::size_t at = 0;
  while (at < headers.size()) {
    std::size_t end = headers.find('\n', at);
    if (end == std::string_view::npos) end = headers.size();
    std::string_view line = headers.substr(at, end - at);
    at = end + 1;
    constexpr std::string_view kName = "location:";
    if (line.size() < kName.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < kName.size() && same; ++i) {
      same = std::tolower(static_cast<unsigned char>(line[i])) == kName[i];
    }
    if (!same) continue;
    line.remove_prefix(kName.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    location = Text(line);
  }
  return location;
}

RefusalForm RefusalFormOf(const ServiceAnswer& answer) {
  if (!IsServiceAddress(answer.url)) return RefusalForm::kNone;
  // A redirect to the login page or the security host, followed or not: the redirect says why
  // more precisely than its status, so it is named first.
  for (const Text* target : {&answer.effectiveUrl, &answer.location}) {
    if (IsSecurityAddress(*target)) return RefusalForm::kSecurityRedirect;
    if (IsRefusalTarget(*target)) return RefusalForm::kLoginRedirect;
  }
  if (IsRefusalStatus(answer.status)) return RefusalForm::kStatus;
  // A picture is never a page, whatever bytes it happens to hold.
  if (LooksLikePicture(answer.body)) return RefusalForm::kNone;
  if (IsBlockPage(answer.body)) return RefusalForm::kBlockPage;
  if (IsLoginRedirectPage(answer.body)) return RefusalForm::kLoginPage;
  return RefusalForm::kNone;
}

bool IsApiKeyRefusalAnswer(std::string_view body) {
  std::size_t first = body.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos || body[first] != '{') return false;
  if (body.find("\"msg\"") == std::string_view::npos) return false;
  const std::size_t code = body.find("\"code\"");
  if (code == std::string_view::npos) return false;
  std::size_t at = body.find_first_not_of(" \t\r\n:", code + 6);
  if (at == std::string_view::npos) return false;
  const std::string_view value = body.substr(at, 3);
  const bool digitAfter = at + 3 < body.size() && body[at + 3] >= '0' && body[at + 3] <= '9';
  return !digitAfter && (value == "104" || value == "105" || value == "131");
}

AnswerKind JudgeAnswer(RequestKind kind, const ServiceAnswer& answer) {
  // The API's refusal of its key is its answer, whatever its status: the downloader reads it,
  // and holding the batch would not make the key good.
  if (kind == RequestKind::kApi && IsApiKeyRefusalAnswer(answer.body)) return AnswerKind::kOther;
  if (RefusalFormOf(answer) != RefusalForm::kNone) return AnswerKind::kRefusal;
  if (kind == RequestKind::kPicture) {
    if (!answer.completed || answer.status == 0) return AnswerKind::kEmpty;
    if (answer.status == kStatusNotFound) return AnswerKind::kNotFound;
    if (answer.status != kStatusOk) return AnswerKind::kOther;
    if (answer.body.empty()) return AnswerKind::kEmpty;
    return LooksLikePicture(answer.body) ? AnswerKind::kPicture : AnswerKind::kOther;
  }
  // A page's text is what counts: whatever arrived of it, whatever the status.
  if (EmptyText(answer.body)) return AnswerKind::kEmpty;
  if (answer.status == kStatusNotFound) return AnswerKind::kNotFound;
  if (answer.status >= 200 && answer.status < 300) return AnswerKind::kPage;
  return AnswerKind::kOther;
}

}  // namespace ak
