#include "transport/lite_smtp.h"

#include <cctype>

namespace qm {

std::string TLiteSMTP::HeloAddress(const std::string& local_address) {
  if (IsIPAddress(local_address)) return "[" + local_address + "]";
  // A bare IPv6 address is no valid HELO argument; servers expect the literal.
  if (local_address.find(':') != std::string::npos) return "[IPv6:" + local_address + "]";
  return local_address;
}

bool TLiteSMTP::SmtpReplyComplete(std::string_view buffer) {
  if (buffer.empty() || buffer.back() != '\n') return false;
  std::string_view body = buffer.substr(0, buffer.size() - 1);
  size_t start = body.rfind('\n');
  std::string_view last = start == std::string_view::npos ? body : body.substr(start + 1);
  bool continued = last.size() >= 4 && last[3] == '-' && std::isdigit(static_cast<unsigned char>(last[0])) &&
                   std::isdigit(static_cast<unsigned char>(last[1])) &&
                   std::isdigit(static_cast<unsigned char>(last[2]));
  return !continued;
}

bool TLiteSMTP::Connect() {
  if (!TLiteSocket::Connect()) return false;
  return ExtendedGreeting();
}

bool TLiteSMTP::SendHelo() {
  extensions_.clear();
  std::string local = Channel() ? Channel()->LocalAddress() : std::string();
  WriteToSocket("HELO " + HeloAddress(local));
  if (!ReadFromSocket(true, false)) return false;
  if (ReplyCode() != "250") {
    ReportSocketError(ReceiveBuffer(), ErrorTypes::kConnectionFailed);
    return false;
  }
  return true;
}

void TLiteSMTP::Disconnect() {
  if (Channel()) {
    WriteToSocket("QUIT");
    ReadFromSocket(true, false);
  }
  TLiteSocket::Disconnect();
}

bool TLiteSMTP::ExpectReply(const std::string& code) {
  if (!ReadFromSocket(true, false)) return false;
  if (ReplyCode() != code) {
    ReportSocketError(ReceiveBuffer(), ErrorTypes::kReplyRefused);
    return false;
  }
  return true;
}

bool TLiteSMTP::SendMessage(const StringList& lines, const std::string& from,
                            const StringList& recipients) {
  WriteToSocket("MAIL FROM:<" + from + ">");
  if (!ExpectReply("250")) return false;
  for (const std::string& r : recipients) {
    WriteToSocket("RCPT TO:<" + r + ">");
    if (!ExpectReply("250")) return false;
  }
  WriteToSocket("DATA");
  if (!ExpectReply("354")) return false;

  DisableTransferEvents();
  FireWriteToSocket("[Message body being sent...]");
  const int total = static_cast<int>(lines.size());
  int n = 0;
  std::string stuffed;
  for (const std::string& line : lines) {
    ++n;
    if (Cancelled()) {
      DiscardQueue();
      EnableTransferEvents();
      return false;
    }
    bool sent;
    if (!line.empty() && line[0] == '.') {
      stuffed.assign(1, '.');
      stuffed += line;
      sent = QueueLine(stuffed);
    } else {
      sent = QueueLine(line);
    }
    if (!sent) {
      EnableTransferEvents();
      ReportSocketError(kWriteFailedText, ErrorTypes::kReplyRefused);
      return false;
    }
    if (OnSendProgress) OnSendProgress(*this, n, total);
  }
  if (!FlushQueue()) {
    EnableTransferEvents();
    ReportSocketError(kWriteFailedText, ErrorTypes::kReplyRefused);
    return false;
  }
  FireWriteToSocket("[Message body sent]");
  EnableTransferEvents();

  WriteToSocket("\r\n.");
  if (!ExpectReply("250")) return false;
  WriteToSocket("RSET");
  return ExpectReply("250");
}

}  // namespace qm
