#include "download/name_fit.h"

#include "base/codec.h"
#include "base/text_ops.h"

namespace ak {
namespace {

std::size_t CharacterLength(std::string_view text, std::size_t at) {
  return IsGbkLead(text[at]) && at + 1 < text.size() ? 2 : 1;
}

// The longest start of `text` that ends on a character boundary and whose native length is at
// most `room`.
std::string_view FittingStart(std::string_view text, std::size_t room) {
  std::size_t used = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t length = CharacterLength(text, at);
    const std::size_t native = NativeNameLength(text.substr(at, length));
    if (used + native > room) break;
    used += native;
    at += length;
  }
  return text.substr(0, at);
}

}  // namespace

std::size_t NativeNameLength(std::string_view name) {
  const std::string utf8 = GbkToUtf8(name);
#ifdef _WIN32
  // One unit per character, two for a character outside the basic plane (a 4-byte sequence).
  std::size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
#else
  return utf8.size();
#endif
}

Text FitName(std::string_view front, std::string_view middle, std::string_view back) {
  Text name = Text(front) + Text(middle) + Text(back);
  if (NativeNameLength(name) <= kMaxNameLength) return name;
  const std::size_t kept = NativeNameLength(front) + NativeNameLength(back);
  if (kept > kMaxNameLength) return Text(FittingStart(name, kMaxNameLength));
  return Text(front) + Text(FittingStart(middle, kMaxNameLength - kept)) + Text(back);
}

}  // namespace ak
