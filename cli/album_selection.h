#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ak {

// One item of an album selection: numbers `first` to `last` (1-based, first <= last).
struct SelectionRange {
  int first = 0;
  int last = 0;
  bool operator==(const SelectionRange&) const = default;
};

struct SelectionParse {
  std::vector<SelectionRange> ranges;
  // Why the text is not a selection (UTF-8); empty when it is one.
  std::string error;
};

// Reads a selection such as "1,3-5": comma-separated numbers and ranges of positive numbers,
// blanks allowed around the items. An empty text, an empty item, a zero, a reversed range or a
// number too large to be an album number is an error.
SelectionParse ParseAlbumSelection(std::string_view text);

// The rows (0-based, ascending, each once) that `ranges` pick from a list of `rowCount` rows;
// `error` is set, and nothing returned, when a number is beyond the list.
std::vector<int> SelectedRows(const std::vector<SelectionRange>& ranges, int rowCount,
                              std::string& error);

}  // namespace ak
