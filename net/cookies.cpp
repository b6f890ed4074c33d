#include "net/cookies.h"

#include <algorithm>
#include <vector>

#include "base/text_ops.h"

namespace ak {
namespace {

// Joins the pieces, each followed by `separator`, then drops the final separator.
Text JoinPieces(const std::vector<Text>& pieces, std::string_view separator) {
  Text joined;
  for (const Text& piece : pieces) {
    joined += piece;
    joined += separator;
  }
  return Left(joined, static_cast<int>(joined.size() - std::min(joined.size(), separator.size())));
}

}  // namespace

Text CookieName(std::string_view piece) {
  int equals = Find(piece, "=");
  if (equals < 0) return Trim(piece);
  return Trim(piece.substr(0, static_cast<std::size_t>(equals) - 1));
}

Text RemoveDuplicatePieces(std::string_view text, std::string_view separator) {
  std::vector<Text> kept;
  for (Text& piece : Split(text, separator)) {
    if (std::find(kept.begin(), kept.end(), piece) == kept.end()) kept.push_back(std::move(piece));
  }
  return JoinPieces(kept, separator);
}

Text MergeCookies(Text& kept, Text& response) {
  kept = RemoveBlanks(kept);
  response = RemoveBlanks(response);
  std::vector<Text> merged = Split(response, ";");
  std::vector<Text> names;
  names.reserve(merged.size());
  for (const Text& piece : merged) names.push_back(CookieName(piece));
  for (Text& piece : Split(kept, ";")) {
    Text name = CookieName(piece);
    if (std::find(names.begin(), names.end(), name) != names.end()) continue;
    names.push_back(std::move(name));
    merged.push_back(std::move(piece));
  }
  // An empty piece (a Set-Cookie line without a value, or ";;" in the kept string) is not a
  // cookie; sending it would put "; ;" into the Cookie header.
  std::vector<Text> live;
  for (Text& piece : merged) {
    if (!piece.empty() && Right(piece, 8) != "=deleted") live.push_back(std::move(piece));
  }
  kept = RemoveDuplicatePieces(JoinPieces(live, "; "), "; ");
  return kept;
}

Text SetCookieExtraction(std::string_view responseHeaders) {
  // The fetches already spell the header name this way; doing it here as well lets the function
  // take a header block as a server wrote it.
  const Text headers = Replace(responseHeaders, "Set-Cookie", "Set-Cookie");
  std::vector<Text> values;
  for (const Text& line : Split(headers, "\r\n")) {
    if (Find(line, "Set-Cookie") < 0) continue;
    if (Find(line, ";") >= 0) {
      values.push_back(Trim(TextBetween(line, "Set-Cookie:", ";")));
    } else {
      values.push_back(Trim(Replace(line, "Set-Cookie:", "")));
    }
  }
  return JoinPieces(values, "; ");
}

}  // namespace ak
