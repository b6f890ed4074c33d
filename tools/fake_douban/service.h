#pragma once

#include <httplib.h>

#include <string>
#include <utility>
#include <vector>

#include "tools/fake_douban/faults.h"
#include "tools/fake_douban/fixture.h"
#include "tools/fake_douban/jpeg_maker.h"

namespace ak::fake {

// What one request is answered with, before faults that shape the sending (cut-off) apply.
struct Answer {
  int status = 200;
  std::string contentType = "text/html; charset=utf-8";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
};

// The API keys of today's service (--today): the one it serves, and a shared one it blocks.
inline constexpr const char* kTodayApiKey = "fake-valid-key";
inline constexpr const char* kTodayBlockedApiKey = "fake-blocked-key";

// The fake service: the web host, the API host and the picture hosts, told apart by the Host
// header, so one server answers for all of them on both ports. The front listeners say which
// port a request came in on in the X-Fake-Douban-Scheme header.
class FakeService {
 public:
  FakeService(Fixture fixture, FaultOptions faults)
      : fixture_(std::move(fixture)),
        pictureHosts_(fixture_.PictureHosts()),
        faults_(std::move(faults)) {}

  void Install(httplib::Server& server);
  const Fixture& fixture() const { return fixture_; }

 private:
  void Handle(const httplib::Request& req, httplib::Response& res);
  Answer Route(const httplib::Request& req, const std::string& host, bool https);
  Answer WebHost(const httplib::Request& req);
  Answer ApiHost(const httplib::Request& req, bool https);
  Answer PictureHost(const httplib::Request& req, const std::string& host);
  bool IsPictureHost(const std::string& host) const;
  // A picture under today's paths (--today): Referer of the web host needed, a session cookie
  // for the original.
  Answer TodayPicture(const httplib::Request& req, const std::string& host, PictureSize size,
                      const std::string& id);
  bool FromWebHost(const httplib::Request& req) const;

  Fixture fixture_;
  std::vector<std::string> pictureHosts_;
  FaultState faults_;
  JpegCache jpegs_;
};

}  // namespace ak::fake
