#include "tools/fake_douban/front_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/fake_douban/request_stream.h"

namespace ak::fake {
namespace {

int ConnectLoopback(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}

bool SendAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// The client side of a connection: a plain socket or a TLS session over it.
struct ClientSide {
  int fd;
  SSL* ssl;

  ssize_t Read(char* buffer, size_t size) const {
    if (ssl == nullptr) return ::recv(fd, buffer, size, 0);
    const int n = SSL_read(ssl, buffer, static_cast<int>(size));
    return n > 0 ? n : -1;
  }
  bool Write(const char* data, size_t size) const {
    if (ssl == nullptr) return SendAll(fd, data, size);
    while (size > 0) {
      const int n = SSL_write(ssl, data, static_cast<int>(size));
      if (n <= 0) return false;
      data += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }
  bool HasBuffered() const { return ssl != nullptr && SSL_pending(ssl) > 0; }
};

}  // namespace

SSL_CTX* MakeServerTlsContext(X509* cert, EVP_PKEY* key) {
  SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
  if (ctx == nullptr) return nullptr;
  if (SSL_CTX_use_certificate(ctx, cert) != 1 || SSL_CTX_use_PrivateKey(ctx, key) != 1) {
    SSL_CTX_free(ctx);
    return nullptr;
  }
  return ctx;
}

FrontListener::~FrontListener() { Stop(); }

bool FrontListener::Start(int port, std::string& error) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof addr;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, 128) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
    error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
    return false;
  }
  port_ = ntohs(addr.sin_port);
  acceptThread_ = std::thread([this] { AcceptLoop(); });
  return true;
}

void FrontListener::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_ || listenFd_ < 0) return;
    stopping_ = true;
    // shutdown() wakes the accept() and every relay blocked on its sockets.
    ::shutdown(listenFd_, SHUT_RDWR);
    for (int fd : openFds_) ::shutdown(fd, SHUT_RDWR);
  }
  if (acceptThread_.joinable()) acceptThread_.join();
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return openFds_.empty(); });
  ::close(listenFd_);
  listenFd_ = -1;
}

void FrontListener::AcceptLoop() {
  for (;;) {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) {
      ::close(fd);
      return;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    openFds_.insert(fd);
    // Detached: a long run makes many short connections; Stop() waits on openFds_ instead.
    std::thread([this, fd] { Relay(fd); }).detach();
  }
}

void FrontListener::Relay(int clientFd) {
  ClientSide client{clientFd, nullptr};
  int innerFd = -1;
  bool ok = true;
  if (tls_ != nullptr) {
    client.ssl = SSL_new(tls_);
    ok = client.ssl != nullptr && SSL_set_fd(client.ssl, clientFd) == 1 &&
         SSL_accept(client.ssl) == 1;
  }
  if (ok) innerFd = ConnectLoopback(innerPort_);
  RequestStream stream(scheme_, [this](RequestHead& head) { log_.Record(head); });
  bool clientOpen = true;
  char buffer[16384];
  while (ok && innerFd >= 0) {
    // A closed client side leaves the poll set (a negative descriptor is skipped).
    pollfd fds[2] = {{clientOpen ? clientFd : -1, POLLIN, 0}, {innerFd, POLLIN, 0}};
    if (!client.HasBuffered() && ::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    // The server's side first: once it has closed the connection (its keep-alive time is
    // over), a request arriving meanwhile must not be read, logged and lost. The connection
    // closes unread, as a server's own socket would, and the client sends the request again
    // on a new one, where it is logged once.
    if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
      const ssize_t n = ::recv(innerFd, buffer, sizeof buffer, 0);
      if (n <= 0 || !client.Write(buffer, static_cast<size_t>(n))) break;
    }
    if (clientOpen && (client.HasBuffered() || (fds[0].revents & (POLLIN | POLLHUP | POLLERR)))) {
      const ssize_t n = client.Read(buffer, sizeof buffer);
      if (n <= 0) {
        // The client is done sending; let the answer still in progress reach it.
        clientOpen = false;
        ::shutdown(innerFd, SHUT_WR);
      } else {
        const std::string out = stream.Feed(std::string_view(buffer, static_cast<size_t>(n)));
        if (!SendAll(innerFd, out.data(), out.size())) break;
      }
    }
  }
  if (client.ssl != nullptr) {
    if (ok) SSL_shutdown(client.ssl);
    SSL_free(client.ssl);
  }
  if (innerFd >= 0) ::close(innerFd);
  std::lock_guard<std::mutex> lock(mutex_);
  ::close(clientFd);
  openFds_.erase(clientFd);
  idle_.notify_all();
}

}  // namespace ak::fake
