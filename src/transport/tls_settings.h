#pragma once
// How a mail client secures its connection: not at all, upgraded in the
// dialogue (POP3 "STLS", SMTP "STARTTLS"), or TLS from the first byte.
#include <string>

namespace qm {

enum TSecurity : int { kSecurityNone = 0, kSecurityStartTls = 1, kSecurityImplicitTls = 2 };

constexpr int kDefaultPop3TlsPort = 995;
constexpr int kDefaultSmtpTlsPort = 465;

struct cTlsSettings {
  int Security = kSecurityNone;
  // SHA-256 fingerprint of a certificate the user accepted for this server.
  std::string TrustedFingerprint;
  // A CA file trusted besides the system store; the default comes from the
  // environment (set only by tests).
  std::string ExtraCaFile;
};

// A stored Security value as one of the three; anything else is none.
int SecurityFromSetting(int value);

}  // namespace qm
