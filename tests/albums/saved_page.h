#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/codec.h"
#include "base/text_ops.h"

namespace ak::test {

// The saved pages of tests/albums/data, read byte for byte.
inline std::string ReadDataFile(const std::string& name) {
  std::ifstream in(std::string(AK_ALBUMS_TEST_DATA) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A saved page as the listing sees it: converted from UTF-8 to GBK.
inline Text SavedPage(const std::string& name) { return Utf8ToGbk(ReadDataFile(name)); }

// The lines of an expected-results file, without comments and blank lines, each split at tabs
// and converted to GBK.
inline std::vector<std::vector<Text>> ExpectedLines(const std::string& name) {
  std::vector<std::vector<Text>> lines;
  std::istringstream in(ReadDataFile(name));
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<Text> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
      fields.push_back(Utf8ToGbk(line.substr(start, tab - start)));
    }
    fields.push_back(Utf8ToGbk(line.substr(start)));
    lines.push_back(std::move(fields));
  }
  return lines;
}

}  // namespace ak::test
