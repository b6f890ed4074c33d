#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/types.h"

namespace ak {

// Where the photo service lives. Addresses are always built with the real host names; where a
// connection goes is a transport matter (`connectTo`), so a test double on loopback can stand in
// for the service without changing a single address.
struct ServiceConfig {
  Text webHost = "www.douban.com";
  Text apiHost = "api.douban.com";
  // The page that announces the latest version (ALBUMKEEPER_UPDATE_URL overrides it).
  Text updateUrl = "http://www.douban.com/albumkeeper/update.txt";
  // HOST:PORT:CONNECT-HOST:CONNECT-PORT entries applied to every fetch
  // (ALBUMKEEPER_CONNECT_TO, comma-separated).
  std::vector<std::string> connectTo;
  // An extra CA bundle trusted by verified fetches besides the system's (ALBUMKEEPER_CA_FILE).
  std::string caFile;
  // The certificates verified fetches trust when `caFile` is set: the system bundle followed by
  // the extra one, in PEM. Empty when no extra file is configured.
  std::string trustedCertificates;
};

// The configuration from the environment variables named above, over the defaults.
ServiceConfig ServiceConfigFromEnvironment();

// The process-wide configuration, read from the environment on first use. Fetches take a
// snapshot at their start, so replacing it never disturbs a fetch in flight.
std::shared_ptr<const ServiceConfig> CurrentServiceConfig();

// Replaces the process-wide configuration (start-up with other hosts, tests).
void SetServiceConfig(ServiceConfig config);

// Reads the environment again (a test that changed it).
void ReloadServiceConfig();

Text WebHost();
Text ApiHost();
Text UpdatePageUrl();

}  // namespace ak
