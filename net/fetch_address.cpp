#include "net/fetch_address.h"

namespace ak {

std::string TransferAddress(std::string_view address) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(address.size());
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace ak
