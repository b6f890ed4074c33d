#include "tests/net/fetch_canned_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace ak::test {

bool CannedServer::Connection::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

bool CannedServer::Connection::Wait(std::chrono::milliseconds time) {
  std::unique_lock lock(server_.mutex_);
  return !server_.stopped_.wait_for(lock, time, [this] { return server_.stopping_; });
}

CannedServer::CannedServer(Handler handler) : handler_(std::move(handler)) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  int yes = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, 16) != 0) {
    std::abort();
  }
  socklen_t length = sizeof address;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  acceptThread_ = std::thread([this] { AcceptLoop(); });
}

CannedServer::~CannedServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (int fd : openFds_) ::shutdown(fd, SHUT_RDWR);
  }
  stopped_.notify_all();
  ::shutdown(listenFd_, SHUT_RDWR);
  acceptThread_.join();
  ::close(listenFd_);
  for (std::thread& thread : threads_) thread.join();
}

std::string CannedServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<std::string> CannedServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

int CannedServer::Connections() const {
  std::lock_guard lock(mutex_);
  return accepted_;
}

std::string CannedServer::Answer(int status, std::string_view body,
                                 std::vector<std::string> headerLines) {
  std::string answer = "HTTP/1.1 " + std::to_string(status) + " Canned\r\n";
  for (const std::string& line : headerLines) answer += line + "\r\n";
  answer += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  answer += body;
  return answer;
}

void CannedServer::AcceptLoop() {
  for (;;) {
    pollfd waiting{listenFd_, POLLIN, 0};
    ::poll(&waiting, 1, 100);
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    if (!(waiting.revents & POLLIN)) continue;
    const int fd = ::accept(listenFd_, nullptr, nullptr);
    if (fd < 0) continue;
    openFds_.push_back(fd);
    ++accepted_;
    threads_.emplace_back([this, fd] { Serve(fd); });
  }
}

bool CannedServer::ReadRequest(int fd, std::string& pending, std::string& request) {
  char buffer[16384];
  size_t headEnd;
  while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) return false;
    pending.append(buffer, static_cast<size_t>(got));
  }
  size_t bodyLength = 0;
  std::string head = pending.substr(0, headEnd);
  std::transform(head.begin(), head.end(), head.begin(), ::tolower);
  const size_t lengthAt = head.find("\r\ncontent-length:");
  if (lengthAt != std::string::npos)
    bodyLength = std::strtoul(head.c_str() + lengthAt + 17, nullptr, 10);
  const size_t total = headEnd + 4 + bodyLength;
  while (pending.size() < total) {
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) return false;
    pending.append(buffer, static_cast<size_t>(got));
  }
  request = pending.substr(0, total);
  pending.erase(0, total);
  return true;
}

void CannedServer::Serve(int fd) {
  std::string pending;
  std::string request;
  Connection connection(*this, fd);
  while (!connection.close_ && ReadRequest(fd, pending, request)) {
    int number;
    {
      std::lock_guard lock(mutex_);
      number = static_cast<int>(requests_.size());
      requests_.push_back(request);
    }
    handler_(request, number, connection);
  }
  std::lock_guard lock(mutex_);
  std::erase(openFds_, fd);
  ::shutdown(fd, SHUT_RDWR);
  ::close(fd);
}

}  // namespace ak::test
