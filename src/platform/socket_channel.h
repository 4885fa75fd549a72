#pragma once
// The byte I/O under the line-oriented mail clients. A plain TCP connection
// implements it today; a TLS layer can wrap one later without the dialogue
// code noticing.
#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

enum class WaitResult { kReady, kTimedOut, kFailed };

struct ReceiveResult {
  enum Kind { kData, kClosed, kWouldBlock, kFailed } kind = kFailed;
  size_t count = 0;  // bytes received when kind is kData
};

class SocketChannel {
 public:
  virtual ~SocketChannel() = default;
  // Waits until a Receive will not block (data, end of stream or an error).
  virtual WaitResult WaitReadable(int timeout_ms) = 0;
  // Receives what is there, at most `max` bytes, without blocking.
  virtual ReceiveResult Receive(char* buffer, size_t max) = 0;
  // Sends every byte, waiting at most `timeout_ms` in all; false otherwise.
  virtual bool SendAll(std::string_view data, int timeout_ms) = 0;
  // Numeric local address of the connection ("127.0.0.1", "::1").
  virtual std::string LocalAddress() const = 0;
  virtual void Close() = 0;
  // The platform's text for the last failure.
  virtual std::string LastError() const = 0;
};

}  // namespace qm
