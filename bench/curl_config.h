#pragma once

#include <ostream>
#include <string>

#include "base/text_ops.h"
#include "tests/support/fake_douban_process.h"

namespace ak::bench {

// Writes the requests of a curl config file (`curl --config`), one entry each, all pointed at the
// test double as the program's fetches are: its connect-to rules, its certificate, the request's
// own header lines, and where the body goes.
class CurlConfig {
 public:
  CurlConfig(std::ostream& out, const test::FakeDouban& double_) : out_(out), double_(double_) {}

  void Add(const std::string& url, const std::string& headers, const std::string& file) {
    if (!first_) out_ << "next\n";
    first_ = false;
    out_ << "silent\n";
    for (const Text& connect : Split(double_.connectTo(), ",")) {
      out_ << "connect-to = \"" << connect << "\"\n";
    }
    if (!double_.caFile().empty()) out_ << "cacert = \"" << double_.caFile() << "\"\n";
    for (const Text& line : Split(headers, "\r\n")) {
      if (!line.empty()) out_ << "header = \"" << line << "\"\n";
    }
    out_ << "url = \"" << url << "\"\noutput = \"" << file << "\"\n";
  }

 private:
  std::ostream& out_;
  const test::FakeDouban& double_;
  bool first_ = true;
};

}  // namespace ak::bench
