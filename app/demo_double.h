#pragma once

#include <filesystem>
#include <string>

#include "tools/double_process/double_process.h"

namespace ak {

// The address the demo puts into the album page: a person the test double knows.
inline constexpr const char* kDemoAddress = "http://www.douban.com/people/ahua/";

// The service test double run for the demo, on free loopback ports, for as long as this object
// lives. The double ends by itself when its standard input closes, so it also goes away when
// the program ends without running this destructor.
class DemoDouble {
 public:
  DemoDouble() = default;
  ~DemoDouble();
  DemoDouble(const DemoDouble&) = delete;
  DemoDouble& operator=(const DemoDouble&) = delete;

  // Starts `program` and reads its first lines ("web=PORT api=PORT", "ca=FILE",
  // "connect-to=..."). False, with `error`, when it cannot be started or says something else.
  bool Start(const std::filesystem::path& program, std::string& error);

  const std::string& Ports() const { return process_.announcement().ports; }
  const std::string& CaFile() const { return process_.announcement().caFile; }
  const std::string& ConnectTo() const { return process_.announcement().connectTo; }

  // Points this process at the double (ALBUMKEEPER_CA_FILE, ALBUMKEEPER_CONNECT_TO) and gives
  // it a demo folder as ALBUMKEEPER_HOME unless one is set; the folder is made.
  void ExportEnvironment() const;

 private:
  DoubleProcess process_;
};

// Where the demo's test double is: ALBUMKEEPER_DEMO_DOUBLE when set, else "fake_douban" beside
// the program (an installed program), else the build tree's tools/fake_douban. Empty when none
// exists.
std::filesystem::path FindDemoDouble();

}  // namespace ak
