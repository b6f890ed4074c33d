#pragma once

#include <functional>
#include <string>

namespace ak {

// A cookie the embedded browser holds, as the web-access layer's cookie jar takes it.
struct BrowserCookie {
  std::string domain;
  std::string path;
  std::string name;
  std::string value;
  bool secure = false;
  bool httpOnly = false;
  // Seconds since 1970; 0 for a cookie that lasts for the session.
  long long expires = 0;
  // True when the browser dropped the cookie.
  bool removed = false;
};

// Receives every cookie the browser holds when it starts and each later change, on the window's
// thread.
using BrowserCookieSink = std::function<void(const BrowserCookie&)>;

}  // namespace ak
