#pragma once
// A TCP client connection over POSIX sockets: name resolution for IPv4 and
// IPv6, connect bounded by a time-out, non-blocking I/O waited on with poll.
// Used by one thread at a time.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/socket_channel.h"

namespace qm {

class TcpConnection : public SocketChannel {
 public:
  ~TcpConnection() override;
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;

  // Connects to `host`, a name or a numeric address, trying every address it
  // resolves to until one answers. The whole attempt ends after `timeout_ms`.
  // On failure returns nullptr and sets `error` to a readable text.
  static std::unique_ptr<TcpConnection> Open(const std::string& host, int port,
                                             int timeout_ms, std::string& error);
  // Connects to the IPv4 address given as four bytes, most significant first.
  static std::unique_ptr<TcpConnection> OpenIPv4(uint32_t address, int port,
                                                 int timeout_ms, std::string& error);

  WaitResult WaitReadable(int timeout_ms) override;
  ReceiveResult Receive(char* buffer, size_t max) override;
  bool SendAll(std::string_view data, int timeout_ms) override;
  std::string LocalAddress() const override;
  void Close() override;
  std::string LastError() const override { return last_error_; }

 private:
  explicit TcpConnection(int fd) : fd_(fd) {}
  static std::unique_ptr<TcpConnection> Wrap(int fd);
  int fd_ = -1;
  std::string last_error_;
};

}  // namespace qm
