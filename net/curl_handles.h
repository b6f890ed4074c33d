#pragma once

#include <curl/curl.h>

namespace ak {

// The libcurl handles of the calling thread, made on first use and kept until the thread ends:
// one multi handle that owns the thread's open connections, and two easy handles that run
// through it, one for fetches that use the shared cookie jar and one for fetches that must never
// see a cookie of libcurl's own (its cookie engine, once switched on, cannot be switched off).
// A handle is never used by two threads.
struct ThreadCurlHandles {
  CURLM* multi = nullptr;
  CURL* jarEasy = nullptr;
  CURL* plainEasy = nullptr;

  bool valid() const { return multi && jarEasy && plainEasy; }
};

ThreadCurlHandles& CurrentThreadCurlHandles();

}  // namespace ak
