// The SMTP client's greeting: EHLO (HELO for servers that refuse it), STARTTLS
// and AUTH PLAIN/LOGIN.
#include "message/transfer_encodings.h"
#include "shell/text_utils.h"
#include "transport/lite_smtp.h"

namespace qm {

namespace {

// The mechanisms of an "AUTH ..." (or old "AUTH=...") extension line.
bool OffersMechanism(const StringList& extensions, const std::string& mechanism) {
  for (const std::string& e : extensions) {
    if (!StartsWithText(e, "AUTH ") && !StartsWithText(e, "AUTH=")) continue;
    size_t pos = 5;
    while (pos < e.size()) {
      size_t end = e.find(' ', pos);
      if (end == std::string::npos) end = e.size();
      if (SameTextAscii(e.substr(pos, end - pos), mechanism)) return true;
      pos = end + 1;
    }
  }
  return false;
}

bool HasExtension(const StringList& extensions, const std::string& name) {
  for (const std::string& e : extensions)
    if (SameTextAscii(e.substr(0, e.find(' ')), name)) return true;
  return false;
}

}  // namespace

bool TLiteSMTP::SendEhlo(bool* refused) {
  extensions_.clear();
  if (refused) *refused = false;
  std::string local = Channel() ? Channel()->LocalAddress() : std::string();
  WriteToSocket("EHLO " + HeloAddress(local));
  if (!ReadFromSocket(true, false)) return false;
  if (ReplyCode() != "250") {
    if (refused) {
      *refused = true;
      return false;
    }
    ReportSocketError(ReceiveBuffer(), ErrorTypes::kConnectionFailed);
    return false;
  }
  StringList lines = SplitLines(ReceiveBuffer());
  // The first line greets; the others name one extension each.
  for (size_t i = 1; i < lines.size(); ++i)
    if (lines[i].size() > 4) extensions_.push_back(TrimBlanks(lines[i].substr(4)));
  return true;
}

bool TLiteSMTP::ExtendedGreeting() {
  bool refused = false;
  if (!SendEhlo(&refused)) {
    if (!refused) return false;
    // An old server without extensions is fine while nothing needs them;
    // TLS or a login asked for must not quietly go missing.
    if (Tls().Security == kSecurityNone && !authenticate_) return SendHelo();
    ReportSocketError("The server " + Server() + " refused EHLO: " + ReceiveBuffer(), ErrorTypes::kConnectionFailed);
    return false;
  }
  if (Tls().Security == kSecurityStartTls) {
    if (!HasExtension(extensions_, "STARTTLS")) {
      // Never carry on in plain text when TLS was asked for.
      ReportSocketError("The server " + Server() + " does not offer STARTTLS; the connection is not secured.",
                        ErrorTypes::kConnectionFailed);
      TLiteSocket::Disconnect();
      return false;
    }
    WriteToSocket("STARTTLS");
    if (!ReadFromSocket(true, false)) return false;
    if (ReplyCode() != "220") {
      ReportSocketError("The server " + Server() + " refused STARTTLS: " + ReceiveBuffer(),
                        ErrorTypes::kConnectionFailed);
      TLiteSocket::Disconnect();
      return false;
    }
    if (!StartTLS()) return false;
    if (!SendEhlo(nullptr)) return false;
  }
  return !authenticate_ || Authenticate();
}

bool TLiteSMTP::Authenticate() {
  auto refused = [this] {
    ReportSocketError("Authentication failed on " + Server() + ": " + ReceiveBuffer(), ErrorTypes::kReplyRefused);
    return false;
  };
  // A secret line: sent, but only a marker reaches the traffic log.
  auto send_secret = [this](const std::string& line, const std::string& shown) {
    DisableTransferEvents();
    WriteToSocket(line);
    FireWriteToSocket(shown);
    EnableTransferEvents();
  };
  if (OffersMechanism(extensions_, "PLAIN")) {
    std::string plain;
    plain += '\0';
    plain += user_;
    plain += '\0';
    plain += password_;
    send_secret("AUTH PLAIN " + Base64EncodeLine(plain), std::string("AUTH PLAIN ") + kAuthPlaceholder);
    if (!ReadFromSocket(true, false)) return false;
    return ReplyCode() == "235" || refused();
  }
  if (OffersMechanism(extensions_, "LOGIN")) {
    WriteToSocket("AUTH LOGIN");
    if (!ReadFromSocket(true, false)) return false;
    if (ReplyCode() != "334") return refused();
    send_secret(Base64EncodeLine(user_), kAuthPlaceholder);
    if (!ReadFromSocket(true, false)) return false;
    if (ReplyCode() != "334") return refused();
    send_secret(Base64EncodeLine(password_), kAuthPlaceholder);
    if (!ReadFromSocket(true, false)) return false;
    return ReplyCode() == "235" || refused();
  }
  ReportSocketError("The server " + Server() + " offers neither AUTH PLAIN nor AUTH LOGIN.",
                    ErrorTypes::kReplyRefused);
  return false;
}

}  // namespace qm
