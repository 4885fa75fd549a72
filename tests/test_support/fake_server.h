#pragma once
// A scripted TCP server on loopback for what real mail servers will not do:
// replies in odd chunks, silence, refusals, broken connections, endless lines.
// It accepts one connection and runs the script on its own thread; every wait
// is bounded so a failing test cannot hang.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace qm {

class FakePeer {
 public:
  FakePeer(int fd, std::atomic<bool>& stop, std::mutex& mutex, std::vector<std::string>& lines)
      : fd_(fd), stop_(stop), mutex_(mutex), lines_(lines) {}

  // Sends bytes as they are; false when the client has gone.
  bool Send(std::string_view bytes) {
    while (!bytes.empty()) {
      ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
  }
  // Sends each piece on its own, pausing between them so the client receives
  // them as separate chunks.
  bool SendChunks(const std::vector<std::string>& pieces, int pause_ms = 60) {
    for (size_t i = 0; i < pieces.size(); ++i) {
      if (i > 0) Pause(pause_ms);
      if (!Send(pieces[i])) return false;
    }
    return true;
  }
  void Pause(int ms) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stop_ && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  // One line from the client without its CR LF (recorded for the test), or
  // nullopt when the client closed or nothing came in time.
  std::optional<std::string> ReadLine(int timeout_ms = 5000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
      size_t lf = pending_.find('\n');
      if (lf != std::string::npos) {
        std::string line = pending_.substr(0, lf);
        pending_.erase(0, lf + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(line);
        return line;
      }
      if (!Fill(deadline)) return std::nullopt;
    }
  }
  // Reads a line and tells whether it starts with `prefix`.
  bool Expect(std::string_view prefix, int timeout_ms = 5000) {
    auto line = ReadLine(timeout_ms);
    return line && line->compare(0, prefix.size(), prefix) == 0;
  }
  // Raw bytes up to and including `marker` (for message data).
  std::optional<std::string> ReadUntil(std::string_view marker, int timeout_ms = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
      size_t at = pending_.find(marker);
      if (at != std::string::npos) {
        std::string data = pending_.substr(0, at + marker.size());
        pending_.erase(0, at + marker.size());
        return data;
      }
      if (!Fill(deadline)) return std::nullopt;
    }
  }
  // Stays silent until the client closes (or the limit passes).
  void WaitForClose(int timeout_ms = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (Fill(deadline)) pending_.clear();
  }
  void Close() {
    if (fd_ >= 0) {
      close(fd_);
      fd_ = -1;
    }
  }

 private:
  bool Fill(std::chrono::steady_clock::time_point deadline) {
    char buf[4096];
    while (!stop_ && fd_ >= 0 && std::chrono::steady_clock::now() < deadline) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      ssize_t n = recv(fd_, buf, sizeof buf, 0);
      if (n <= 0) return false;
      pending_.append(buf, static_cast<size_t>(n));
      return true;
    }
    return false;
  }

  int fd_;
  std::atomic<bool>& stop_;
  std::mutex& mutex_;
  std::vector<std::string>& lines_;
  std::string pending_;
};

class FakeServer {
 public:
  using Script = std::function<void(FakePeer&)>;

  // Listens on 127.0.0.1 (or ::1 with `ipv6`) on a free port.
  explicit FakeServer(Script script, bool ipv6 = false) : script_(std::move(script)) {
    listen_fd_ = socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (ipv6) {
      sockaddr_in6 a{};
      a.sin6_family = AF_INET6;
      a.sin6_addr = in6addr_loopback;
      ok_ = bind(listen_fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
      socklen_t len = sizeof a;
      getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&a), &len);
      port_ = ntohs(a.sin6_port);
    } else {
      sockaddr_in a{};
      a.sin_family = AF_INET;
      a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      ok_ = bind(listen_fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
      socklen_t len = sizeof a;
      getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&a), &len);
      port_ = ntohs(a.sin_port);
    }
    ok_ = ok_ && listen(listen_fd_, 4) == 0;
    thread_ = std::thread([this] { Run(); });
  }
  ~FakeServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listen_fd_ >= 0) close(listen_fd_);
  }
  FakeServer(const FakeServer&) = delete;
  FakeServer& operator=(const FakeServer&) = delete;

  bool ok() const { return ok_; }
  int port() const { return port_; }
  // Waits until the script has returned.
  bool WaitDone(int timeout_ms = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!done_ && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done_;
  }
  // Every line the client sent, in order.
  std::vector<std::string> Received() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }

 private:
  void Run() {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ok_ && !stop_ && std::chrono::steady_clock::now() < deadline) {
      pollfd p{listen_fd_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      int one = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      FakePeer peer(fd, stop_, mutex_, lines_);
      script_(peer);
      peer.Close();
      break;
    }
    done_ = true;
  }

  Script script_;
  int listen_fd_ = -1;
  int port_ = 0;
  bool ok_ = false;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  std::mutex mutex_;
  std::vector<std::string> lines_;
  std::thread thread_;
};

}  // namespace qm
