#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/types.h"

namespace ak {

// Conversion between the program's GBK text and UTF-8 at the edges (pages, widgets, paths, the
// regex engine). A backend converts whole buffers; an iconv one serves POSIX systems and a
// code-page one can sit beside it on Windows.
class TextCodec {
 public:
  virtual ~TextCodec() = default;
  // UTF-8 to GBK. A character GBK cannot hold becomes one '?', the code page's default
  // character; a broken UTF-8 sequence (cut off, overlong, a surrogate, past U+10FFFF) becomes
  // one '?' per byte.
  virtual Text Utf8ToGbk(std::string_view utf8) const = 0;
  // GBK to UTF-8. An invalid or cut-off double-byte character becomes U+FFFD.
  virtual std::string GbkToUtf8(std::string_view gbk) const = 0;
};

// The process-wide codec.
const TextCodec& Codec();

// The converted page text ends at the first NUL byte, as text always does.
Text Utf8ToGbk(std::string_view utf8);
// Converts every byte given, NUL bytes included.
std::string GbkToUtf8(std::string_view gbk);
// True when GBK holds every character of the UTF-8 text, so that it survives the way into the
// program's text and back unchanged (a path given from outside, for example).
bool GbkCanHold(std::string_view utf8);

// A UTF-8 literal of the source turned into GBK once, on first use:
//   const Text& done = AK_GBK("全部下载完毕");
#define AK_GBK(utf8_literal)                                                   \
  ([]() -> const ::ak::Text& {                                                 \
    static const ::ak::Text converted = ::ak::Codec().Utf8ToGbk(utf8_literal); \
    return converted;                                                          \
  }())

}  // namespace ak
