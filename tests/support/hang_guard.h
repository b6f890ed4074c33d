#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>

namespace ak::testing {

// How long a step that should end at once may take before it counts as hung. Generous on
// purpose: it only tells a hang from a busy machine, it never measures speed.
inline constexpr std::chrono::seconds kHangLimit{60};

// Runs `body` on its own thread and waits for it. A body still running after `limit` has hung:
// it cannot be abandoned safely (it uses the test's objects), so the test program ends with a
// message naming `what`.
template <typename Body>
void MustEnd(const char* what, Body body, std::chrono::seconds limit = kHangLimit) {
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> ended = done->get_future();
  std::thread runner([done, &body] {
    body();
    done->set_value();
  });
  if (ended.wait_for(limit) != std::future_status::ready) {
    std::fprintf(stderr, "HANG: %s did not end within %lld s\n", what,
                 static_cast<long long>(limit.count()));
    std::abort();
  }
  runner.join();
}

// Waits until `condition` holds, giving the processor away between looks. False (after the hang
// limit) when it never did.
template <typename Condition>
bool EventuallyTrue(Condition condition, std::chrono::seconds limit = kHangLimit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::yield();
  }
  return true;
}

}  // namespace ak::testing
