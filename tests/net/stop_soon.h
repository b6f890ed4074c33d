#pragma once

#include <chrono>
#include <stop_token>
#include <thread>

namespace ak::test {

// A thread that requests a stop on `source` a little later, while a fetch is under way; it is
// joined when it goes out of scope.
inline std::jthread StopSoon(std::stop_source& source) {
  return std::jthread([&source] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    source.request_stop();
  });
}

}  // namespace ak::test
