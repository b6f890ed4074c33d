#pragma once

#include <optional>
#include <string_view>

#include "base/types.h"

namespace ak {

// The service's refusal of an API request: an answer that is a JSON object with "code" and
// "msg" and no "photos", unless its message says nothing was found there ("uri_not_found",
// "album_not_found": an album without photos, as before) (today's API without a valid key answers
// {"msg":"apikey is required", "code":131,...}, {"msg":"invalid_apikey","code":104,...} or, for a
// shared key,
// {"msg":"apikey_is_blocked","code":105,...}).
struct ApiRefusal {
  long long code = 0;
  // The "msg" member, GBK.
  Text message;
};

// The refusal an API answer (UTF-8, as it arrived) carries; nothing for any other answer.
std::optional<ApiRefusal> ApiRefusalOf(std::string_view utf8Answer);

// True when the refusal is about the key itself (missing, invalid or blocked): every request
// with the same key will be refused alike.
bool IsApiKeyRefusal(const ApiRefusal& refusal);

// The log line that says what the service answered and what the user can do.
Text ApiRefusalLine(const ApiRefusal& refusal);

// `url` with "apikey=KEY" added to its query ("&" or "?"); unchanged when `key` is empty. The
// key is percent-encoded except for the characters a query may hold as they are.
Text WithApiKey(const Text& url, std::string_view key);

}  // namespace ak
