#pragma once
// An account's Settings.ini as a plain record: the account properties window
// binds its fields to it, the tasks and the compose window read it.
#include <string>

#include "platform/text_lines.h"

namespace qm {

constexpr int kDefaultPop3Port = 110;
constexpr int kDefaultSmtpPort = 25;
constexpr int kDefaultTimeout = 15;
// With implicit TLS (Security 2) a missing port key means these.
constexpr int kDefaultPop3ImplicitTlsPort = 995;
constexpr int kDefaultSmtpImplicitTlsPort = 465;

struct cAccountSettings {
  // [User]
  std::string Name;
  std::string Email;
  std::string ReplyAddress;
  std::string Organization;
  std::string Signature;
  // [POP3]; the password in plain text, stored encoded
  std::string POP3Addr;
  std::string POP3UserName;
  std::string POP3Password;
  // Ports and time-outs are kept as the text typed in the window and saved
  // that way; the tasks read them as numbers (Pop3PortOf and friends).
  std::string POP3Port = std::to_string(kDefaultPop3Port);
  std::string POP3Timeout = std::to_string(kDefaultTimeout);
  // 0 none, 1 upgrade in the dialogue, 2 implicit TLS.
  int POP3Security = 0;
  // SHA-256 fingerprint of a certificate the user accepted; empty: none.
  std::string POP3TrustedCertificate;
  // [SMTP]
  std::string SMTPAddr;
  std::string SMTPPort = std::to_string(kDefaultSmtpPort);
  std::string SMTPTimeout = std::to_string(kDefaultTimeout);
  int SMTPSecurity = 0;
  std::string SMTPTrustedCertificate;
  // The login for sending; the password in plain text, stored encoded.
  bool SMTPAuthentificate = false;
  std::string SMTPUserName;
  std::string SMTPPassword;
  // [Server]
  bool LeaveMailOnServer = false;
  bool DoNotCheckMail = false;
  bool HideWhenComposing = false;
};

// MailDir + name + "/".
std::string AccountDir(const std::string& account);
std::string AccountSettingsFile(const std::string& account);

// A name that can be an account directory: not empty, not "." or "..", no
// "/" or NUL, and no ".FLD" extension (that would be a folder, not an account).
bool IsValidAccountName(const std::string& account);

// Every key with its default; a missing or unreadable file gives all defaults.
cAccountSettings LoadAccount(const std::string& account);

// Creates the account directory when Settings.ini does not exist yet and
// writes every key the window shows. Throws qm::FileError when the name is
// not usable or the file cannot be written.
void SaveAccount(const std::string& account, const cAccountSettings& settings);

// Records that the user accepted a certificate for the account's POP3 or SMTP
// server (`section` "POP3" or "SMTP"). Throws qm::FileError like SaveAccount.
void TrustAccountCertificate(const std::string& account, const std::string& section,
                             const std::string& fingerprint);

// Numbers as the tasks see them: a text that is not an integer gives the default.
int Pop3PortOf(const cAccountSettings& s);
int Pop3TimeoutOf(const cAccountSettings& s);
int SmtpPortOf(const cAccountSettings& s);
int SmtpTimeoutOf(const cAccountSettings& s);

// The sender's address for the compose window: [User] Email, or ReplyAddress
// when the Email key is absent.
std::string AccountSenderAddress(const std::string& account);

}  // namespace qm
