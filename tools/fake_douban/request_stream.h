#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "tools/fake_douban/request_log.h"

namespace ak::fake {

// Follows the bytes a client sends on one connection, request after request (bodies by
// Content-Length or chunked), and hands each request head to `onHead` exactly as received. What
// goes on to the inner server is the same stream with the head rewritten: Accept-Encoding is
// dropped (answers stay uncompressed and byte-exact) and "X-Fake-Douban-Scheme" says which port
// the request came in on; a client's own X-Fake-Douban-* headers are dropped.
class RequestStream {
 public:
  RequestStream(std::string scheme, std::function<void(RequestHead&)> onHead)
      : scheme_(std::move(scheme)), onHead_(std::move(onHead)) {}

  // Bytes from the client in, bytes for the inner server out.
  std::string Feed(std::string_view data);

 private:
  enum class State { kHead, kBody, kChunkSize, kChunkData, kTrailer };

  std::string TakeHead(size_t headLength);

  std::string scheme_;
  std::function<void(RequestHead&)> onHead_;
  State state_ = State::kHead;
  std::string pending_;
  size_t remaining_ = 0;
};

// Parses a request head (request line and header lines, ending in an empty line).
bool ParseRequestHead(std::string_view text, RequestHead& head);

}  // namespace ak::fake
