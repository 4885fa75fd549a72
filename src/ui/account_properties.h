#pragma once
// The account properties window: four pages bound to the account's Settings.ini.
#include <QDialog>
#include <string>

#include "accounts/account_settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace qm {

class TfrmAccountProperties : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmAccountProperties(QWidget* parent = nullptr);

  // Fills the pages from the account's settings (defaults when missing).
  void LoadAccount(const std::string& account);
  // Writes every field; throws qm::FileError when it cannot.
  void SaveAccount(const std::string& account);
  cAccountSettings Fields() const;

  QTabWidget* pgPages;
  QLineEdit* edtName;
  QLineEdit* edtEmail;
  QLineEdit* edtReplyAddress;
  QLineEdit* edtOrganization;
  QLineEdit* edtPOP3Server;
  QLineEdit* edtSMTPServer;
  QLineEdit* edtUserName;
  QLineEdit* edtPassword;
  // The login for sending; user name and password are enabled with the box.
  QCheckBox* chkSMTPAuthentificate;
  QLineEdit* edtSMTPUserName;
  QLineEdit* edtSMTPPassword;
  // 0 none, 1 upgrade in the dialogue, 2 TLS from the start; the port beside
  // each follows the choice while it holds the previous choice's default.
  QComboBox* cmbPOP3Security;
  QComboBox* cmbSMTPSecurity;
  QLineEdit* edtPOP3Port;
  QLineEdit* edtSMTPPort;
  QLineEdit* edtPOP3Timeout;
  QLineEdit* edtSMTPTimeout;
  QCheckBox* chkLeaveMailOnServer;
  QCheckBox* chkDoNotCheckMail;
  QCheckBox* chkHideWhenComposing;
  QComboBox* cmbSignature;
  QPushButton* btnOK;
  QPushButton* btnCancel;

  void btnOKClick();
  void cmbPOP3SecurityChange(int index);
  void cmbSMTPSecurityChange(int index);
  void chkSMTPAuthentificateClick();

 private:
  int pop3_security_ = 0;  // the choice before the current change
  int smtp_security_ = 0;
  std::string account_;
  bool loaded_ = false;
  // Keys the window does not show, kept as read.
  cAccountSettings read_;
};

}  // namespace qm
