#include "net/request_headers.h"

#include "base/text_ops.h"

namespace ak {
namespace {

constexpr std::string_view kCrLf = "\r\n";

void AddAcceptReferAndLanguage(Text& block, std::string_view url) {
  if (block.empty()) {
    block = "Accept: */*";
  } else if (Find(block, "Accept:") == -1) {
    block += "\r\nAccept: */*";
  }
  if (Find(block, "Referer:") == -1) {
    block += "\r\nReferer: ";
    block += url;
  }
  if (Find(block, "Accept-Language:") == -1) block += "\r\nAccept-Language: zh-cn";
}

void AddContentType(Text& block) {
  if (Find(block, "Content-Type:") == -1) {
    block += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
}

bool SameHeaderName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && LowerCase(a) == LowerCase(b);
}

void SetHeader(std::vector<HeaderSetting>& settings, Text name, Text value) {
  if (name.empty()) return;
  for (auto it = settings.begin(); it != settings.end(); ++it) {
    if (!SameHeaderName(it->first, name)) continue;
    if (value.empty()) {
      settings.erase(it);
    } else {
      it->second = std::move(value);
    }
    return;
  }
  if (!value.empty()) settings.emplace_back(std::move(name), std::move(value));
}

}  // namespace

Text PageHeaderBlock(std::string_view extraHeaders, std::string_view url,
                     std::string_view cookies) {
  Text block(extraHeaders);
  AddAcceptReferAndLanguage(block, url);
  AddContentType(block);
  if (!cookies.empty()) {
    block += "\r\nCookie: ";
    block += cookies;
  }
  return block;
}

Text WithoutHeader(std::string_view block, std::string_view name) {
  Text kept;
  bool first = true;
  bool dropped = false;
  for (const Text& line : Split(block, kCrLf)) {
    const int colon = Find(line, ":");
    if (colon != -1 && SameHeaderName(Trim(Left(line, colon - 1)), name)) {
      dropped = true;
      continue;
    }
    if (!first) kept += kCrLf;
    kept += line;
    first = false;
  }
  return dropped ? kept : Text(block);
}

Text AgentFromHeaders(std::string_view extraHeaders) {
  if (Find(extraHeaders, "User-Agent:", 1, true) == -1) return Text(DefaultAgent);
  Text agent = Trim(TextBetween(extraHeaders, "User-Agent:", kCrLf));
  if (agent.empty()) agent = TextAfterColon(extraHeaders);
  return agent;
}

Text PictureHeaderText(std::string_view extraHeaders, std::string_view url) {
  Text text(extraHeaders);
  AddAcceptReferAndLanguage(text, url);
  if (Find(text, "User-Agent:") == -1) {
    text += "\r\nUser-Agent: ";
    text += DefaultAgent;
  }
  AddContentType(text);
  return text;
}

std::vector<HeaderSetting> PictureHeaderSettings(std::string_view headerText,
                                                 std::string_view cookies) {
  std::vector<HeaderSetting> settings;
  if (!cookies.empty()) SetHeader(settings, "Cookie", Text(cookies));
  if (Find(headerText, kCrLf) == -1) {
    SetHeader(settings, TextBeforeColon(headerText), TextAfterColon(headerText));
    return settings;
  }
  for (const Text& line : Split(headerText, kCrLf)) {
    if (line.empty()) continue;
    SetHeader(settings, TextBeforeColon(line), TextAfterColon(line));
  }
  return settings;
}

Text NormaliseSetCookieSpelling(std::string_view responseHeaders) {
  return Replace(responseHeaders, "Set-Cookie", "Set-Cookie", 1, -1, false);
}

const char* VerbOfMethod(int method) {
  switch (method) {
    case 1:
      return "POST";
    case 2:
      return "HEAD";
    default:
      return "GET";
  }
}

}  // namespace ak
