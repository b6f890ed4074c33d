#include "cli/album_selection.h"

#include <algorithm>
#include <charconv>

#include "base/text_ops.h"

namespace ak {
namespace {

// Album numbers above this are refused as typing errors rather than looked for.
constexpr int kMaxAlbumNumber = 1000000;

bool ParseNumber(std::string_view text, int& number, std::string& error) {
  text = TrimSpacesAndTabs(text);
  if (text.empty()) {
    error = "a number is missing";
    return false;
  }
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    error = "\"" + std::string(text) + "\" is not a number";
    return false;
  }
  const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
  if (result.ec != std::errc() || number > kMaxAlbumNumber) {
    error = "\"" + std::string(text) + "\" is too large";
    return false;
  }
  if (number == 0) {
    error = "albums are numbered from 1";
    return false;
  }
  return true;
}

}  // namespace

SelectionParse ParseAlbumSelection(std::string_view text) {
  SelectionParse parse;
  if (TrimSpacesAndTabs(text).empty()) {
    parse.error = "the list of albums is empty";
    return parse;
  }
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    SelectionRange range;
    const std::size_t dash = item.find('-');
    bool ok;
    if (dash == std::string_view::npos) {
      ok = ParseNumber(item, range.first, parse.error);
      range.last = range.first;
    } else {
      ok = ParseNumber(item.substr(0, dash), range.first, parse.error) &&
           ParseNumber(item.substr(dash + 1), range.last, parse.error);
      if (ok && range.first > range.last) {
        parse.error = "the range \"" + std::string(TrimSpacesAndTabs(item)) + "\" runs backwards";
        ok = false;
      }
    }
    if (!ok) {
      parse.ranges.clear();
      return parse;
    }
    parse.ranges.push_back(range);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return parse;
}

std::vector<int> SelectedRows(const std::vector<SelectionRange>& ranges, int rowCount,
                              std::string& error) {
  std::vector<bool> picked(static_cast<std::size_t>(std::max(rowCount, 0)), false);
  for (const SelectionRange& range : ranges) {
    if (range.last > rowCount) {
      const int missing = std::max(range.first, rowCount + 1);
      error = "album " + std::to_string(missing) + " is not in the list (" +
              std::to_string(rowCount) + (rowCount == 1 ? " album)" : " albums)");
      return {};
    }
    for (int number = range.first; number <= range.last; ++number) {
      picked[static_cast<std::size_t>(number - 1)] = true;
    }
  }
  std::vector<int> rows;
  for (int row = 0; row < rowCount; ++row) {
    if (picked[static_cast<std::size_t>(row)]) rows.push_back(row);
  }
  return rows;
}

}  // namespace ak
