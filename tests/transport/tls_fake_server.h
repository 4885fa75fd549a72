#pragma once
// A scripted server on 127.0.0.1 that can speak TLS, for dialogues the real
// TLS servers will not hold (Dovecot always offers USER, for one). It accepts
// one connection; the script may start in plain text and upgrade with
// StartTls, or begin with it for implicit TLS. Every wait is bounded.
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
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

class TlsFakePeer {
 public:
  TlsFakePeer(int fd, std::mutex& mutex, std::vector<std::string>& lines) : fd_(fd), mutex_(mutex), lines_(lines) {}
  ~TlsFakePeer() {
    if (ssl_) SSL_free(ssl_);
    if (ctx_) SSL_CTX_free(ctx_);
  }
  TlsFakePeer(const TlsFakePeer&) = delete;
  TlsFakePeer& operator=(const TlsFakePeer&) = delete;

  // The server side of the handshake with a PEM certificate and key.
  bool StartTls(const std::string& cert, const std::string& key) {
    pending_.clear();
    // A client that never answers must not hold the handshake for ever.
    timeval limit{5, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ctx_ = SSL_CTX_new(TLS_server_method());
    if (!ctx_ || SSL_CTX_use_certificate_file(ctx_, cert.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_use_PrivateKey_file(ctx_, key.c_str(), SSL_FILETYPE_PEM) != 1)
      return false;
    ssl_ = SSL_new(ctx_);
    SSL_set_fd(ssl_, fd_);
    return SSL_accept(ssl_) == 1;
  }
  bool Secured() const { return ssl_ != nullptr; }

  bool Send(std::string_view bytes) {
    while (!bytes.empty()) {
      long n = ssl_ ? SSL_write(ssl_, bytes.data(), static_cast<int>(bytes.size()))
                    : send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
  }
  // One line without its CR LF, recorded with "TLS " before it when it came
  // inside TLS; nullopt when the client closed or went silent.
  std::optional<std::string> ReadLine(int timeout_ms = 5000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
      size_t lf = pending_.find('\n');
      if (lf != std::string::npos) {
        std::string line = pending_.substr(0, lf);
        pending_.erase(0, lf + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back((ssl_ ? "TLS " : "") + line);
        return line;
      }
      if (!Fill(deadline)) return std::nullopt;
    }
  }
  bool Expect(std::string_view prefix) {
    auto line = ReadLine();
    return line && line->compare(0, prefix.size(), prefix) == 0;
  }
  // Waits until the client closes (or the limit passes).
  void WaitForClose(int timeout_ms = 5000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (Fill(deadline)) pending_.clear();
  }

 private:
  bool Fill(std::chrono::steady_clock::time_point deadline) {
    char buf[4096];
    while (std::chrono::steady_clock::now() < deadline) {
      if (!ssl_ || SSL_pending(ssl_) == 0) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0) continue;
      }
      long n = ssl_ ? SSL_read(ssl_, buf, sizeof buf) : recv(fd_, buf, sizeof buf, 0);
      if (n <= 0) {
        if (ssl_ && SSL_get_error(ssl_, static_cast<int>(n)) == SSL_ERROR_WANT_READ) continue;
        return false;
      }
      pending_.append(buf, static_cast<size_t>(n));
      return true;
    }
    return false;
  }

  int fd_;
  std::mutex& mutex_;
  std::vector<std::string>& lines_;
  std::string pending_;
  SSL_CTX* ctx_ = nullptr;
  SSL* ssl_ = nullptr;
};

class TlsFakeServer {
 public:
  using Script = std::function<void(TlsFakePeer&)>;

  explicit TlsFakeServer(Script script) : script_(std::move(script)) {
    listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ok_ = bind(listen_fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && listen(listen_fd_, 1) == 0;
    socklen_t len = sizeof a;
    getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~TlsFakeServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listen_fd_ >= 0) close(listen_fd_);
  }
  TlsFakeServer(const TlsFakeServer&) = delete;
  TlsFakeServer& operator=(const TlsFakeServer&) = delete;

  bool ok() const { return ok_; }
  int port() const { return port_; }
  bool WaitDone(int timeout_ms = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!done_ && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return done_;
  }
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
      {
        TlsFakePeer peer(fd, mutex_, lines_);
        script_(peer);
      }
      close(fd);
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
