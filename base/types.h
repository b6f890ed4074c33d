#pragma once

#include <string>

namespace ak {

// Text inside the program is GBK (code page 936) held byte for byte; lengths and positions count
// bytes. Byte arrays (page and picture bodies) travel in the same container, NUL bytes included.
using Text = std::string;
using Bytes = std::string;

}  // namespace ak
