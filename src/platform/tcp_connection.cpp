#include "platform/tcp_connection.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qm {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

std::string ErrnoText(int code) { return std::strerror(code); }

std::string NumericAddress(const sockaddr* addr, socklen_t len) {
  char host[NI_MAXHOST] = {0};
  if (getnameinfo(addr, len, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0) return "";
  return host;
}

// One non-blocking connect, waited on until the deadline. Returns the socket
// or -1 with `error` set.
int ConnectOne(const sockaddr* addr, socklen_t len, Clock::time_point deadline,
               std::string& error) {
  int fd = socket(addr->sa_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP);
  if (fd < 0) {
    error = ErrnoText(errno);
    return -1;
  }
  if (connect(fd, addr, len) != 0) {
    if (errno != EINPROGRESS) {
      error = ErrnoText(errno);
      close(fd);
      return -1;
    }
    for (;;) {
      pollfd p{fd, POLLOUT, 0};
      int left = MillisecondsLeft(deadline);
      int n = poll(&p, 1, left);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        error = ErrnoText(errno);
        close(fd);
        return -1;
      }
      if (n == 0) {
        error = "Connection timed out";
        close(fd);
        return -1;
      }
      break;
    }
    int so_error = 0;
    socklen_t so_len = sizeof so_error;
    getsockopt(fd, SOL_SOCKET, SO_ERROR, &so_error, &so_len);
    if (so_error != 0) {
      error = ErrnoText(so_error);
      close(fd);
      return -1;
    }
  }
  return fd;
}

std::string Describe(const std::string& host, int port, const std::string& why) {
  return why + " (" + host + ":" + std::to_string(port) + ")";
}

}  // namespace

TcpConnection::~TcpConnection() { Close(); }

std::unique_ptr<TcpConnection> TcpConnection::Wrap(int fd) {
  // Commands are written whole and then answered: no reason to hold them back.
  int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return std::unique_ptr<TcpConnection>(new TcpConnection(fd));
}

std::unique_ptr<TcpConnection> TcpConnection::Open(const std::string& host, int port,
                                                   int timeout_ms, std::string& error) {
  auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  std::string service = std::to_string(port);
  int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
  if (rc != 0) {
    error = Describe(host, port, rc == EAI_SYSTEM ? ErrnoText(errno) : gai_strerror(rc));
    return nullptr;
  }
  std::string why = "No address found";
  int fd = -1;
  for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
    fd = ConnectOne(a->ai_addr, a->ai_addrlen, deadline, why);
    if (fd < 0 && MillisecondsLeft(deadline) == 0) break;
  }
  freeaddrinfo(found);
  if (fd < 0) {
    error = Describe(host, port, why);
    return nullptr;
  }
  return Wrap(fd);
}

std::unique_ptr<TcpConnection> TcpConnection::OpenIPv4(uint32_t address, int port,
                                                       int timeout_ms, std::string& error) {
  auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  sockaddr_in sin{};
  sin.sin_family = AF_INET;
  sin.sin_port = htons(static_cast<uint16_t>(port));
  sin.sin_addr.s_addr = htonl(address);
  std::string why;
  int fd = ConnectOne(reinterpret_cast<const sockaddr*>(&sin), sizeof sin, deadline, why);
  if (fd < 0) {
    error = Describe(NumericAddress(reinterpret_cast<const sockaddr*>(&sin), sizeof sin), port, why);
    return nullptr;
  }
  return Wrap(fd);
}

WaitResult TcpConnection::WaitReadable(int timeout_ms) {
  if (fd_ < 0) {
    last_error_ = "Not connected";
    return WaitResult::kFailed;
  }
  auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    pollfd p{fd_, POLLIN, 0};
    int n = poll(&p, 1, MillisecondsLeft(deadline));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      last_error_ = ErrnoText(errno);
      return WaitResult::kFailed;
    }
    return n == 0 ? WaitResult::kTimedOut : WaitResult::kReady;
  }
}

ReceiveResult TcpConnection::Receive(char* buffer, size_t max) {
  if (fd_ < 0) {
    last_error_ = "Not connected";
    return {ReceiveResult::kFailed, 0};
  }
  for (;;) {
    ssize_t n = recv(fd_, buffer, max, MSG_DONTWAIT);
    if (n > 0) return {ReceiveResult::kData, static_cast<size_t>(n)};
    if (n == 0) return {ReceiveResult::kClosed, 0};
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return {ReceiveResult::kWouldBlock, 0};
    last_error_ = ErrnoText(errno);
    return {ReceiveResult::kFailed, 0};
  }
}

bool TcpConnection::SendAll(std::string_view data, int timeout_ms) {
  if (fd_ < 0) {
    last_error_ = "Not connected";
    return false;
  }
  auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!data.empty()) {
    ssize_t n = send(fd_, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      data.remove_prefix(static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      last_error_ = ErrnoText(errno);
      return false;
    }
    pollfd p{fd_, POLLOUT, 0};
    int left = MillisecondsLeft(deadline);
    if (left == 0) {
      last_error_ = "Send timed out";
      return false;
    }
    int r = poll(&p, 1, left);
    if (r < 0 && errno != EINTR) {
      last_error_ = ErrnoText(errno);
      return false;
    }
  }
  return true;
}

std::string TcpConnection::LocalAddress() const {
  if (fd_ < 0) return "";
  sockaddr_storage ss{};
  socklen_t len = sizeof ss;
  if (getsockname(fd_, reinterpret_cast<sockaddr*>(&ss), &len) != 0) return "";
  return NumericAddress(reinterpret_cast<const sockaddr*>(&ss), len);
}

void TcpConnection::Close() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
}

}  // namespace qm
