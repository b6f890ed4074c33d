#pragma once

#include <string>
#include <string_view>

namespace ak {

// Chromium host-resolver rules for the comma-separated HOST:PORT:CONNECT-HOST:CONNECT-PORT
// entries of ALBUMKEEPER_CONNECT_TO; empty when there is no valid entry. Malformed entries are
// skipped.
std::string HostResolverRules(std::string_view connectTo);

// To be called before the application object exists: runs the browser without its sandbox when
// the program runs as root (Chromium refuses to start otherwise), and adds the host-resolver
// rules to the browser's flags (QTWEBENGINE_CHROMIUM_FLAGS) so the browser follows
// ALBUMKEEPER_CONNECT_TO as page fetches do.
void PrepareBrowserEnvironment();

}  // namespace ak
