// The account properties window's secure-connection choices and the SMTP
// login, against the account's Settings.ini.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "accounts/account_settings.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "shell/password_encoding.h"
#include "test_support/temp_dir.h"
#include "ui/account_properties.h"
#include "ui/qt_text.h"

namespace qm {
namespace {

class AccountSecurityTest : public ::testing::Test {
 protected:
  void SetUp() override { InitialisePaths(dir.path()); }
  void TearDown() override { ReleaseSettings(); }
  IniFile Settings(const std::string& account) { return IniFile(AccountSettingsFile(account)); }
  class TempDir dir;
};

TEST_F(AccountSecurityTest, LoginAndSecurityAreSavedAndShownAgain) {
  {
    TfrmAccountProperties w;
    w.LoadAccount("Home");
    EXPECT_EQ(w.cmbPOP3Security->currentIndex(), 0);
    EXPECT_EQ(w.cmbSMTPSecurity->currentIndex(), 0);
    EXPECT_EQ(w.cmbPOP3Security->count(), 3);
    EXPECT_FALSE(w.chkSMTPAuthentificate->isChecked());
    EXPECT_FALSE(w.edtSMTPUserName->isEnabled());
    EXPECT_FALSE(w.edtSMTPPassword->isEnabled());
    EXPECT_EQ(w.edtSMTPPassword->echoMode(), QLineEdit::Password);

    w.chkSMTPAuthentificate->click();
    EXPECT_TRUE(w.edtSMTPUserName->isEnabled());
    EXPECT_TRUE(w.edtSMTPPassword->isEnabled());
    w.edtSMTPUserName->setText("ann@smtp");
    w.edtSMTPPassword->setText("s,m=t p");
    w.cmbPOP3Security->setCurrentIndex(2);
    w.cmbSMTPSecurity->setCurrentIndex(1);
    w.btnOK->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
  }
  IniFile ini = Settings("Home");
  EXPECT_EQ(ini.ReadString("SMTP", "Authentificate", ""), "1");
  EXPECT_EQ(ini.ReadString("SMTP", "UserName", ""), "ann@smtp");
  EXPECT_EQ(ini.ReadString("SMTP", "Password", ""), EncodePassword("s,m=t p"));
  EXPECT_EQ(ini.ReadString("POP3", "Security", ""), "2");
  EXPECT_EQ(ini.ReadString("SMTP", "Security", ""), "1");
  EXPECT_EQ(ini.ReadString("POP3", "Port", ""), "995");
  EXPECT_EQ(ini.ReadString("SMTP", "Port", ""), "25");

  TfrmAccountProperties again;
  again.LoadAccount("Home");
  EXPECT_TRUE(again.chkSMTPAuthentificate->isChecked());
  EXPECT_TRUE(again.edtSMTPUserName->isEnabled());
  EXPECT_EQ(again.edtSMTPUserName->text(), "ann@smtp");
  EXPECT_EQ(again.edtSMTPPassword->text(), "s,m=t p");
  EXPECT_EQ(again.cmbPOP3Security->currentIndex(), 2);
  EXPECT_EQ(again.cmbSMTPSecurity->currentIndex(), 1);
  EXPECT_EQ(again.edtPOP3Port->text(), "995");

  // Switching the login off keeps what was typed for the next time.
  again.chkSMTPAuthentificate->click();
  EXPECT_FALSE(again.edtSMTPUserName->isEnabled());
  again.btnOK->click();
  EXPECT_EQ(ini.ReadString("SMTP", "Authentificate", ""), "0");
  EXPECT_EQ(ini.ReadString("SMTP", "UserName", ""), "ann@smtp");
}

TEST_F(AccountSecurityTest, PortsFollowTheChoiceUnlessTypedByHand) {
  TfrmAccountProperties w;
  w.LoadAccount("Home");
  const struct {
    QComboBox* choice;
    QLineEdit* port;
    const char* plain;
    const char* implicit;
  } servers[] = {{w.cmbPOP3Security, w.edtPOP3Port, "110", "995"}, {w.cmbSMTPSecurity, w.edtSMTPPort, "25", "465"}};
  for (const auto& s : servers) {
    SCOPED_TRACE(s.plain);
    // index to choose, the port expected after it
    const std::pair<int, const char*> steps[] = {
        {2, s.implicit}, {1, s.plain}, {2, s.implicit}, {0, s.plain}, {1, s.plain}};
    for (const auto& [index, port] : steps) {
      s.choice->setCurrentIndex(index);
      EXPECT_EQ(S(s.port->text()), port) << "after choice " << index;
    }
    s.port->setText("2525");
    s.choice->setCurrentIndex(2);
    EXPECT_EQ(s.port->text(), "2525") << "a port typed by hand stays";
    s.choice->setCurrentIndex(0);
    EXPECT_EQ(s.port->text(), "2525");
    s.port->clear();
    s.choice->setCurrentIndex(2);
    EXPECT_EQ(S(s.port->text()), s.implicit) << "an empty port takes the default";
  }
}

TEST_F(AccountSecurityTest, LoadingKeepsStoredPortsAndTrustedCertificates) {
  ASSERT_TRUE(ForceDirectories(AccountDir("Work")));
  WriteFileAtomically(AccountSettingsFile("Work"),
                      "[POP3]\r\nSecurity=2\r\nPort=110\r\nTrustedCertificate=AB:CD\r\n"
                      "[SMTP]\r\nSecurity=9\r\nPort=587\r\nTrustedCertificate=EF:01\r\n");
  TfrmAccountProperties w;
  w.LoadAccount("Work");
  // What the file says stands; loading is no change of choice.
  EXPECT_EQ(w.cmbPOP3Security->currentIndex(), 2);
  EXPECT_EQ(w.edtPOP3Port->text(), "110");
  EXPECT_EQ(w.cmbSMTPSecurity->currentIndex(), 0) << "a value out of range shows as none";
  EXPECT_EQ(w.edtSMTPPort->text(), "587");
  w.btnOK->click();
  IniFile ini = Settings("Work");
  EXPECT_EQ(ini.ReadString("POP3", "Port", ""), "110");
  EXPECT_EQ(ini.ReadString("SMTP", "Security", ""), "0");
  EXPECT_EQ(ini.ReadString("POP3", "TrustedCertificate", ""), "AB:CD");
  EXPECT_EQ(ini.ReadString("SMTP", "TrustedCertificate", ""), "EF:01");

  // A missing port with implicit TLS shows that protocol's TLS port.
  WriteFileAtomically(AccountSettingsFile("Work"), "[POP3]\r\nSecurity=2\r\n[SMTP]\r\nSecurity=2\r\n");
  TfrmAccountProperties fresh;
  fresh.LoadAccount("Work");
  EXPECT_EQ(fresh.edtPOP3Port->text(), "995");
  EXPECT_EQ(fresh.edtSMTPPort->text(), "465");
  // and moving to an upgrade in the dialogue brings the plain ports back.
  fresh.cmbPOP3Security->setCurrentIndex(1);
  fresh.cmbSMTPSecurity->setCurrentIndex(1);
  EXPECT_EQ(fresh.edtPOP3Port->text(), "110");
  EXPECT_EQ(fresh.edtSMTPPort->text(), "25");
}

}  // namespace
}  // namespace qm
