#include "net/cookie_file.h"

#include <charconv>
#include <ctime>

#include "base/codec.h"
#include "base/file_replace.h"
#include "base/file_writer.h"
#include "base/text_ops.h"
#include "net/service_config.h"

namespace ak {
namespace {

// A cookie file larger than this is not a cookie file.
constexpr std::size_t kMaxCookieFileBytes = 4 * 1024 * 1024;

bool IsBlank(std::string_view line) { return TrimSpacesAndTabs(line).empty(); }

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

// TRUE or FALSE in any letter case, as curl accepts them.
bool ParseFlag(std::string_view field, bool& flag) {
  const std::string lower = AsciiLowerCase(field);
  if (lower != "true" && lower != "false") return false;
  flag = lower == "true";
  return true;
}

bool HasControlBytes(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return true;
  }
  return false;
}

// Parses one cookie line; on failure `reason` says why without quoting the line.
bool ParseCookieLine(std::string_view line, StoredCookie& cookie, Text& reason) {
  constexpr std::string_view kHttpOnly = "#HttpOnly_";
  cookie = StoredCookie{};
  if (line.starts_with(kHttpOnly)) {
    cookie.httpOnly = true;
    line.remove_prefix(kHttpOnly.size());
  }
  const std::vector<std::string_view> fields = SplitTabs(line);
  // A cookie without a value is written with six fields by some writers.
  if (fields.size() != 7 && fields.size() != 6) {
    reason =
        AK_GBK("应有以制表符分隔的 7 项，实有 ") + std::to_string(fields.size()) + AK_GBK(" 项");
    return false;
  }
  std::string_view domain = fields[0];
  if (domain.starts_with('.')) domain.remove_prefix(1);
  if (domain.empty() || domain.find_first_of(" /:") != std::string_view::npos ||
      HasControlBytes(domain)) {
    reason = AK_GBK("第 1 项（域名）无效");
    return false;
  }
  cookie.domain = AsciiLowerCase(domain);
  if (!ParseFlag(fields[1], cookie.includeSubdomains)) {
    reason = AK_GBK("第 2 项应为 TRUE 或 FALSE");
    return false;
  }
  if (!fields[2].empty() && !fields[2].starts_with('/')) {
    reason = AK_GBK("第 3 项（路径）应以 / 开头");
    return false;
  }
  cookie.path = fields[2].empty() ? std::string("/") : std::string(fields[2]);
  if (!ParseFlag(fields[3], cookie.secure)) {
    reason = AK_GBK("第 4 项应为 TRUE 或 FALSE");
    return false;
  }
  const std::string_view expires = fields[4];
  const auto parsed =
      std::from_chars(expires.data(), expires.data() + expires.size(), cookie.expires);
  if (expires.empty() || parsed.ec != std::errc() ||
      parsed.ptr != expires.data() + expires.size() || cookie.expires < 0) {
    reason = AK_GBK("第 5 项（过期时间）应为不小于 0 的整数");
    return false;
  }
  if (fields[5].empty() || HasControlBytes(fields[5])) {
    reason = AK_GBK("第 6 项（名称）无效");
    return false;
  }
  cookie.name = std::string(fields[5]);
  if (fields.size() == 7) {
    if (HasControlBytes(fields[6])) {
      reason = AK_GBK("第 7 项（值）含有控制字符");
      return false;
    }
    cookie.value = std::string(fields[6]);
  }
  return true;
}

}  // namespace

std::string ServiceCookieDomain() {
  std::string host = AsciiLowerCase(WebHost());
  const std::size_t dot = host.find('.');
  // Keep at least two labels: "douban.com" stays itself.
  if (dot != std::string::npos && host.find('.', dot + 1) != std::string::npos) {
    host.erase(0, dot + 1);
  }
  return host;
}

bool IsServiceCookie(std::string_view domain, std::string_view serviceDomain) {
  const std::string d = AsciiLowerCase(domain.starts_with('.') ? domain.substr(1) : domain);
  const std::string s = AsciiLowerCase(serviceDomain);
  if (s.empty()) return false;
  if (d == s) return true;
  return d.size() > s.size() && d.ends_with(s) && d[d.size() - s.size() - 1] == '.';
}

CookieFileContent ParseCookieFile(std::string_view text, std::string_view serviceDomain) {
  CookieFileContent content;
  const long long now = static_cast<long long>(std::time(nullptr));
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (IsBlank(line)) continue;
    if (line.starts_with('#') && !line.starts_with("#HttpOnly_")) continue;
    StoredCookie cookie;
    Text reason;
    if (!ParseCookieLine(line, cookie, reason)) {
      CookieFileContent refused;
      refused.status = CookieFileStatus::kMalformed;
      refused.line = number;
      refused.reason = std::move(reason);
      return refused;
    }
    if (!IsServiceCookie(cookie.domain, serviceDomain)) {
      ++content.otherSites;
      continue;
    }
    // An expired cookie is dropped; putting it into the jar would delete a live one.
    if (cookie.expires != 0 && cookie.expires <= now) continue;
    content.cookies.push_back(std::move(cookie));
  }
  content.status = CookieFileStatus::kLoaded;
  return content;
}

std::string FormatCookieFile(const std::vector<StoredCookie>& cookies,
                             std::string_view serviceDomain) {
  std::string text =
      "# Netscape HTTP Cookie File\n"
      "# Written by AlbumKeeper: the sign-in of its window. Keep it private.\n\n";
  for (const StoredCookie& cookie : cookies) {
    if (!IsServiceCookie(cookie.domain, serviceDomain)) continue;
    text += ToNetscapeLine(cookie);
    text += '\n';
  }
  return text;
}

CookieFileContent LoadCookieFile(const std::filesystem::path& path, CookieJar& jar,
                                 std::string_view serviceDomain) {
  const FileReadResult read = ReadWholeFile(path, kMaxCookieFileBytes);
  CookieFileContent content;
  if (read.status == FileReadStatus::kMissing) {
    content.status = CookieFileStatus::kMissing;
    return content;
  }
  if (read.status != FileReadStatus::kRead) {
    content.status = CookieFileStatus::kUnreadable;
    return content;
  }
  content = ParseCookieFile(read.bytes, serviceDomain);
  if (content.status == CookieFileStatus::kLoaded) {
    for (const StoredCookie& cookie : content.cookies) jar.Set(cookie);
  }
  return content;
}

bool SaveCookieFile(const std::filesystem::path& path, const CookieJar& jar,
                    std::string_view serviceDomain) {
  return WriteOwnerOnlyFileAtomically(path, FormatCookieFile(jar.All(), serviceDomain));
}

Text CookieFileReport(const CookieFileContent& content, const Text& path) {
  switch (content.status) {
    case CookieFileStatus::kMissing:
      return {};
    case CookieFileStatus::kUnreadable:
      return AK_GBK("无法读取 cookie 文件 ") + path;
    case CookieFileStatus::kMalformed:
      return AK_GBK("cookie 文件 ") + path + AK_GBK(" 第 ") + std::to_string(content.line) +
             AK_GBK(" 行格式不符（") + content.reason + AK_GBK("），未载入任何 cookie");
    case CookieFileStatus::kLoaded:
      break;
  }
  return AK_GBK("已从 ") + path + AK_GBK(" 载入 ") + std::to_string(content.cookies.size()) +
         AK_GBK(" 个 cookie");
}

}  // namespace ak
