#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "base/types.h"

namespace ak {

// The agent the page fetches announce unless the caller's headers name another.
inline constexpr std::string_view DefaultAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// The header block a page fetch sends: the caller's lines, then the defaults they lack (Accept,
// Referer naming `url`, Accept-Language, Content-Type), then the caller's cookies. Lines are
// joined by CR LF with no trailing CR LF; every search for an existing header is case-sensitive.
Text PageHeaderBlock(std::string_view extraHeaders, std::string_view url, std::string_view cookies);

// The header block without its lines of that header name (letter case and blanks around the
// name ignored); the other lines keep their order and spelling.
Text WithoutHeader(std::string_view block, std::string_view name);

// The agent of a page fetch: DefaultAgent unless the caller's headers mention "User-Agent:" in
// any letter case; then the trimmed value of the "User-Agent:" line, or, when that is empty
// (no line break follows it, or it is spelt in another case), the trimmed text after the first
// colon of the whole header text.
Text AgentFromHeaders(std::string_view extraHeaders);

// The header text a picture fetch applies: as PageHeaderBlock without cookies, with a
// "User-Agent: " DefaultAgent line added before Content-Type when none is named.
Text PictureHeaderText(std::string_view extraHeaders, std::string_view url);

// The verb of a method number: 1 "POST", 2 "HEAD", anything else "GET".
const char* VerbOfMethod(int method);

using HeaderSetting = std::pair<Text, Text>;

// The request headers a picture fetch ends up with, in order: the cookie string as a "Cookie"
// header when not empty, then the name and value (each trimmed) of every non-empty line of the
// header text. Setting a header replaces an earlier one of the same name (any letter case) in
// its place; an empty value removes it; a line without a colon sets nothing.
std::vector<HeaderSetting> PictureHeaderSettings(std::string_view headerText,
                                                 std::string_view cookies);

// Writes every "Set-Cookie" of a response header block, in any letter case, as "Set-Cookie".
Text NormaliseSetCookieSpelling(std::string_view responseHeaders);

}  // namespace ak
