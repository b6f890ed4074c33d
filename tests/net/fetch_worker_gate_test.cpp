// Fetches made by a worker of a WorkerSlot, given its gate's stop token: stopping the worker
// aborts a transfer in flight at once; pausing it lets the transfer finish and holds the worker
// at its next safe point.
#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "base/worker_slot.h"
#include "net/http_fetch.h"
#include "net/plain_http_get.h"
#include "net/service_config.h"
#include "net/winhttp_fetch.h"
#include "tests/net/fetch_canned_server.h"
#include "tests/support/hang_guard.h"

namespace ak::test {
namespace {

using namespace std::chrono_literals;
using ak::testing::EventuallyTrue;
using ak::testing::MustEnd;

// What the server has done so far, for the test to wait on; and the go-ahead for the rest of
// an answer.
struct ServerSteps {
  std::mutex mutex;
  std::condition_variable changed;
  int partial_sent = 0;
  bool finish = false;

  void PartialSent() {
    std::lock_guard lock(mutex);
    ++partial_sent;
    changed.notify_all();
  }
  void AwaitPartials(int count) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return partial_sent >= count; });
  }
  void AllowFinish() {
    std::lock_guard lock(mutex);
    finish = true;
    changed.notify_all();
  }
  void AwaitFinish() {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return finish; });
  }
};

struct FetchKind {
  const char* name;
  // Whether a broken-off exchange reports status 0 (the page fetch keeps what it saw).
  bool zero_status_when_broken;
  // The fetch's body; `status` receives its status code.
  std::function<Bytes(const std::string& url, std::stop_token stop, long& status)> fetch;
};

const FetchKind kFetchKinds[] = {
    {"page fetch", false,
     [](const std::string& url, std::stop_token stop, long& status) {
       HttpFetchRequest request;
       request.url = url;
       request.stop = stop;
       HttpFetchResult result = PerformHttpFetch(request);
       status = result.status;
       return result.body;
     }},
    {"picture fetch", true,
     [](const std::string& url, std::stop_token stop, long& status) {
       WinHttpFetchRequest request;
       request.url = url;
       request.stop = stop;
       WinHttpFetchResult result = PerformWinHttpFetch(request);
       status = result.status;
       return result.body;
     }},
    {"plain get", true,
     [](const std::string& url, std::stop_token stop, long& status) {
       int code = 0;
       Bytes body = PlainHttpGet(url, &code, stop);
       status = code;
       return body;
     }},
};

class FetchWorkerGate : public ::testing::Test {
 protected:
  void SetUp() override { SetServiceConfig({}); }
  void TearDown() override { ReloadServiceConfig(); }
};

TEST_F(FetchWorkerGate, StopAbortsATransferInFlightAtOnce) {
  ServerSteps steps;
  CannedServer server([&](const std::string&, int, CannedServer::Connection& connection) {
    connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial");
    steps.PartialSent();
    connection.Wait(600s);  // the rest never comes; the server's end releases it
  });
  int round = 0;
  for (const FetchKind& kind : kFetchKinds) {
    WorkerSlot slot;
    Bytes body = "untouched";
    long status = -1;
    bool went_on = true;
    ASSERT_TRUE(slot.Start([&](WorkerGate& gate) {
      body = kind.fetch(server.Url("/"), gate.StopToken(), status);
      went_on = gate.Checkpoint();
    }));
    steps.AwaitPartials(++round);
    slot.Stop();
    MustEnd(kind.name, [&] { slot.Wait(); });
    EXPECT_TRUE(body.empty()) << kind.name;
    EXPECT_FALSE(went_on) << kind.name;
    if (kind.zero_status_when_broken) {
      EXPECT_EQ(status, 0) << kind.name;
    }
  }
}

TEST_F(FetchWorkerGate, PauseLetsATransferInFlightFinishAndHoldsAfterIt) {
  const std::string rest(5000, 'r');
  for (const FetchKind& kind : kFetchKinds) {
    ServerSteps steps;
    CannedServer server([&](const std::string&, int, CannedServer::Connection& connection) {
      connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 5007\r\n\r\npartial");
      steps.PartialSent();
      steps.AwaitFinish();
      connection.Send(rest);
    });
    WorkerSlot slot;
    std::atomic<WorkerGate*> gate_seen{nullptr};
    Bytes body;
    long status = -1;
    std::atomic<bool> fetched{false};
    bool went_on = false;
    ASSERT_TRUE(slot.Start([&](WorkerGate& gate) {
      gate_seen = &gate;
      body = kind.fetch(server.Url("/"), gate.StopToken(), status);
      fetched = true;
      went_on = gate.Checkpoint();
    }));
    steps.AwaitPartials(1);
    slot.Pause();
    steps.AllowFinish();
    ASSERT_TRUE(EventuallyTrue([&] { return gate_seen.load()->Holding(); })) << kind.name;
    EXPECT_TRUE(fetched) << kind.name;
    slot.Continue();
    MustEnd(kind.name, [&] { slot.Wait(); });
    EXPECT_TRUE(went_on) << kind.name;
    EXPECT_EQ(status, 200) << kind.name;
    EXPECT_EQ(body, "partial" + rest) << kind.name;
  }
}

}  // namespace
}  // namespace ak::test
