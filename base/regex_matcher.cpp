#define PCRE2_CODE_UNIT_WIDTH 8
#include "base/regex_matcher.h"

#include <pcre2.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "base/codec.h"
#include "base/text_ops.h"

namespace ak {
namespace {

constexpr std::size_t kUnset = PCRE2_UNSET;

// Work allowed to one search for the next match, in PCRE2's match-limit units (about one per
// character a lazy repeat moves over): a base plus a few units per byte left to search. A
// successful search on a page needs less than one unit per byte it passes. Without the limit, a
// pattern whose lazy part fails at the end of the page from each of many start positions (the
// photo pattern over a page whose picture addresses changed form) takes time quadratic in the
// page size: over a minute for 1 MB when the engine cannot use JIT. With it, such a search ends
// after a bounded, linear amount of work and the run keeps the matches found before it.
constexpr std::uint64_t kMatchLimitBase = 1'000'000;
constexpr std::uint64_t kMatchLimitPerByte = 4;
// Backtracking memory of the interpreter, in KiB, and the stack of JIT-compiled code.
constexpr std::uint32_t kHeapLimitKiB = 256 * 1024;
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 8 * 1024 * 1024;

struct CodeFree {
  void operator()(pcre2_code* p) const { pcre2_code_free(p); }
};
struct CompileContextFree {
  void operator()(pcre2_compile_context* p) const { pcre2_compile_context_free(p); }
};
struct MatchContextFree {
  void operator()(pcre2_match_context* p) const { pcre2_match_context_free(p); }
};
struct MatchDataFree {
  void operator()(pcre2_match_data* p) const { pcre2_match_data_free(p); }
};
struct JitStackFree {
  void operator()(pcre2_jit_stack* p) const { pcre2_jit_stack_free(p); }
};

using Code = std::unique_ptr<pcre2_code, CodeFree>;

Code Compile(const std::string& pattern, bool caseSensitive, bool multiLine) {
  std::unique_ptr<pcre2_compile_context, CompileContextFree> context(
      pcre2_compile_context_create(nullptr));
  if (!context) return nullptr;
  // Only a line feed ends a line, so "." matches a carriage return like any other character.
  pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);
  // Script-style escapes and classes: "\uhhhh" and "\xhh" name characters (a letter otherwise),
  // a back reference to a group that did not take part matches the empty text, "[]" matches
  // nothing and "[^]" any character; without multi-line, "$" is only the end of the subject.
  std::uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF |
                          PCRE2_ALLOW_EMPTY_CLASS | PCRE2_DOLLAR_ENDONLY;
  if (!caseSensitive) options |= PCRE2_CASELESS;
  if (multiLine) options |= PCRE2_MULTILINE;
  int error = 0;
  PCRE2_SIZE errorOffset = 0;
  return Code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options,
                            &error, &errorOffset, context.get()));
}

// Offset of the character after the one that starts at `at` in valid UTF-8.
std::size_t NextCharacter(const std::string& utf8, std::size_t at) {
  ++at;
  while (at < utf8.size() && (static_cast<unsigned char>(utf8[at]) & 0xC0) == 0x80) ++at;
  return at;
}

}  // namespace

bool RegexMatcher::RunPattern(std::string_view pattern, std::string_view subject,
                              bool caseSensitive, bool multiLine, bool global, bool quoteToken) {
  subject_.clear();
  spans_.clear();
  groups_ = 0;
  complete_ = true;

  const Text gbkPattern =
      quoteToken ? Replace(pattern, QuoteToken, "\"", 1, -1, true) : Text(pattern);
  Code code = Compile(GbkToUtf8(gbkPattern), caseSensitive, multiLine);
  if (!code) return false;
  const bool jit = pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE) == 0;
  std::uint32_t captures = 0;
  pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &captures);

  std::unique_ptr<pcre2_match_data, MatchDataFree> data(
      pcre2_match_data_create_from_pattern(code.get(), nullptr));
  std::unique_ptr<pcre2_match_context, MatchContextFree> context(
      pcre2_match_context_create(nullptr));
  std::unique_ptr<pcre2_jit_stack, JitStackFree> stack(
      jit ? pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr) : nullptr);
  if (!data || !context) return false;
  if (stack) pcre2_jit_stack_assign(context.get(), nullptr, stack.get());
  pcre2_set_heap_limit(context.get(), kHeapLimitKiB);

  // The converted subject is valid UTF-8 (the codec replaces what it cannot convert); the
  // first search checks it all the same, later ones skip the check so that a page with many
  // matches is not checked again for each of them.
  subject_ = GbkToUtf8(subject);
  groups_ = static_cast<int>(captures);
  const auto* text = reinterpret_cast<PCRE2_SPTR>(subject_.data());
  const std::size_t size = subject_.size();
  std::uint32_t flags = 0;
  std::size_t offset = 0;
  while (offset <= size) {
    const std::uint64_t limit = kMatchLimitBase + kMatchLimitPerByte * (size - offset);
    pcre2_set_match_limit(context.get(),
                          static_cast<std::uint32_t>(std::min<std::uint64_t>(limit, UINT32_MAX)));
    int rc = pcre2_match(code.get(), text, size, offset, flags, data.get(), context.get());
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT)  // the interpreter keeps its frames on the heap
      rc = pcre2_match(code.get(), text, size, offset, flags | PCRE2_NO_JIT, data.get(),
                       context.get());
    if (rc == PCRE2_ERROR_NOMATCH) break;
    if (rc < 0) {  // a work, depth or memory limit: keep what was found so far
      complete_ = false;
      break;
    }
    flags |= PCRE2_NO_UTF_CHECK;
    const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data.get());
    spans_.insert(spans_.end(), vector, vector + 2 * (captures + 1));
    if (!global) break;
    // After an empty match the next search starts one character further on.
    std::size_t next = vector[1];
    if (vector[0] == vector[1] || next <= offset) {
      if (std::max(next, offset) >= size) break;
      next = NextCharacter(subject_, std::max(next, offset));
    }
    offset = next;
  }
  return true;
}

int RegexMatcher::MatchCount() const {
  return static_cast<int>(spans_.size() / (2 * static_cast<std::size_t>(groups_ + 1)));
}

Text RegexMatcher::MatchText(int match) const { return Piece(match, 0); }

Text RegexMatcher::SubMatchText(int match, int group) const {
  if (group < 1) return {};
  return Piece(match, group);
}

Text RegexMatcher::Piece(int match, int group) const {
  if (match < 1 || match > MatchCount() || group < 0 || group > groups_) return {};
  const std::size_t at =
      (static_cast<std::size_t>(match - 1) * static_cast<std::size_t>(groups_ + 1) +
       static_cast<std::size_t>(group)) *
      2;
  const std::size_t begin = spans_[at];
  const std::size_t end = spans_[at + 1];
  if (begin == kUnset || end == kUnset || end < begin) return {};
  return Utf8ToGbk(std::string_view(subject_).substr(begin, end - begin));
}

}  // namespace ak
