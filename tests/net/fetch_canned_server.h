#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace ak::test {

// A loopback HTTP server that answers with whatever bytes a test hands it, for the faults a real
// server would not produce. It records every request exactly as received (head and body).
class CannedServer {
 public:
  class Connection {
   public:
    // Writes bytes; false once the client has gone.
    bool Send(std::string_view bytes);
    // Closes the connection after the handler returns (the default keeps it open).
    void Close() { close_ = true; }
    // Waits until the server stops or the time passes; false when it stopped.
    bool Wait(std::chrono::milliseconds time);

   private:
    friend class CannedServer;
    Connection(CannedServer& server, int fd) : server_(server), fd_(fd) {}
    CannedServer& server_;
    int fd_;
    bool close_ = false;
  };

  // Called for each request, with its raw bytes and its 0-based number.
  using Handler = std::function<void(const std::string& request, int number, Connection&)>;

  explicit CannedServer(Handler handler);
  ~CannedServer();
  CannedServer(const CannedServer&) = delete;
  CannedServer& operator=(const CannedServer&) = delete;

  int port() const { return port_; }
  std::string Url(std::string_view path) const;
  std::vector<std::string> Requests() const;
  // Connections accepted so far.
  int Connections() const;

  // An answer with a status line, the given header lines and a Content-Length for the body.
  static std::string Answer(int status, std::string_view body,
                            std::vector<std::string> headerLines = {});

 private:
  void AcceptLoop();
  void Serve(int fd);
  bool ReadRequest(int fd, std::string& pending, std::string& request);

  Handler handler_;
  int listenFd_ = -1;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  std::vector<std::string> requests_;
  std::vector<int> openFds_;
  int accepted_ = 0;
  std::vector<std::thread> threads_;
  std::thread acceptThread_;
};

}  // namespace ak::test
