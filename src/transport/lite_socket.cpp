#include "transport/lite_socket.h"

#include <algorithm>
#include <chrono>

#include "platform/tcp_connection.h"

namespace qm {

namespace {
using Clock = std::chrono::steady_clock;
}

TLiteSocket::TLiteSocket() = default;

TLiteSocket::~TLiteSocket() {
  // Closed without events: the owner may already be gone.
  if (channel_) channel_->Close();
}

std::unique_ptr<SocketChannel> TLiteSocket::OpenChannel(std::string& error) {
  int timeout_ms = std::max(time_out_, 0) * 1000;
  unsigned int address = 0;
  std::unique_ptr<SocketChannel> plain;
  if (IsIPAddress(server_, &address))
    plain = TcpConnection::OpenIPv4(address, port_, timeout_ms, error);
  else
    plain = TcpConnection::Open(server_, port_, timeout_ms, error);
  if (!plain || tls_.Security != kSecurityImplicitTls) return plain;
  return WrapInTls(std::move(plain), error);
}

bool TLiteSocket::Connect() {
  if (channel_) {
    channel_->Close();
    channel_.reset();
  }
  connected_ = false;
  tls_result_ = TlsHandshakeResult();
  if (OnBeforeConnect) OnBeforeConnect(*this);
  std::string error;
  channel_ = OpenChannel(error);
  if (!channel_) {
    ReportSocketError(error.empty() ? "Could not connect" : error, ErrorTypes::kConnectionFailed);
    return false;
  }
  if (!ReadFromSocket(true, false)) return false;
  welcoming_message_ = receive_buffer_;
  if (CheckWelcome()) {
    connected_ = true;
    if (OnConnect) OnConnect(*this);
    return true;
  }
  ReportSocketError(receive_buffer_, ErrorTypes::kConnectionFailed);
  return false;
}

void TLiteSocket::Disconnect() {
  if (OnDisconnecting) OnDisconnecting(*this);
  bool was_open = channel_ != nullptr;
  if (channel_) {
    channel_->Close();
    channel_.reset();
  }
  connected_ = false;
  if (was_open && OnDisconnect) OnDisconnect(*this);
}

void TLiteSocket::LoseConnection() {
  if (channel_) {
    channel_->Close();
    channel_.reset();
  }
  connected_ = false;
  if (OnDisconnect) OnDisconnect(*this);
}

bool TLiteSocket::ReceiveChunk(bool append) {
  if (!channel_) {
    ReportSocketError("Not connected", ErrorTypes::kConnectionFailed);
    return false;
  }
  // The time-out counts from the start of each wait for a chunk.
  timed_out_ = false;
  auto deadline = Clock::now() + std::chrono::seconds(std::max(time_out_, 0));
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    int slice = static_cast<int>(std::clamp<long long>(left, 0, kPollSliceMs));
    WaitResult waited = channel_->WaitReadable(slice);
    if (waited == WaitResult::kFailed) {
      std::string why = channel_->LastError();
      LoseConnection();
      ReportSocketError(why, ErrorTypes::kConnectionFailed);
      return false;
    }
    if (waited == WaitResult::kTimedOut) {
      if (Clock::now() >= deadline) {
        timed_out_ = true;
        ReportSocketError(kTimeoutText, ErrorTypes::kReadTimeout);
        return false;
      }
      continue;
    }
    chunk_.resize(receive_size_);
    ReceiveResult got = channel_->Receive(chunk_.data(), chunk_.size());
    switch (got.kind) {
      case ReceiveResult::kData:
        if (append)
          receive_buffer_.append(chunk_.data(), got.count);
        else
          receive_buffer_.assign(chunk_.data(), got.count);
        return true;
      case ReceiveResult::kWouldBlock:
        continue;
      case ReceiveResult::kClosed:
        LoseConnection();
        ReportSocketError(kClosedText, ErrorTypes::kConnectionFailed);
        return false;
      case ReceiveResult::kFailed: {
        std::string why = channel_->LastError();
        LoseConnection();
        ReportSocketError(why, ErrorTypes::kConnectionFailed);
        return false;
      }
    }
  }
}

bool TLiteSocket::ReadFromSocket(bool parse_reply, bool append) {
  if (!ReceiveChunk(append)) return false;
  if (parse_reply) {
    size_t line_length = 0;
    // Iterative: a server that never ends its line must not grow the stack.
    while (!ReplyComplete(receive_buffer_)) {
      if (receive_buffer_.size() > kMaxReplyLine) {
        ReportSocketError("The server's reply line exceeds " + std::to_string(kMaxReplyLine) +
                              " bytes without a line end.",
                          ErrorTypes::kConnectionFailed);
        return false;
      }
      if (!ReceiveChunk(true)) return false;
    }
    if (!FindFirstLineEnd(receive_buffer_, line_length)) line_length = receive_buffer_.size();
    SplitReplyLine(std::string_view(receive_buffer_).substr(0, line_length), reply_code_, reply_text_);
  } else {
    reply_code_.clear();
    reply_text_ = receive_buffer_;
  }
  if (transfer_events_ && OnReadFromSocket) OnReadFromSocket(*this, receive_buffer_);
  return true;
}

bool TLiteSocket::ReplyComplete(const std::string& buffer) const {
  size_t line_length = 0;
  return FindFirstLineEnd(buffer, line_length);
}

bool TLiteSocket::SendRaw(std::string_view bytes) {
  return channel_ && channel_->SendAll(bytes, kSendWaitMs);
}

bool TLiteSocket::QueueLine(std::string_view line) {
  send_queue_.append(line);
  send_queue_.append("\r\n");
  if (send_queue_.size() < send_buffer_size_ && send_buffer_size_ > 0) return true;
  return FlushQueue();
}

bool TLiteSocket::FlushQueue() {
  if (send_queue_.empty()) return true;
  bool sent = SendRaw(send_queue_);
  send_queue_.clear();
  return sent;
}

bool TLiteSocket::WriteToSocket(std::string_view line) {
  std::string out;
  out.reserve(line.size() + 2);
  out.append(line);
  out.append("\r\n");
  bool sent = SendRaw(out);
  if (transfer_events_ && OnWriteToSocket) OnWriteToSocket(*this, std::string(line));
  return sent;
}

void TLiteSocket::ReportSocketError(const std::string& text, ErrorTypes err_type) {
  if (OnError) OnError(*this, err_type, text);
}

void TLiteSocket::FireReadFromSocket(const std::string& text) {
  if (OnReadFromSocket) OnReadFromSocket(*this, text);
}

void TLiteSocket::FireWriteToSocket(const std::string& text) {
  if (OnWriteToSocket) OnWriteToSocket(*this, text);
}

}  // namespace qm
