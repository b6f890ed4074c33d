#pragma once

#include <openssl/types.h>

#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "tools/fake_douban/request_log.h"

namespace ak::fake {

// A public port of the double. It accepts connections on 127.0.0.1, ends TLS itself when it has
// a TLS context, and relays each connection to the inner HTTP server, reading the request heads
// on the way (for the request log, with the client's header order) and telling the inner server
// which port the request came in on. cpp-httplib keeps headers in a sorted map, which is why the
// heads are read here rather than in its handlers.
class FrontListener {
 public:
  FrontListener(std::string scheme, SSL_CTX* tls, int innerPort, RequestLog& log)
      : scheme_(std::move(scheme)), tls_(tls), innerPort_(innerPort), log_(log) {}
  ~FrontListener();
  FrontListener(const FrontListener&) = delete;
  FrontListener& operator=(const FrontListener&) = delete;

  // Binds 127.0.0.1:port (0 picks a free port) and starts accepting.
  bool Start(int port, std::string& error);
  int port() const { return port_; }
  // Stops accepting, cuts the open connections and waits for their threads.
  void Stop();

 private:
  void AcceptLoop();
  void Relay(int clientFd);

  std::string scheme_;
  SSL_CTX* tls_;
  int innerPort_;
  RequestLog& log_;
  int listenFd_ = -1;
  int port_ = 0;
  std::thread acceptThread_;
  std::mutex mutex_;
  std::condition_variable idle_;
  std::set<int> openFds_;
  bool stopping_ = false;
};

// A server-side TLS context using the given certificate and key.
SSL_CTX* MakeServerTlsContext(X509* cert, EVP_PKEY* key);

}  // namespace ak::fake
