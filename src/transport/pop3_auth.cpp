// The POP3 client's TLS upgrade and the choice of login inside TLS.
#include "message/transfer_encodings.h"
#include "shell/text_utils.h"
#include "transport/lite_pop3.h"

namespace qm {

namespace {

bool HasCapability(const StringList& caps, const std::string& name) {
  for (const std::string& c : caps) {
    const std::string word = c.substr(0, c.find(' '));
    if (SameTextAscii(word, name)) return true;
  }
  return false;
}

bool OffersSaslPlain(const StringList& caps) {
  for (const std::string& c : caps) {
    if (!StartsWithText(c, "SASL ")) continue;
    size_t pos = 5;
    while (pos < c.size()) {
      size_t end = c.find(' ', pos);
      if (end == std::string::npos) end = c.size();
      if (SameTextAscii(c.substr(pos, end - pos), "PLAIN")) return true;
      pos = end + 1;
    }
  }
  return false;
}

}  // namespace

bool TLitePOP3::ReadCapabilities(StringList& capabilities) {
  capabilities.clear();
  WriteToSocket("CAPA");
  if (!ReadOKReply()) return false;
  std::string& buffer = ReceiveBuffer();
  for (;;) {
    if (buffer.size() >= 5 && buffer.compare(buffer.size() - 5, 5, "\r\n.\r\n") == 0) break;
    if (buffer.size() > kMaxReplyLine) {
      ReportSocketError("The server's capability list exceeds " + std::to_string(kMaxReplyLine) + " bytes.",
                        ErrorTypes::kConnectionFailed);
      return false;
    }
    if (!ReadFromSocket(false, true)) return false;
  }
  StringList lines = SplitLines(buffer.substr(0, buffer.size() - 3));
  for (size_t i = 1; i < lines.size(); ++i) capabilities.push_back(TrimBlanks(lines[i]));
  buffer.clear();
  return true;
}

bool TLitePOP3::Connect() {
  if (!TLiteSocket::Connect()) return false;
  if (Tls().Security != kSecurityStartTls) return true;
  StringList caps;
  if (!ReadCapabilities(caps) || !HasCapability(caps, "STLS")) {
    // Never carry on in plain text when TLS was asked for.
    ReportSocketError("The server " + Server() + " does not offer STLS; the connection is not secured.",
                      ErrorTypes::kConnectionFailed);
    TLiteSocket::Disconnect();
    return false;
  }
  WriteToSocket("STLS");
  if (!ReadOKReply()) {
    ReportSocketError("The server " + Server() + " refused STLS: " + ReceiveBuffer(),
                      ErrorTypes::kConnectionFailed);
    TLiteSocket::Disconnect();
    return false;
  }
  return StartTLS();
}

bool TLitePOP3::Login(const std::string& user, const std::string& password) {
  if (Tls().Security == kSecurityNone) return UserPassLogin(user, password);
  StringList caps;
  // A server without CAPA is taken to know USER, the command every server has.
  if (!ReadCapabilities(caps) || HasCapability(caps, "USER")) return UserPassLogin(user, password);
  if (OffersSaslPlain(caps)) return AuthPlainLogin(user, password);
  ReportSocketError("The server " + Server() + " offers neither USER nor SASL PLAIN to log in.",
                    ErrorTypes::kConnectionFailed);
  return false;
}

bool TLitePOP3::AuthPlainLogin(const std::string& user, const std::string& password) {
  std::string plain;
  plain += '\0';
  plain += user;
  plain += '\0';
  plain += password;
  DisableTransferEvents();
  WriteToSocket("AUTH PLAIN " + Base64EncodeLine(plain));
  FireWriteToSocket(std::string("AUTH PLAIN ") + kAuthPlaceholder);
  EnableTransferEvents();
  if (!ReadOKReply()) return false;
  if (OnLoggedIn) OnLoggedIn(*this);
  return true;
}

}  // namespace qm
