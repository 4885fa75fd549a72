#include "transport/tls_settings.h"

#include "platform/tls_channel.h"
#include <algorithm>

#include "transport/lite_socket.h"

namespace qm {

int SecurityFromSetting(int value) {
  return value == kSecurityStartTls || value == kSecurityImplicitTls ? value : kSecurityNone;
}

std::unique_ptr<SocketChannel> TLiteSocket::WrapInTls(std::unique_ptr<SocketChannel> plain, std::string& error) {
  TlsOptions options;
  options.Host = server_;
  options.TrustedFingerprint = tls_.TrustedFingerprint;
  options.ExtraCaFile = tls_.ExtraCaFile.empty() ? ExtraCaFileFromEnvironment() : tls_.ExtraCaFile;
  options.TimeoutMs = std::max(time_out_, 1) * 1000;
  auto secured = TlsChannel::Handshake(std::move(plain), options, tls_result_);
  if (!secured) {
    error = tls_result_.Error;
    return nullptr;
  }
  return secured;
}

bool TLiteSocket::StartTLS() {
  if (!channel_) {
    ReportSocketError("Not connected", ErrorTypes::kConnectionFailed);
    return false;
  }
  // Anything the server sent before the upgrade is not to be trusted after it.
  receive_buffer_.clear();
  send_queue_.clear();
  std::string error;
  channel_ = WrapInTls(std::move(channel_), error);
  if (!channel_) {
    connected_ = false;
    ReportSocketError(error, ErrorTypes::kConnectionFailed);
    if (OnDisconnect) OnDisconnect(*this);
    return false;
  }
  return true;
}

}  // namespace qm
