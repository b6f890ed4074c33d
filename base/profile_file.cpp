#include "base/profile_file.h"

#include "base/profile_text.h"

namespace ak {
namespace {

using profile::EqualsIgnoringAsciiCase;
using profile::FindByte;
using profile::TrimBlanks;

enum class LineKind { kBlank, kSection, kComment, kKey, kOther };

// One line of the content: [begin, end) is its text without the line end, `next` the offset of
// the following line.
struct Line {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t next = 0;
  LineKind kind = LineKind::kBlank;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // value of a key, trimmed
};

Line ParseLine(std::string_view content, std::size_t begin) {
  Line line;
  line.begin = begin;
  const std::size_t lf = content.find('\n', begin);
  line.end = lf == std::string_view::npos ? content.size() : lf;
  line.next = lf == std::string_view::npos ? content.size() : lf + 1;
  if (line.end > begin && content[line.end - 1] == '\r') --line.end;

  const std::string_view text = TrimBlanks(content.substr(begin, line.end - begin));
  if (text.empty()) {
    line.kind = LineKind::kBlank;
  } else if (text.front() == '[') {
    line.kind = LineKind::kSection;
    const std::string_view inner = text.substr(1);
    line.name = TrimBlanks(inner.substr(0, FindByte(inner, ']')));
  } else if (text.front() == ';') {
    line.kind = LineKind::kComment;
  } else if (const std::size_t eq = FindByte(text, '='); eq != std::string_view::npos) {
    line.kind = LineKind::kKey;
    line.name = TrimBlanks(text.substr(0, eq));
    line.value = TrimBlanks(text.substr(eq + 1));
  } else {
    line.kind = LineKind::kOther;
  }
  return line;
}

// Where a section stands: its header line and the lines up to the next header.
struct SectionSpan {
  bool found = false;
  std::size_t body_begin = 0;    // offset after the header line
  std::size_t insert_at = 0;     // offset after the section's last non-blank line
  std::optional<Line> key_line;  // the first line holding the key, when asked for one
};

SectionSpan LocateSection(std::string_view content, std::string_view section,
                          std::string_view key) {
  SectionSpan span;
  std::size_t pos = 0;
  while (pos < content.size()) {
    const Line line = ParseLine(content, pos);
    pos = line.next;
    if (!span.found) {
      if (line.kind == LineKind::kSection && EqualsIgnoringAsciiCase(line.name, section)) {
        span.found = true;
        span.body_begin = span.insert_at = line.next;
      }
      continue;
    }
    if (line.kind == LineKind::kSection) break;
    if (line.kind != LineKind::kBlank) span.insert_at = line.next;
    if (line.kind == LineKind::kKey && EqualsIgnoringAsciiCase(line.name, key)) {
      span.key_line = line;
      break;
    }
  }
  return span;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

std::optional<Text> ProfileLookup(std::string_view content, std::string_view section,
                                  std::string_view key) {
  const SectionSpan span = LocateSection(content, TrimBlanks(section), TrimBlanks(key));
  if (!span.key_line) return std::nullopt;
  return Text(span.key_line->value);
}

std::optional<Text> ProfileUpdate(std::string_view content, std::string_view section,
                                  std::string_view key, std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  if (section.empty() || key.empty()) return std::nullopt;
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return std::nullopt;
  if (FindByte(section, ']') != std::string_view::npos) return std::nullopt;
  if (FindByte(key, '=') != std::string_view::npos) return std::nullopt;
  if (key.front() == '[' || key.front() == ';') return std::nullopt;
  if (profile::EndsInLoneLeadByte(section) || profile::EndsInLoneLeadByte(key)) return std::nullopt;

  const SectionSpan span = LocateSection(content, section, key);
  Text out;
  out.reserve(content.size() + section.size() + key.size() + value.size() + 8);
  if (span.key_line) {
    // Replace the key's line; the key keeps the spelling the file gave it.
    out.append(content.substr(0, span.key_line->begin));
    out.append(span.key_line->name).append("=").append(value).append("\r\n");
    out.append(content.substr(span.key_line->next));
    return out;
  }
  const std::size_t at = span.found ? span.insert_at : content.size();
  out.append(content.substr(0, at));
  // The line before the insertion point may be the file's last one, without a line end (or
  // with the CR of one only).
  if (!out.empty() && out.back() == '\r') out.append("\n");
  if (!out.empty() && out.back() != '\n') out.append("\r\n");
  if (!span.found) out.append("[").append(section).append("]\r\n");
  out.append(key).append("=").append(value).append("\r\n");
  out.append(content.substr(at));
  return out;
}

}  // namespace ak
