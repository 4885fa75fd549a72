#include "ui/account_properties.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/file_error.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

namespace {

QLineEdit* Edit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

// A page with its bold title and explanation on top.
QWidget* Page(const QString& title, const QString& text, QFormLayout*& form) {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  if (!title.isEmpty()) {
    auto* t = new QLabel(title, page);
    QFont bold = t->font();
    bold.setBold(true);
    t->setFont(bold);
    layout->addWidget(t);
  }
  auto* explain = new QLabel(text, page);
  explain->setWordWrap(true);
  layout->addWidget(explain);
  form = new QFormLayout;
  layout->addLayout(form);
  layout->addStretch();
  return page;
}

QWidget* WithSuffix(QLineEdit* edit, const QString& suffix) {
  auto* box = new QWidget;
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(edit);
  row->addWidget(new QLabel(suffix, box));
  row->addStretch();
  return box;
}

// The three ways to secure a server's connection, in the order of their
// stored values.
QComboBox* SecurityChoice(QWidget* parent, const char* name, const QString& upgrade, const QString& implicit) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->addItem("None");
  box->addItem("Upgrade with " + upgrade);
  box->addItem("TLS from the start (" + implicit + ")");
  return box;
}

int DefaultPort(bool pop3, int security) {
  if (security == 2) return pop3 ? kDefaultPop3ImplicitTlsPort : kDefaultSmtpImplicitTlsPort;
  return pop3 ? kDefaultPop3Port : kDefaultSmtpPort;
}

// A port the user left at the default of the previous choice (or empty)
// takes the default of the new one; a port typed by hand stays.
void FollowSecurity(QLineEdit* port, bool pop3, int before, int now) {
  const QString text = port->text().trimmed();
  if (text.isEmpty() || text == QString::number(DefaultPort(pop3, before)))
    port->setText(QString::number(DefaultPort(pop3, now)));
}

int ShownSecurity(int stored) { return stored == 1 || stored == 2 ? stored : 0; }

}  // namespace

TfrmAccountProperties::TfrmAccountProperties(QWidget* parent) : QDialog(parent) {
  setObjectName("TfrmAccountProperties");
  setWindowTitle("Account properties");
  resize(400, 340);

  pgPages = new QTabWidget(this);
  pgPages->setObjectName("pgPages");
  QFormLayout* form = nullptr;

  QWidget* personal = Page("Personal information page",
                           "Use this window to fill in personal information about yourself.", form);
  edtName = Edit(personal, "edtName");
  edtEmail = Edit(personal, "edtEmail");
  edtReplyAddress = Edit(personal, "edtReplyAddress");
  edtOrganization = Edit(personal, "edtOrganization");
  form->addRow("Your name", edtName);
  form->addRow("Your e-mail", edtEmail);
  form->addRow("Reply address", edtReplyAddress);
  form->addRow("Organization", edtOrganization);
  pgPages->addTab(personal, "Personal info");

  QWidget* server = Page("Server settings page", "Using this page, fill in all the required server info.", form);
  edtPOP3Server = Edit(server, "edtPOP3Server");
  edtSMTPServer = Edit(server, "edtSMTPServer");
  edtUserName = Edit(server, "edtUserName");
  edtPassword = Edit(server, "edtPassword");
  edtPassword->setEchoMode(QLineEdit::Password);
  edtPassword->setStyleSheet("lineedit-password-character: 42");
  form->addRow("POP3 Server", edtPOP3Server);
  form->addRow("SMTP Server", edtSMTPServer);
  auto* connect_as = new QLabel("&Connect as:", server);
  connect_as->setBuddy(edtUserName);
  form->addRow(connect_as);
  form->addRow("User name", edtUserName);
  form->addRow("Password", edtPassword);
  chkSMTPAuthentificate = new QCheckBox("My SMTP server requires &authentication", server);
  chkSMTPAuthentificate->setObjectName("chkSMTPAuthentificate");
  edtSMTPUserName = Edit(server, "edtSMTPUserName");
  edtSMTPPassword = Edit(server, "edtSMTPPassword");
  edtSMTPPassword->setEchoMode(QLineEdit::Password);
  edtSMTPPassword->setStyleSheet("lineedit-password-character: 42");
  form->addRow(chkSMTPAuthentificate);
  form->addRow("SMTP user name", edtSMTPUserName);
  form->addRow("SMTP password", edtSMTPPassword);
  connect(chkSMTPAuthentificate, &QCheckBox::toggled, this, &TfrmAccountProperties::chkSMTPAuthentificateClick);
  chkSMTPAuthentificateClick();
  pgPages->addTab(server, "Server");

  QWidget* advanced = Page("Advanced settings page", "Here you will be able to specify advanced mail settings.", form);
  edtPOP3Port = Edit(advanced, "edtPOP3Port");
  edtSMTPPort = Edit(advanced, "edtSMTPPort");
  edtPOP3Timeout = Edit(advanced, "edtPOP3Timeout");
  edtSMTPTimeout = Edit(advanced, "edtSMTPTimeout");
  for (QLineEdit* e : {edtPOP3Port, edtSMTPPort, edtPOP3Timeout, edtSMTPTimeout}) e->setMaximumWidth(70);
  cmbPOP3Security = SecurityChoice(advanced, "cmbPOP3Security", "STLS", "POP3S");
  cmbSMTPSecurity = SecurityChoice(advanced, "cmbSMTPSecurity", "STARTTLS", "SMTPS");
  form->addRow("POP3 security", cmbPOP3Security);
  form->addRow("POP3 port", edtPOP3Port);
  form->addRow("Timeout", WithSuffix(edtPOP3Timeout, "sec."));
  form->addRow("SMTP security", cmbSMTPSecurity);
  form->addRow("SMTP port", edtSMTPPort);
  form->addRow("Timeout", WithSuffix(edtSMTPTimeout, "sec."));
  connect(cmbPOP3Security, &QComboBox::currentIndexChanged, this, &TfrmAccountProperties::cmbPOP3SecurityChange);
  connect(cmbSMTPSecurity, &QComboBox::currentIndexChanged, this, &TfrmAccountProperties::cmbSMTPSecurityChange);
  chkLeaveMailOnServer = new QCheckBox("&Leave mail on server", advanced);
  chkLeaveMailOnServer->setObjectName("chkLeaveMailOnServer");
  chkDoNotCheckMail = new QCheckBox("&Do not check mail on this server", advanced);
  chkDoNotCheckMail->setObjectName("chkDoNotCheckMail");
  chkHideWhenComposing = new QCheckBox("&Hide from list of servers when composing mail", advanced);
  chkHideWhenComposing->setObjectName("chkHideWhenComposing");
  form->addRow(chkLeaveMailOnServer);
  form->addRow(chkDoNotCheckMail);
  form->addRow(chkHideWhenComposing);
  pgPages->addTab(advanced, "Advanced");

  QWidget* signature = Page("",
                            "If no signature is specified, the default one or the one specified for the specific "
                            "contact (if applies) is used.",
                            form);
  cmbSignature = new QComboBox(signature);
  cmbSignature->setObjectName("cmbSignature");
  cmbSignature->setEditable(true);
  cmbSignature->setInsertPolicy(QComboBox::NoInsert);
  if (SignaturesIni)
    for (const std::string& name : SignaturesIni->ReadSections()) cmbSignature->addItem(Q(name));
  form->addRow(new QLabel("Use the following signature on this account:", signature));
  form->addRow(cmbSignature);
  pgPages->addTab(signature, "Signature");

  btnOK = new QPushButton("&OK", this);
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  btnCancel = new QPushButton("&Cancel", this);
  btnCancel->setObjectName("btnCancel");
  connect(btnOK, &QPushButton::clicked, this, &TfrmAccountProperties::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* root = new QVBoxLayout(this);
  root->addWidget(pgPages, 1);
  root->addLayout(buttons);
  pgPages->setCurrentIndex(0);
}

void TfrmAccountProperties::LoadAccount(const std::string& account) {
  account_ = account;
  loaded_ = true;
  read_ = qm::LoadAccount(account);
  const cAccountSettings& s = read_;
  edtName->setText(Q(s.Name));
  edtEmail->setText(Q(s.Email));
  edtReplyAddress->setText(Q(s.ReplyAddress));
  edtOrganization->setText(Q(s.Organization));
  edtPOP3Server->setText(Q(s.POP3Addr));
  edtSMTPServer->setText(Q(s.SMTPAddr));
  edtUserName->setText(Q(s.POP3UserName));
  edtPassword->setText(Q(s.POP3Password));
  edtPOP3Port->setText(Q(s.POP3Port));
  edtSMTPPort->setText(Q(s.SMTPPort));
  edtPOP3Timeout->setText(Q(s.POP3Timeout));
  edtSMTPTimeout->setText(Q(s.SMTPTimeout));
  chkLeaveMailOnServer->setChecked(s.LeaveMailOnServer);
  chkDoNotCheckMail->setChecked(s.DoNotCheckMail);
  chkHideWhenComposing->setChecked(s.HideWhenComposing);
  cmbSignature->setCurrentText(Q(s.Signature));
  chkSMTPAuthentificate->setChecked(s.SMTPAuthentificate);
  edtSMTPUserName->setText(Q(s.SMTPUserName));
  edtSMTPPassword->setText(Q(s.SMTPPassword));
  chkSMTPAuthentificateClick();
  // The stored ports stand as read; only a later change of choice moves them.
  pop3_security_ = ShownSecurity(s.POP3Security);
  smtp_security_ = ShownSecurity(s.SMTPSecurity);
  {
    const QSignalBlocker a(cmbPOP3Security), b(cmbSMTPSecurity);
    cmbPOP3Security->setCurrentIndex(pop3_security_);
    cmbSMTPSecurity->setCurrentIndex(smtp_security_);
  }
  pgPages->setCurrentIndex(0);
}

void TfrmAccountProperties::cmbPOP3SecurityChange(int index) {
  if (index < 0) return;
  FollowSecurity(edtPOP3Port, true, pop3_security_, index);
  pop3_security_ = index;
}

void TfrmAccountProperties::cmbSMTPSecurityChange(int index) {
  if (index < 0) return;
  FollowSecurity(edtSMTPPort, false, smtp_security_, index);
  smtp_security_ = index;
}

void TfrmAccountProperties::chkSMTPAuthentificateClick() {
  const bool on = chkSMTPAuthentificate->isChecked();
  edtSMTPUserName->setEnabled(on);
  edtSMTPPassword->setEnabled(on);
}

cAccountSettings TfrmAccountProperties::Fields() const {
  cAccountSettings s = read_;
  s.Name = S(edtName->text());
  s.Email = S(edtEmail->text());
  s.ReplyAddress = S(edtReplyAddress->text());
  s.Organization = S(edtOrganization->text());
  s.POP3Addr = S(edtPOP3Server->text());
  s.SMTPAddr = S(edtSMTPServer->text());
  s.POP3UserName = S(edtUserName->text());
  s.POP3Password = S(edtPassword->text());
  s.POP3Port = S(edtPOP3Port->text());
  s.SMTPPort = S(edtSMTPPort->text());
  s.POP3Timeout = S(edtPOP3Timeout->text());
  s.SMTPTimeout = S(edtSMTPTimeout->text());
  s.LeaveMailOnServer = chkLeaveMailOnServer->isChecked();
  s.DoNotCheckMail = chkDoNotCheckMail->isChecked();
  s.HideWhenComposing = chkHideWhenComposing->isChecked();
  s.Signature = S(cmbSignature->currentText());
  s.POP3Security = std::max(0, cmbPOP3Security->currentIndex());
  s.SMTPSecurity = std::max(0, cmbSMTPSecurity->currentIndex());
  s.SMTPAuthentificate = chkSMTPAuthentificate->isChecked();
  s.SMTPUserName = S(edtSMTPUserName->text());
  s.SMTPPassword = S(edtSMTPPassword->text());
  return s;
}

void TfrmAccountProperties::SaveAccount(const std::string& account) { qm::SaveAccount(account, Fields()); }

void TfrmAccountProperties::btnOKClick() {
  if (loaded_) {
    try {
      SaveAccount(account_);
    } catch (const std::exception& e) {
      // The window stays open so nothing typed is lost.
      ReportError(QuotedStr(e.what()) + " has occured while saving the account settings");
      return;
    }
  }
  accept();
}

bool ShowAccountProperties(const std::string& account, QWidget* parent) {
  TfrmAccountProperties window(parent);
  window.LoadAccount(account);
  return window.exec() == QDialog::Accepted;
}

}  // namespace qm
