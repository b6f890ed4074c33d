#include "tools/fake_douban/request_stream.h"

#include <strings.h>

#include <cstdlib>

namespace ak::fake {
namespace {

bool NameIs(std::string_view name, std::string_view expected) {
  return name.size() == expected.size() &&
         strncasecmp(name.data(), expected.data(), expected.size()) == 0;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

}  // namespace

bool ParseRequestHead(std::string_view text, RequestHead& head) {
  size_t lineEnd = text.find("\r\n");
  if (lineEnd == std::string_view::npos) return false;
  const std::string_view requestLine = text.substr(0, lineEnd);
  const size_t sp1 = requestLine.find(' ');
  const size_t sp2 = requestLine.rfind(' ');
  if (sp1 == std::string_view::npos || sp2 == sp1) return false;
  head.method = std::string(requestLine.substr(0, sp1));
  head.target = std::string(requestLine.substr(sp1 + 1, sp2 - sp1 - 1));
  head.version = std::string(requestLine.substr(sp2 + 1));
  head.headers.clear();
  size_t pos = lineEnd + 2;
  while (pos < text.size()) {
    lineEnd = text.find("\r\n", pos);
    if (lineEnd == std::string_view::npos || lineEnd == pos) break;
    const std::string_view line = text.substr(pos, lineEnd - pos);
    const size_t colon = line.find(':');
    if (colon != std::string_view::npos) {
      head.headers.emplace_back(std::string(line.substr(0, colon)),
                                std::string(Trim(line.substr(colon + 1))));
    }
    pos = lineEnd + 2;
  }
  return true;
}

std::string RequestStream::TakeHead(size_t headLength) {
  RequestHead head;
  head.scheme = scheme_;
  const bool parsed = ParseRequestHead(std::string_view(pending_).substr(0, headLength), head);
  pending_.erase(0, headLength);
  if (!parsed) return {};  // not HTTP: forward nothing, the inner server times the client out
  onHead_(head);

  std::string out = head.method + " " + head.target + " " + head.version + "\r\n";
  remaining_ = 0;
  bool chunked = false;
  for (const auto& [name, value] : head.headers) {
    if (NameIs(name, "Accept-Encoding") || name.starts_with("X-Fake-Douban-") ||
        name.starts_with("x-fake-douban-")) {
      continue;
    }
    if (NameIs(name, "Content-Length")) remaining_ = std::strtoul(value.c_str(), nullptr, 10);
    if (NameIs(name, "Transfer-Encoding") && value.find("chunked") != std::string::npos) {
      chunked = true;
    }
    out += name + ": " + value + "\r\n";
  }
  out += "X-Fake-Douban-Scheme: " + scheme_ + "\r\n\r\n";
  state_ = chunked ? State::kChunkSize : (remaining_ > 0 ? State::kBody : State::kHead);
  return out;
}

std::string RequestStream::Feed(std::string_view data) {
  pending_.append(data);
  std::string out;
  for (;;) {
    switch (state_) {
      case State::kHead: {
        const size_t end = pending_.find("\r\n\r\n");
        if (end == std::string::npos) return out;
        out += TakeHead(end + 4);
        break;
      }
      case State::kBody:
      case State::kChunkData: {
        if (pending_.empty()) return out;
        const size_t take = std::min(remaining_, pending_.size());
        out.append(pending_, 0, take);
        pending_.erase(0, take);
        remaining_ -= take;
        if (remaining_ == 0) state_ = state_ == State::kBody ? State::kHead : State::kChunkSize;
        break;
      }
      case State::kChunkSize: {
        const size_t end = pending_.find("\r\n");
        if (end == std::string::npos) return out;
        const size_t size = std::strtoul(pending_.c_str(), nullptr, 16);
        out.append(pending_, 0, end + 2);
        pending_.erase(0, end + 2);
        remaining_ = size + 2;  // the chunk and its CR LF
        state_ = size == 0 ? State::kTrailer : State::kChunkData;
        break;
      }
      case State::kTrailer: {
        const size_t end = pending_.find("\r\n");
        if (end == std::string::npos) return out;
        out.append(pending_, 0, end + 2);
        pending_.erase(0, end + 2);
        if (end == 0) state_ = State::kHead;
        break;
      }
    }
  }
}

}  // namespace ak::fake
