#pragma once
// The blocking, line-oriented TCP client under the POP3 and SMTP clients.
// One instance belongs to one task and is used only on that task's worker
// thread; its events fire on that thread.
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/socket_channel.h"
#include "platform/tls_channel.h"
#include "transport/lite_socket_text.h"
#include "transport/tls_settings.h"

namespace qm {

// The number is shown to the user after "(Type ".
enum class ErrorTypes : int {
  kReadTimeout = 0,       // a read waited TimeOut seconds without data
  kConnectionFailed = 1,  // connect failed, greeting refused, connection lost
  kReplyRefused = 8,      // a command reply had another code than expected
};

class TLiteSocket {
 public:
  using TNotifyEvent = std::function<void(TLiteSocket& sender)>;
  using TErrorEvent =
      std::function<void(TLiteSocket& sender, ErrorTypes err_type, const std::string& text)>;
  using TSocketTransferEvent = std::function<void(TLiteSocket& sender, const std::string& text)>;

  static constexpr const char* kTimeoutText = "A timeout has occured while reading from socket.";
  static constexpr const char* kClosedText = "Connection closed by the server";
  // A reply line longer than this without a line end fails the read.
  static constexpr size_t kMaxReplyLine = 65536;
  static constexpr int kPollSliceMs = 800;
  static constexpr int kSendWaitMs = 10000;
  static constexpr size_t kDefaultReceiveSize = 1024;

  TLiteSocket();
  virtual ~TLiteSocket();
  TLiteSocket(const TLiteSocket&) = delete;
  TLiteSocket& operator=(const TLiteSocket&) = delete;

  const std::string& Server() const { return server_; }
  void SetServer(std::string server) { server_ = std::move(server); }
  int Port() const { return port_; }
  void SetPort(int port) { port_ = port; }
  int TimeOut() const { return time_out_; }
  void SetTimeOut(int seconds) { time_out_ = seconds; }
  const std::string& WelcomingMessage() const { return welcoming_message_; }
  bool Connected() const { return connected_; }
  // May be set from another thread; the SMTP transfer stops before its next line.
  bool Cancelled() const { return cancelled_.load(); }
  void SetCancelled(bool value) { cancelled_.store(value); }
  // Bytes asked for by one receive (1,024 unless changed).
  size_t ReceiveSize() const { return receive_size_; }
  void SetReceiveSize(size_t bytes) { receive_size_ = bytes == 0 ? 1 : bytes; }
  // Message lines are gathered up to this many bytes per send; 0 sends each
  // line on its own. The dialogue is the same either way.
  size_t SendBufferSize() const { return send_buffer_size_; }
  void SetSendBufferSize(size_t bytes) { send_buffer_size_ = bytes; }

  // TLS: with implicit TLS the handshake follows the TCP connect; the
  // protocol clients call StartTLS for the upgrade in the dialogue.
  const cTlsSettings& Tls() const { return tls_; }
  void SetTls(cTlsSettings tls) { tls_ = std::move(tls); }
  // The last handshake; CertificateRejected with the certificate's details
  // when verification failed.
  const TlsHandshakeResult& LastTlsResult() const { return tls_result_; }
  // Runs the handshake on the open connection; reported and false on failure
  // (the connection is then gone).
  bool StartTLS();

  TNotifyEvent OnBeforeConnect;
  TNotifyEvent OnConnect;
  TNotifyEvent OnDisconnecting;
  TNotifyEvent OnDisconnect;
  TErrorEvent OnError;
  TSocketTransferEvent OnReadFromSocket;
  TSocketTransferEvent OnWriteToSocket;

  // True when the greeting's reply code is the protocol's welcome.
  virtual bool CheckWelcome() = 0;
  // Receives one chunk (replacing the receive buffer, or added to it with
  // `append`). With `parse_reply` it goes on receiving until the buffer holds
  // a whole first line and splits it into ReplyCode and ReplyText.
  virtual bool ReadFromSocket(bool parse_reply, bool append);
  virtual bool Connect();
  virtual void Disconnect();

  // Sends line + CR LF; true when every byte went out within the wait limit.
  bool WriteToSocket(std::string_view line);
  void EnableTransferEvents() { transfer_events_ = true; }
  void DisableTransferEvents() { transfer_events_ = false; }
  bool TransferEventsEnabled() const { return transfer_events_; }
  void ReportSocketError(const std::string& text, ErrorTypes err_type);

  std::string& ReceiveBuffer() { return receive_buffer_; }
  const std::string& ReplyCode() const { return reply_code_; }
  const std::string& ReplyText() const { return reply_text_; }

 protected:
  // True when the buffer holds a whole reply; ReadFromSocket with
  // `parse_reply` receives until it does. Here: a first line with its end.
  virtual bool ReplyComplete(const std::string& buffer) const;
  // Opens the byte channel to Server:Port; a TLS client overrides this to wrap
  // the plain connection. Sets `error` and returns nullptr on failure.
  virtual std::unique_ptr<SocketChannel> OpenChannel(std::string& error);
  std::unique_ptr<SocketChannel> WrapInTls(std::unique_ptr<SocketChannel> plain, std::string& error);
  // Fire the traffic events whatever the enabled state (for the short
  // markers logged in place of message contents and passwords).
  void FireReadFromSocket(const std::string& text);
  void FireWriteToSocket(const std::string& text);
  SocketChannel* Channel() { return channel_.get(); }
  // Sends bytes as they are (no CR LF added), within the wait limit.
  bool SendRaw(std::string_view bytes);
  // Queues line + CR LF for sending, sending the queue once it reaches
  // SendBufferSize; false when a send failed. No traffic event.
  bool QueueLine(std::string_view line);
  // Sends what is queued; false when that failed.
  bool FlushQueue();
  void DiscardQueue() { send_queue_.clear(); }

 private:
  // One receive into the buffer; reports and returns false on time-out,
  // closed connection or error.
  bool ReceiveChunk(bool append);
  void LoseConnection();

  std::string server_;
  int port_ = 0;
  int time_out_ = 30;
  std::string welcoming_message_;
  bool connected_ = false;
  std::atomic<bool> cancelled_{false};
  bool timed_out_ = false;
  bool transfer_events_ = true;
  std::string receive_buffer_;
  std::string reply_code_;
  std::string reply_text_;
  std::unique_ptr<SocketChannel> channel_;
  size_t receive_size_ = kDefaultReceiveSize;
  size_t send_buffer_size_ = 65536;
  std::string send_queue_;
  std::string chunk_;
  cTlsSettings tls_;
  TlsHandshakeResult tls_result_;
};

}  // namespace qm
