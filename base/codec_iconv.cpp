#include <errno.h>
#include <iconv.h>

#include <cassert>
#include <cstring>

#include "base/codec.h"

namespace ak {
namespace {

// One conversion direction; iconv descriptors are not shared between threads, so each thread
// keeps its own pair.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    assert(cd_ != reinterpret_cast<iconv_t>(-1) && "iconv lacks CP936 or UTF-8");
  }
  ~IconvHandle() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence that starts with `lead`, 1 for a byte that cannot start one.
size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

// True when the bytes start a well-formed UTF-8 character. The second byte's range depends on
// the lead: it rules out overlong forms (E0 80..9F, F0 80..8F), surrogates (ED A0..BF) and code
// points past U+10FFFF (F4 90..BF), which are broken sequences, not characters.
bool IsValidUtf8Sequence(const unsigned char* p, size_t available) {
  size_t n = Utf8SequenceLength(p[0]);
  if (n == 1 || n > available) return false;
  unsigned char low = 0x80, high = 0xBF;
  switch (p[0]) {
    case 0xE0:
      low = 0xA0;
      break;
    case 0xED:
      high = 0x9F;
      break;
    case 0xF0:
      low = 0x90;
      break;
    case 0xF4:
      high = 0x8F;
      break;
    default:
      break;
  }
  if (p[1] < low || p[1] > high) return false;
  for (size_t i = 2; i < n; ++i)
    if ((p[i] & 0xC0) != 0x80) return false;
  return true;
}

// Runs iconv over [in, in + size) appending to `out`. On a sequence iconv refuses, `onError` is
// told how many input bytes remain and returns how many to skip after appending its replacement.
template <typename OnError>
void Convert(iconv_t cd, const char* in, size_t size, std::string& out, OnError onError) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in);
  size_t left = size;
  while (left > 0) {
    size_t old = out.size();
    out.resize(old + left * 2 + 16);
    char* dst = out.data() + old;
    size_t room = out.size() - old;
    size_t rc = iconv(cd, &src, &left, &dst, &room);
    out.resize(out.size() - room);
    if (rc != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    size_t skip = onError(reinterpret_cast<const unsigned char*>(src), left);
    src += skip;
    left -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
}

class IconvCodec final : public TextCodec {
 public:
  Text Utf8ToGbk(std::string_view utf8) const override {
    static thread_local IconvHandle toGbk("CP936", "UTF-8");
    Text out;
    out.reserve(utf8.size());
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    // Pages are mostly ASCII: copy ASCII runs directly and hand only the other runs to iconv.
    while (p < end) {
      const char* run = p;
      while (p < end && static_cast<unsigned char>(*p) < 0x80) ++p;
      out.append(run, p);
      run = p;
      while (p < end && static_cast<unsigned char>(*p) >= 0x80) ++p;
      if (run == p) continue;
      Convert(toGbk.get(), run, static_cast<size_t>(p - run), out,
              [&out](const unsigned char* bad, size_t left) -> size_t {
                out.push_back('?');
                // A valid character that GBK cannot hold is skipped whole; a broken sequence
                // one byte at a time.
                return IsValidUtf8Sequence(bad, left) ? Utf8SequenceLength(bad[0]) : 1;
              });
    }
    return out;
  }

  std::string GbkToUtf8(std::string_view gbk) const override {
    static thread_local IconvHandle toUtf8("UTF-8", "CP936");
    std::string out;
    out.reserve(gbk.size() + gbk.size() / 2);
    const char* p = gbk.data();
    const char* end = p + gbk.size();
    while (p < end) {
      const char* run = p;
      while (p < end && static_cast<unsigned char>(*p) < 0x80) ++p;
      out.append(run, p);
      run = p;
      while (p < end && static_cast<unsigned char>(*p) >= 0x80) {
        // Keep a double-byte character together even when its trail byte is ASCII.
        p += (end - p >= 2) ? 2 : 1;
      }
      if (run == p) continue;
      Convert(toUtf8.get(), run, static_cast<size_t>(p - run), out,
              [&out](const unsigned char*, size_t) -> size_t {
                out.append("\xEF\xBF\xBD");
                return 1;
              });
    }
    return out;
  }
};

}  // namespace

const TextCodec& Codec() {
  static const IconvCodec codec;
  return codec;
}

Text Utf8ToGbk(std::string_view utf8) {
  Text gbk = Codec().Utf8ToGbk(utf8);
  if (size_t nul = gbk.find('\0'); nul != Text::npos) gbk.resize(nul);
  return gbk;
}

std::string GbkToUtf8(std::string_view gbk) { return Codec().GbkToUtf8(gbk); }

bool GbkCanHold(std::string_view utf8) {
  return utf8.find('\0') == std::string_view::npos && GbkToUtf8(Utf8ToGbk(utf8)) == utf8;
}

}  // namespace ak
