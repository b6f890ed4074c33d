#pragma once

#include <string>
#include <string_view>

namespace ak {

// An address made fit for libcurl without changing what goes out on the wire for any address
// libcurl accepts: spaces and control characters, which it refuses, are percent-encoded.
std::string TransferAddress(std::string_view address);

}  // namespace ak
