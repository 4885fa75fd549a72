#include "accounts/account_settings.h"

#include <gtest/gtest.h>

#include "accounts/test_paths.h"
#include "platform/file_error.h"
#include "platform/file_system.h"
#include "shell/ini_file.h"
#include "shell/password_encoding.h"

namespace qm {
namespace {

using AccountSettingsTest = DataDirTest;

TEST_F(AccountSettingsTest, NewAccountShowsEveryDefault) {
  cAccountSettings s = LoadAccount("Home");
  EXPECT_EQ(s.POP3Port, "110");
  EXPECT_EQ(s.SMTPPort, "25");
  EXPECT_EQ(s.POP3Timeout, "15");
  EXPECT_EQ(s.SMTPTimeout, "15");
  EXPECT_TRUE(s.Name.empty() && s.Email.empty() && s.ReplyAddress.empty() && s.Organization.empty() &&
              s.Signature.empty() && s.POP3Addr.empty() && s.POP3UserName.empty() && s.POP3Password.empty() &&
              s.SMTPAddr.empty() && s.SMTPUserName.empty() && s.SMTPPassword.empty());
  EXPECT_FALSE(s.SMTPAuthentificate || s.LeaveMailOnServer || s.DoNotCheckMail || s.HideWhenComposing);
  EXPECT_FALSE(PathExists(AccountDir("Home"))) << "reading must create nothing";
}

TEST_F(AccountSettingsTest, SaveCreatesTheAccountAndReadsBackEveryShownField) {
  cAccountSettings s;
  s.Name = "Ann Example";
  s.Email = "ann@example.org";
  s.ReplyAddress = "reply@example.org";
  s.Organization = "Example Ltd";
  s.Signature = "Work";
  s.POP3Addr = "pop.example.org";
  s.POP3UserName = "ann";
  s.POP3Password = "s3cr=t, x";
  s.POP3Port = "995";
  s.POP3Timeout = "30";
  s.SMTPAddr = "smtp.example.org";
  s.SMTPPort = "587";
  s.SMTPTimeout = "45";
  s.LeaveMailOnServer = true;
  s.DoNotCheckMail = true;
  s.HideWhenComposing = true;
  s.SMTPAuthentificate = true;
  s.SMTPUserName = "smtp-ann";
  s.SMTPPassword = "p,=w d";
  SaveAccount("Home", s);

  ASSERT_TRUE(FileExists(MailDir + "Home/Settings.ini"));
  cAccountSettings r = LoadAccount("Home");
  EXPECT_EQ(r.Name, s.Name);
  EXPECT_EQ(r.Email, s.Email);
  EXPECT_EQ(r.ReplyAddress, s.ReplyAddress);
  EXPECT_EQ(r.Organization, s.Organization);
  EXPECT_EQ(r.Signature, s.Signature);
  EXPECT_EQ(r.POP3Addr, s.POP3Addr);
  EXPECT_EQ(r.POP3UserName, s.POP3UserName);
  EXPECT_EQ(r.POP3Password, s.POP3Password);
  EXPECT_EQ(r.POP3Port, "995");
  EXPECT_EQ(r.POP3Timeout, "30");
  EXPECT_EQ(r.SMTPAddr, s.SMTPAddr);
  EXPECT_EQ(r.SMTPPort, "587");
  EXPECT_EQ(r.SMTPTimeout, "45");
  EXPECT_TRUE(r.LeaveMailOnServer && r.DoNotCheckMail && r.HideWhenComposing);
  EXPECT_TRUE(r.SMTPAuthentificate);
  EXPECT_EQ(r.SMTPUserName, "smtp-ann");
  EXPECT_EQ(r.SMTPPassword, "p,=w d");

  IniFile ini(AccountSettingsFile("Home"));
  EXPECT_EQ(ini.ReadString("Server", "LeaveMailOnServer", ""), "1");
  EXPECT_EQ(ini.ReadString("POP3", "Password", "") == s.POP3Password, false) << "stored encoded";
  EXPECT_EQ(ini.ReadString("SMTP", "Authentificate", ""), "1");
  EXPECT_EQ(ini.ReadString("SMTP", "Password", ""), EncodePassword("p,=w d")) << "stored encoded";

  // Switched off again, the login is kept for the next time it is switched on.
  r.SMTPAuthentificate = false;
  SaveAccount("Home", r);
  EXPECT_EQ(ini.ReadString("SMTP", "Authentificate", ""), "0");
  cAccountSettings off = LoadAccount("Home");
  EXPECT_FALSE(off.SMTPAuthentificate);
  EXPECT_EQ(off.SMTPUserName, "smtp-ann");
  EXPECT_EQ(off.SMTPPassword, "p,=w d");
}

TEST_F(AccountSettingsTest, SecurityAndTrustedCertificatesRoundTripForBothServers) {
  const struct {
    int pop3, smtp;
  } cases[] = {{0, 0}, {1, 2}, {2, 1}, {2, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.pop3) + "/" + std::to_string(c.smtp));
    RemoveFile(AccountSettingsFile("Home"));
    cAccountSettings s;
    s.POP3Security = c.pop3;
    s.SMTPSecurity = c.smtp;
    s.POP3TrustedCertificate = "AA:BB";
    s.SMTPTrustedCertificate = "CC:DD";
    SaveAccount("Home", s);
    cAccountSettings r = LoadAccount("Home");
    EXPECT_EQ(r.POP3Security, c.pop3);
    EXPECT_EQ(r.SMTPSecurity, c.smtp);
    EXPECT_EQ(r.POP3TrustedCertificate, "AA:BB");
    EXPECT_EQ(r.SMTPTrustedCertificate, "CC:DD");
    // The window saves its ports as shown, so the saved ones stand.
    EXPECT_EQ(r.POP3Port, "110");
    EXPECT_EQ(r.SMTPPort, "25");
  }

  // A certificate trusted from the task window while the properties window
  // was open (it read none) survives that window's save.
  TrustAccountCertificate("Home", "SMTP", "EE:FF");
  cAccountSettings stale;
  SaveAccount("Home", stale);
  EXPECT_EQ(LoadAccount("Home").SMTPTrustedCertificate, "EE:FF");
  EXPECT_EQ(LoadAccount("Home").POP3TrustedCertificate, "AA:BB");
}

TEST_F(AccountSettingsTest, MissingPortsFollowTheSecurityAndOddSecurityValuesMeanNone) {
  const struct {
    const char* file;
    int pop3_security, smtp_security;
    const char* pop3_port;
    const char* smtp_port;
  } cases[] = {
      {"", 0, 0, "110", "25"},
      {"[POP3]\r\nSecurity=2\r\n[SMTP]\r\nSecurity=2\r\n", 2, 2, "995", "465"},
      {"[POP3]\r\nSecurity=1\r\n[SMTP]\r\nSecurity=1\r\n", 1, 1, "110", "25"},
      {"[POP3]\r\nSecurity=2\r\nPort=1995\r\n[SMTP]\r\nSecurity=2\r\nPort=x\r\n", 2, 2, "1995", "465"},
      {"[POP3]\r\nSecurity=7\r\n[SMTP]\r\nSecurity=-1\r\n", 0, 0, "110", "25"},
      {"[POP3]\r\nSecurity=tls\r\n", 0, 0, "110", "25"},
  };
  ASSERT_TRUE(ForceDirectories(AccountDir("Home")));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    WriteFileAtomically(AccountSettingsFile("Home"), c.file);
    cAccountSettings r = LoadAccount("Home");
    EXPECT_EQ(r.POP3Security, c.pop3_security);
    EXPECT_EQ(r.SMTPSecurity, c.smtp_security);
    EXPECT_EQ(r.POP3Port, c.pop3_port);
    EXPECT_EQ(r.SMTPPort, c.smtp_port);
    EXPECT_EQ(Pop3PortOf(r), std::stoi(c.pop3_port));
    EXPECT_EQ(SmtpPortOf(r), std::stoi(c.smtp_port));
  }
}

TEST_F(AccountSettingsTest, PasswordsAreStoredAsCommaJoinedNumbers) {
  cAccountSettings s;
  s.POP3Password = "ab";
  SaveAccount("Home", s);
  IniFile ini(AccountSettingsFile("Home"));
  EXPECT_EQ(ini.ReadString("POP3", "Password", "?"), "60,61");  // 97 - 37, 98 - 37
  EXPECT_EQ(LoadAccount("Home").POP3Password, "ab");

  s.POP3Password.clear();
  SaveAccount("Home", s);
  EXPECT_TRUE(ini.ValueExists("POP3", "Password"));
  EXPECT_EQ(ini.ReadString("POP3", "Password", "?"), "");

  ini.WriteString("POP3", "Password", "60,x1");
  EXPECT_EQ(LoadAccount("Home").POP3Password, "") << "a value that does not decode is no password";
}

TEST_F(AccountSettingsTest, PortsAreSavedAsTypedAndReadAsNumbersOrDefaults) {
  cAccountSettings s;
  s.POP3Port = "abc";
  s.SMTPPort = "";
  s.POP3Timeout = "ten";
  s.SMTPTimeout = "0x10";
  SaveAccount("Home", s);
  IniFile ini(AccountSettingsFile("Home"));
  EXPECT_EQ(ini.ReadString("POP3", "Port", "?"), "abc");
  EXPECT_EQ(ini.ReadString("POP3", "Timeout", "?"), "ten");

  cAccountSettings r = LoadAccount("Home");
  EXPECT_EQ(r.POP3Port, "110");
  EXPECT_EQ(r.SMTPPort, "25");
  EXPECT_EQ(r.POP3Timeout, "15");
  EXPECT_EQ(r.SMTPTimeout, "16");
  EXPECT_EQ(Pop3PortOf(s), 110);
  EXPECT_EQ(SmtpPortOf(s), 25);
  EXPECT_EQ(Pop3TimeoutOf(s), 15);
  EXPECT_EQ(SmtpTimeoutOf(s), 16);
}

TEST_F(AccountSettingsTest, HandAddedKeysAreRead) {
  ASSERT_TRUE(ForceDirectories(AccountDir("Home")));
  WriteFileAtomically(AccountSettingsFile("Home"),
                      "[smtp]\r\nauthentificate=1\r\nUserName=ann\r\nPassword=60,61\r\n"
                      "[User]\r\nName=\"  Ann  \"\r\n"
                      "[Server]\r\nDoNotCheckMail=yes\r\nHideWhenComposing=2\r\n");
  cAccountSettings r = LoadAccount("Home");
  EXPECT_TRUE(r.SMTPAuthentificate);
  EXPECT_EQ(r.SMTPUserName, "ann");
  EXPECT_EQ(r.SMTPPassword, "ab");
  EXPECT_EQ(r.Name, "  Ann  ");
  EXPECT_FALSE(r.DoNotCheckMail) << "not a number: the default";
  EXPECT_TRUE(r.HideWhenComposing);
}

TEST_F(AccountSettingsTest, SenderAddressFallsBackToReplyAddressOnlyWhenEmailIsAbsent) {
  ASSERT_TRUE(ForceDirectories(AccountDir("A")));
  ASSERT_TRUE(ForceDirectories(AccountDir("B")));
  WriteFileAtomically(AccountSettingsFile("A"), "[User]\r\nReplyAddress=r@x\r\n");
  WriteFileAtomically(AccountSettingsFile("B"), "[User]\r\nEmail=\r\nReplyAddress=r@x\r\n");
  EXPECT_EQ(AccountSenderAddress("A"), "r@x");
  EXPECT_EQ(AccountSenderAddress("B"), "");
}

TEST_F(AccountSettingsTest, SavingIntoAnExistingDirectoryKeepsItsFiles) {
  ASSERT_TRUE(ForceDirectories(AccountDir("Home")));
  WriteFileAtomically(AccountDir("Home") + "UIDL.txt", "abc\r\n");
  SaveAccount("Home", cAccountSettings{});
  EXPECT_TRUE(FileExists(AccountSettingsFile("Home")));
  EXPECT_EQ(ReadFileBytes(AccountDir("Home") + "UIDL.txt"), "abc\r\n");
}

TEST_F(AccountSettingsTest, ASettingsFileThatCannotBeWrittenRaises) {
  ASSERT_TRUE(ForceDirectories(AccountSettingsFile("Home")));  // a directory in its place
  EXPECT_THROW(SaveAccount("Home", cAccountSettings{}), FileError);
}

TEST_F(AccountSettingsTest, NamesThatAreNoAccountDirectoryAreRefused) {
  for (const char* name : {"", ".", "..", "a/b", "../Escaped", "Archive.FLD"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(IsValidAccountName(name));
    EXPECT_THROW(SaveAccount(name, cAccountSettings{}), FileError);
  }
  EXPECT_FALSE(PathExists(dir_.path() + "Escaped"));
  EXPECT_FALSE(PathExists(MailDir + "Archive.FLD"));
  EXPECT_TRUE(IsValidAccountName("Old.fld"));
  EXPECT_TRUE(IsValidAccountName("My Mail"));
}

}  // namespace
}  // namespace qm
