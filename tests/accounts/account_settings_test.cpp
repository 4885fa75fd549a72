#include "accounts/account_settings.h"

#include <gtest/gtest.h>

#include "accounts/test_paths.h"
#include "platform/file_error.h"
#include "platform/file_system.h"
#include "shell/ini_file.h"

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
  // Never written by the window.
  s.SMTPAuthentificate = true;
  s.SMTPUserName = "u";
  s.SMTPPassword = "p";
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
  EXPECT_FALSE(r.SMTPAuthentificate);
  EXPECT_TRUE(r.SMTPUserName.empty() && r.SMTPPassword.empty());

  IniFile ini(AccountSettingsFile("Home"));
  EXPECT_EQ(ini.ReadString("Server", "LeaveMailOnServer", ""), "1");
  EXPECT_EQ(ini.ReadString("POP3", "Password", "") == s.POP3Password, false) << "stored encoded";
  EXPECT_FALSE(ini.ValueExists("SMTP", "Authentificate"));
  EXPECT_FALSE(ini.ValueExists("SMTP", "UserName"));
  EXPECT_FALSE(ini.ValueExists("SMTP", "Password"));
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
