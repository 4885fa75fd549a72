#include "accounts/account_settings.h"

#include <cerrno>

#include "platform/file_error.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "shell/password_encoding.h"

namespace qm {

namespace {

int NumberOr(const std::string& text, int def) {
  int v;
  return ParseSettingsInteger(text, v) ? v : def;
}

// 0, 1 or 2; anything else stored there means no TLS, as a missing key does.
int SecurityValue(int stored) { return stored == 1 || stored == 2 ? stored : 0; }

}  // namespace

std::string AccountDir(const std::string& account) { return MailDir + account + "/"; }

std::string AccountSettingsFile(const std::string& account) { return AccountDir(account) + "Settings.ini"; }

bool IsValidAccountName(const std::string& account) {
  if (account.empty() || account == "." || account == "..") return false;
  if (account.find('/') != std::string::npos || account.find('\0') != std::string::npos) return false;
  return ExtractFileExt(account) != ".FLD";
}

cAccountSettings LoadAccount(const std::string& account) {
  cAccountSettings s;
  if (!IsValidAccountName(account)) return s;
  IniFile ini(AccountSettingsFile(account));
  IniFile::UpdateScope batch(ini);  // reads one parse of the file
  s.Name = ini.ReadString("User", "Name", "");
  s.Email = ini.ReadString("User", "Email", "");
  s.ReplyAddress = ini.ReadString("User", "ReplyAddress", "");
  s.Organization = ini.ReadString("User", "Organization", "");
  s.Signature = ini.ReadString("User", "Signature", "");

  s.POP3Addr = ini.ReadString("POP3", "Addr", "");
  s.POP3UserName = ini.ReadString("POP3", "UserName", "");
  s.POP3Password = DecodePassword(ini.ReadString("POP3", "Password", ""));
  s.POP3Security = SecurityValue(ini.ReadInteger("POP3", "Security", 0));
  s.POP3TrustedCertificate = ini.ReadString("POP3", "TrustedCertificate", "");
  s.POP3Port = std::to_string(
      ini.ReadInteger("POP3", "Port", s.POP3Security == 2 ? kDefaultPop3ImplicitTlsPort : kDefaultPop3Port));
  s.POP3Timeout = std::to_string(ini.ReadInteger("POP3", "Timeout", kDefaultTimeout));

  s.SMTPAddr = ini.ReadString("SMTP", "Addr", "");
  s.SMTPSecurity = SecurityValue(ini.ReadInteger("SMTP", "Security", 0));
  s.SMTPTrustedCertificate = ini.ReadString("SMTP", "TrustedCertificate", "");
  s.SMTPPort = std::to_string(
      ini.ReadInteger("SMTP", "Port", s.SMTPSecurity == 2 ? kDefaultSmtpImplicitTlsPort : kDefaultSmtpPort));
  s.SMTPTimeout = std::to_string(ini.ReadInteger("SMTP", "Timeout", kDefaultTimeout));
  s.SMTPAuthentificate = ini.ReadBool("SMTP", "Authentificate", false);
  s.SMTPUserName = ini.ReadString("SMTP", "UserName", "");
  s.SMTPPassword = DecodePassword(ini.ReadString("SMTP", "Password", ""));

  s.LeaveMailOnServer = ini.ReadBool("Server", "LeaveMailOnServer", false);
  s.DoNotCheckMail = ini.ReadBool("Server", "DoNotCheckMail", false);
  s.HideWhenComposing = ini.ReadBool("Server", "HideWhenComposing", false);
  return s;
}

void SaveAccount(const std::string& account, const cAccountSettings& s) {
  // A name such as "../x" would put the settings outside the mail directory.
  if (!IsValidAccountName(account)) throw FileError("Invalid account name " + account, EINVAL);
  const std::string file = AccountSettingsFile(account);
  if (!FileExists(file)) {
    const std::string dir = AccountDir(account);
    if (!DirectoryExists(dir) && !ForceDirectories(dir))
      throw FileError::FromErrno("Cannot create the directory", dir, errno);
  }
  IniFile ini(file);
  IniFile::UpdateScope batch(ini);  // one replacement of the file for all keys
  ini.WriteString("User", "Name", s.Name);
  ini.WriteString("User", "Email", s.Email);
  ini.WriteString("User", "ReplyAddress", s.ReplyAddress);
  ini.WriteString("User", "Organization", s.Organization);
  ini.WriteString("User", "Signature", s.Signature);

  ini.WriteString("POP3", "Addr", s.POP3Addr);
  ini.WriteString("POP3", "UserName", s.POP3UserName);
  ini.WriteString("POP3", "Password", EncodePassword(s.POP3Password));
  ini.WriteString("POP3", "Port", s.POP3Port);
  ini.WriteString("POP3", "Timeout", s.POP3Timeout);
  ini.WriteInteger("POP3", "Security", s.POP3Security);
  // An accepted certificate is kept unless replaced; the window never clears it.
  if (!s.POP3TrustedCertificate.empty()) ini.WriteString("POP3", "TrustedCertificate", s.POP3TrustedCertificate);

  ini.WriteString("SMTP", "Addr", s.SMTPAddr);
  ini.WriteString("SMTP", "Port", s.SMTPPort);
  ini.WriteString("SMTP", "Timeout", s.SMTPTimeout);
  ini.WriteInteger("SMTP", "Security", s.SMTPSecurity);
  if (!s.SMTPTrustedCertificate.empty()) ini.WriteString("SMTP", "TrustedCertificate", s.SMTPTrustedCertificate);
  ini.WriteBool("SMTP", "Authentificate", s.SMTPAuthentificate);
  ini.WriteString("SMTP", "UserName", s.SMTPUserName);
  ini.WriteString("SMTP", "Password", EncodePassword(s.SMTPPassword));

  ini.WriteBool("Server", "LeaveMailOnServer", s.LeaveMailOnServer);
  ini.WriteBool("Server", "DoNotCheckMail", s.DoNotCheckMail);
  ini.WriteBool("Server", "HideWhenComposing", s.HideWhenComposing);
}

void TrustAccountCertificate(const std::string& account, const std::string& section,
                             const std::string& fingerprint) {
  if (!IsValidAccountName(account)) throw FileError("Invalid account name " + account, EINVAL);
  const std::string dir = AccountDir(account);
  if (!DirectoryExists(dir) && !ForceDirectories(dir))
    throw FileError::FromErrno("Cannot create the directory", dir, errno);
  IniFile ini(AccountSettingsFile(account));
  ini.WriteString(section, "TrustedCertificate", fingerprint);
}

int Pop3PortOf(const cAccountSettings& s) {
  return NumberOr(s.POP3Port, s.POP3Security == 2 ? kDefaultPop3ImplicitTlsPort : kDefaultPop3Port);
}
int Pop3TimeoutOf(const cAccountSettings& s) { return NumberOr(s.POP3Timeout, kDefaultTimeout); }
int SmtpPortOf(const cAccountSettings& s) {
  return NumberOr(s.SMTPPort, s.SMTPSecurity == 2 ? kDefaultSmtpImplicitTlsPort : kDefaultSmtpPort);
}
int SmtpTimeoutOf(const cAccountSettings& s) { return NumberOr(s.SMTPTimeout, kDefaultTimeout); }

std::string AccountSenderAddress(const std::string& account) {
  if (!IsValidAccountName(account)) return "";
  IniFile ini(AccountSettingsFile(account));
  return ini.ReadString("User", "Email", ini.ReadString("User", "ReplyAddress", ""));
}

}  // namespace qm
