#include "cli/cli_input.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "albums/address_kind.h"
#include "base/codec.h"
#include "base/text_ops.h"
#include "cli/argument_parser.h"
#include "net/service_config.h"

namespace ak {
namespace {

// How bad an exit status is: a bad argument above failed photos above success.
int Rank(int status) {
  if (status == kExitUsage) return 2;
  if (status == kExitOk) return 0;
  return 1;
}

}  // namespace

InputList ReadInputList(const std::string& text, const std::string& fileName) {
  InputList list;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const Text trimmed = Trim(Utf8ToGbk(line));
    if (trimmed.empty() || trimmed.front() == '#') continue;
    const ClassifiedAddress address = ClassifyAddress(trimmed, WebHost());
    if (address.kind != AddressKind::kPerson && address.kind != AddressKind::kAlbum) {
      list.badLines.push_back(fileName + ":" + std::to_string(number) +
                              ": not the address of a person or an album: " +
                              GbkToUtf8(ShowControlCharacters(trimmed)));
      continue;
    }
    list.addresses.push_back({number, GbkToUtf8(trimmed)});
  }
  return list;
}

int RunInputFile(const CliRequest& request, const CliEngine& engine, CliStreams streams) {
  std::ifstream in(*request.inputFile, std::ios::binary);
  if (!in) {
    streams.err << "albumkeeper: --input: cannot read " << *request.inputFile << "\n";
    return kExitUsage;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const InputList list = ReadInputList(text, *request.inputFile);
  int worst = kExitOk;
  for (const std::string& bad : list.badLines) streams.err << "albumkeeper: " << bad << "\n";
  if (!list.badLines.empty()) worst = kExitUsage;
  if (list.addresses.empty()) {
    streams.err << "albumkeeper: --input: no address in " << *request.inputFile << "\n";
    return kExitUsage;
  }
  for (const InputAddress& entry : list.addresses) {
    CliRequest one = request;
    one.inputFile.reset();
    one.address = entry.address;
    streams.err << "albumkeeper: " << *request.inputFile << ":" << entry.line << ": "
                << entry.address << "\n";
    streams.err.flush();
    const int status = RunRequest(one, engine, streams);
    if (status == kExitInterrupted) return kExitInterrupted;
    if (Rank(status) > Rank(worst)) worst = status;
  }
  return worst;
}

}  // namespace ak
