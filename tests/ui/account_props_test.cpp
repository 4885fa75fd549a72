// The account properties window against the account's Settings.ini.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "accounts/account_settings.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "test_support/temp_dir.h"
#include "ui/account_properties.h"
#include "ui/qt_text.h"

namespace qm {
namespace {

class AccountPropsTest : public ::testing::Test {
 protected:
  void SetUp() override { InitialisePaths(dir.path()); }
  void TearDown() override { ReleaseSettings(); }
  class TempDir dir;
};

TEST_F(AccountPropsTest, NewAccountShowsDefaultsAndOkCreatesIt) {
  TfrmAccountProperties w;
  w.LoadAccount("Home");
  EXPECT_EQ(w.windowTitle(), "Account properties");
  EXPECT_EQ(w.pgPages->count(), 4);
  EXPECT_EQ(w.pgPages->currentIndex(), 0);
  EXPECT_EQ(w.edtPOP3Port->text(), "110");
  EXPECT_EQ(w.edtSMTPPort->text(), "25");
  EXPECT_EQ(w.edtPOP3Timeout->text(), "15");
  EXPECT_EQ(w.edtSMTPTimeout->text(), "15");
  EXPECT_FALSE(w.chkLeaveMailOnServer->isChecked());

  w.edtName->setText("Ann Smith");
  w.edtPOP3Server->setText("127.0.0.1");
  w.edtUserName->setText("ann");
  w.edtPassword->setText("pw");
  w.edtSMTPPort->setText("abc");  // saved as typed, read by the tasks as the default
  w.chkDoNotCheckMail->setChecked(true);
  w.cmbSignature->setCurrentText("Typed signature");
  w.btnOK->click();
  EXPECT_EQ(w.result(), QDialog::Accepted);

  ASSERT_TRUE(FileExists(MailDir + "Home/Settings.ini"));
  IniFile ini(MailDir + "Home/Settings.ini");
  EXPECT_EQ(ini.ReadString("User", "Name", ""), "Ann Smith");
  EXPECT_EQ(ini.ReadString("SMTP", "Port", ""), "abc");
  EXPECT_EQ(ini.ReadString("Server", "DoNotCheckMail", ""), "1");
  EXPECT_EQ(ini.ReadString("Server", "LeaveMailOnServer", ""), "0");
  EXPECT_EQ(ini.ReadString("User", "Signature", ""), "Typed signature");
  // The password is not stored as typed, and reads back.
  EXPECT_NE(ini.ReadString("POP3", "Password", ""), "pw");
  std::string stored = ini.ReadString("POP3", "Password", "");
  EXPECT_EQ(std::count(stored.begin(), stored.end(), ','), 1) << stored;
  cAccountSettings back = LoadAccount("Home");
  EXPECT_EQ(back.POP3Password, "pw");
  EXPECT_EQ(SmtpPortOf(back), 25);

  TfrmAccountProperties again;
  again.LoadAccount("Home");
  EXPECT_EQ(again.edtPassword->text(), "pw");
  EXPECT_EQ(again.edtPassword->echoMode(), QLineEdit::Password);
  EXPECT_TRUE(again.chkDoNotCheckMail->isChecked());
  EXPECT_EQ(again.cmbSignature->currentText(), "Typed signature");
}

TEST_F(AccountPropsTest, CancelWritesNothingAndHandKeysSurvive) {
  ForceDirectories(MailDir + "Work");
  {
    IniFile ini(MailDir + "Work/Settings.ini");
    ini.WriteString("User", "Name", "Old");
    ini.WriteString("SMTP", "Authentificate", "1");
    ini.WriteString("SMTP", "UserName", "smtp-user");
  }
  SignaturesIni->WriteString("Formal", "File", "formal.txt");
  SignaturesIni->WriteString("Short", "File", "short.txt");
  {
    TfrmAccountProperties w;
    w.LoadAccount("Work");
    EXPECT_EQ(w.edtName->text(), "Old");
    EXPECT_GE(w.cmbSignature->findText("Formal"), 0);
    EXPECT_GE(w.cmbSignature->findText("Short"), 0);
    w.edtName->setText("Changed");
    w.btnCancel->click();
  }
  IniFile ini(MailDir + "Work/Settings.ini");
  EXPECT_EQ(ini.ReadString("User", "Name", ""), "Old");

  TfrmAccountProperties w;
  w.LoadAccount("Work");
  w.edtName->setText("New");
  w.btnOK->click();
  EXPECT_EQ(ini.ReadString("User", "Name", ""), "New");
  EXPECT_EQ(ini.ReadString("SMTP", "Authentificate", ""), "1");
  EXPECT_EQ(ini.ReadString("SMTP", "UserName", ""), "smtp-user");
}

TEST_F(AccountPropsTest, UnusableNameKeepsTheWindowOpen) {
  TfrmAccountProperties w;
  w.LoadAccount("Archive.FLD");
  w.edtName->setText("x");
  w.btnOK->click();
  EXPECT_NE(w.result(), QDialog::Accepted);
  EXPECT_FALSE(DirectoryExists(MailDir + "Archive.FLD"));
  EXPECT_TRUE(FileExists(ErrorLogFile()));
}

}  // namespace
}  // namespace qm
