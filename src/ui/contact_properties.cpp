#include "ui/contact_properties.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <exception>

#include "accounts/account_list.h"
#include "contacts/contact_actions.h"
#include "contacts/signatures.h"
#include "shell/report_error.h"
#include "ui/contacts_ui_qt.h"
#include "ui/open_link.h"
#include "ui/ok_cancel_dialog.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"
#include "ui/window_entry_points_trace.h"

namespace qm {

namespace {

QLineEdit* Field(QWidget* page, const char* name, const std::string& value) {
  auto* edit = new QLineEdit(Q(value), page);
  edit->setObjectName(name);
  edit->setMaxLength(static_cast<int>(kContactFieldLimit));
  return edit;
}

QPushButton* Button(QWidget* page, const char* name, const char* caption) {
  auto* button = new QPushButton(caption, page);
  button->setObjectName(name);
  return button;
}

// A list of choices that also takes a value not in it (a stored name that
// has gone keeps showing rather than being lost at OK).
QComboBox* Choice(QWidget* page, const char* name, const StringList& values, const std::string& current) {
  auto* box = new QComboBox(page);
  box->setObjectName(name);
  box->setEditable(true);
  box->addItem("");
  for (const std::string& v : values) box->addItem(Q(v));
  box->setCurrentText(Q(current));
  return box;
}

std::string NotesFromMemo(const QString& text) {
  // Line breaks of the record are CR LF.
  QStringList lines = text.split('\n');
  return S(lines.join("\r\n"));
}

}  // namespace

TfrmContactProperties::TfrmContactProperties(const std::string& book_file, const std::string& name, QWidget* parent)
    : QDialog(parent), book_file_(book_file), ui_(new TQtContactsUi(this)) {
  InitContact(contact_);
  ReadContact(book_file, name, false, contact_);
  const cContact& c = contact_;

  PageControl = new QTabWidget(this);
  PageControl->setObjectName("PageControl");

  auto* general = new QWidget;
  general->setObjectName("tsGeneral");
  edtFullName = Field(general, "edtFullName", c.Name);
  edtFullName->setReadOnly(true);
  edtNickName = Field(general, "edtNickName", c.NickName);
  edtEmail = Field(general, "edtEmail", c.Email);
  btnSendMail = Button(general, "btnSendMail", "Send Mail");
  edtSecondaryEmail = Field(general, "edtSecondaryEmail", c.SecondaryEmail);
  btnSendMailSecondary = Button(general, "btnSendMailSecondary", "Send Mail");
  edtHomePage = Field(general, "edtHomePage", c.HomePage);
  btnVisitHomePage = Button(general, "btnVisitHomePage", "Visit Home Page");
  chkShowOnContactPane = new QCheckBox("&Show this person in the contact pane", general);
  chkShowOnContactPane->setObjectName("chkShowOnContactPane");
  chkShowOnContactPane->setChecked(c.ShowOnContactPane);
  auto* g = new QGridLayout(general);
  auto row = [g](int r, QWidget* parent, const char* label, QWidget* field, QWidget* button = nullptr) {
    g->addWidget(new QLabel(label, parent), r, 0);
    g->addWidget(field, r, 1);
    if (button) g->addWidget(button, r, 2);
  };
  row(0, general, "Full name:", edtFullName);
  row(1, general, "Nick name:", edtNickName);
  row(2, general, "E-Mail:", edtEmail, btnSendMail);
  row(3, general, "Secondary E-Mail:", edtSecondaryEmail, btnSendMailSecondary);
  row(4, general, "Home Page:", edtHomePage, btnVisitHomePage);
  g->addWidget(chkShowOnContactPane, 5, 0, 1, 3);
  g->setRowStretch(6, 1);
  g->setColumnStretch(1, 1);
  PageControl->addTab(general, "General");

  auto form_page = [this](const char* object_name, const char* caption) {
    auto* page = new QWidget;
    page->setObjectName(object_name);
    auto* form = new QFormLayout(page);
    PageControl->addTab(page, caption);
    return std::make_pair(page, form);
  };
  auto [home, home_form] = form_page("tsHome", "Home");
  edtHomeAddress = Field(home, "edtHomeAddress", c.HomeAddress);
  edtHomeStateOrProvince = Field(home, "edtHomeStateOrProvince", c.HomeStateOrProvince);
  edtHomeCountry = Field(home, "edtHomeCountry", c.HomeCountry);
  edtHomePhone = Field(home, "edtHomePhone", c.HomePhone);
  edtHomeFax = Field(home, "edtHomeFax", c.HomeFax);
  edtHomeMobile = Field(home, "edtHomeMobile", c.HomeMobile);
  home_form->addRow("Home address:", edtHomeAddress);
  home_form->addRow("State/Province:", edtHomeStateOrProvince);
  home_form->addRow("Country:", edtHomeCountry);
  home_form->addRow("Phone #:", edtHomePhone);
  home_form->addRow("Fax #:", edtHomeFax);
  home_form->addRow("Mobile/cellular:", edtHomeMobile);

  auto [work, work_form] = form_page("tsWork", "Work");
  edtWorkCompany = Field(work, "edtWorkCompany", c.WorkCompany);
  edtWorkAddress = Field(work, "edtWorkAddress", c.WorkAddress);
  edtWorkStateOrProvince = Field(work, "edtWorkStateOrProvince", c.WorkStateOrProvince);
  edtWorkPhone = Field(work, "edtWorkPhone", c.WorkPhone);
  edtWorkFax = Field(work, "edtWorkFax", c.WorkFax);
  edtWorkPager = Field(work, "edtWorkPager", c.WorkPager);
  work_form->addRow("Company:", edtWorkCompany);
  work_form->addRow("Address:", edtWorkAddress);
  work_form->addRow("State and country:", edtWorkStateOrProvince);
  work_form->addRow("Phone #:", edtWorkPhone);
  work_form->addRow("Fax #:", edtWorkFax);
  work_form->addRow("Pager:", edtWorkPager);

  auto [personal, personal_form] = form_page("tsPersonal", "Personal");
  edtICQNumber = Field(personal, "edtICQNumber", c.ICQNumber);
  edtBirthDate = Field(personal, "edtBirthDate", c.BirthDate);
  cboGender = new QComboBox(personal);
  cboGender->setObjectName("cboGender");
  cboGender->addItems({"Unspecified", "Male", "Female"});
  cboGender->setCurrentIndex(c.Gender <= 2 ? c.Gender : 0);
  edtAnniversary = Field(personal, "edtAnniversary", c.Anniversary);
  edtNotes = new QPlainTextEdit(personal);
  edtNotes->setObjectName("edtNotes");
  edtNotes->setPlainText(Q(c.Notes).replace("\r\n", "\n"));
  personal_form->addRow("ICQ Number", edtICQNumber);
  personal_form->addRow("Birth date", edtBirthDate);
  personal_form->addRow("Gender", cboGender);
  personal_form->addRow("Anniversary", edtAnniversary);
  personal_form->addRow("Notes:", edtNotes);

  auto* other = new QWidget;
  other->setObjectName("tsOther");
  auto* other_layout = new QVBoxLayout(other);
  cboUseAccount = Choice(other, "cboUseAccount", ListAccounts(), c.UseAccount);
  cboUseSignature = Choice(other, "cboUseSignature", ListSignatures(), c.UseSignature);
  other_layout->addWidget(new QLabel("Use this account to send mail to this contact:", other));
  other_layout->addWidget(cboUseAccount);
  other_layout->addSpacing(8);
  other_layout->addWidget(new QLabel("When sending mail to this contact, use the following signature:", other));
  other_layout->addWidget(cboUseSignature);
  other_layout->addStretch();
  PageControl->addTab(other, "Other");

  OkCancelButtons b = SetUpOkCancelDialog(this, "frmContactProperties",
                                          Q(c.Name + " - " + "Contact properties"), {{PageControl, 1}});
  btnOK = b.ok;
  btnCancel = b.cancel;
  resize(440, 360);

  connect(btnOK, &QPushButton::clicked, this, &TfrmContactProperties::btnOKClick);
  connect(btnSendMail, &QPushButton::clicked, this, &TfrmContactProperties::btnSendMailClick);
  connect(btnSendMailSecondary, &QPushButton::clicked, this, &TfrmContactProperties::btnSendMailSecondaryClick);
  connect(btnVisitHomePage, &QPushButton::clicked, this, &TfrmContactProperties::btnVisitHomePageClick);
  for (QLineEdit* e : {edtEmail, edtSecondaryEmail, edtHomePage})
    connect(e, &QLineEdit::textChanged, this, &TfrmContactProperties::UpdateButtons);
  UpdateButtons();
  PageControl->setCurrentIndex(0);
  edtNickName->setFocus();
}

TfrmContactProperties::~TfrmContactProperties() { delete ui_; }

void TfrmContactProperties::UpdateButtons() {
  btnSendMail->setEnabled(!edtEmail->text().isEmpty());
  btnSendMailSecondary->setEnabled(!edtSecondaryEmail->text().isEmpty());
  btnVisitHomePage->setEnabled(!edtHomePage->text().isEmpty());
}

cContact TfrmContactProperties::Contact() const {
  cContact c = contact_;
  c.NickName = S(edtNickName->text());
  c.Email = S(edtEmail->text());
  c.SecondaryEmail = S(edtSecondaryEmail->text());
  c.HomePage = S(edtHomePage->text());
  c.ShowOnContactPane = chkShowOnContactPane->isChecked();
  c.HomeAddress = S(edtHomeAddress->text());
  c.HomeStateOrProvince = S(edtHomeStateOrProvince->text());
  c.HomeCountry = S(edtHomeCountry->text());
  c.HomePhone = S(edtHomePhone->text());
  c.HomeFax = S(edtHomeFax->text());
  c.HomeMobile = S(edtHomeMobile->text());
  c.WorkCompany = S(edtWorkCompany->text());
  c.WorkAddress = S(edtWorkAddress->text());
  c.WorkStateOrProvince = S(edtWorkStateOrProvince->text());
  c.WorkPhone = S(edtWorkPhone->text());
  c.WorkFax = S(edtWorkFax->text());
  c.WorkPager = S(edtWorkPager->text());
  c.ICQNumber = S(edtICQNumber->text());
  c.BirthDate = S(edtBirthDate->text());
  c.Gender = static_cast<uint8_t>(std::max(0, cboGender->currentIndex()));
  c.Anniversary = S(edtAnniversary->text());
  c.Notes = NotesFromMemo(edtNotes->toPlainText());
  c.UseAccount = S(cboUseAccount->currentText());
  c.UseSignature = S(cboUseSignature->currentText());
  return c;
}

bool TfrmContactProperties::Save() {
  try {
    if (!WriteContact(book_file_, Contact())) return false;
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured in WriteContact ()");
    return false;
  }
  RefreshMainPaneFor(book_file_);
  if (AddressBookShowsFile(book_file_)) RefreshAddressBook();
  return true;
}

void TfrmContactProperties::btnOKClick() {
  if (Save()) accept();
}

void TfrmContactProperties::btnSendMailClick() {
  WriteToContact(contact_.Name, book_file_, S(edtEmail->text()), *ui_);
}

void TfrmContactProperties::btnSendMailSecondaryClick() {
  WriteToContact(contact_.Name, book_file_, S(edtSecondaryEmail->text()), *ui_);
}

void TfrmContactProperties::btnVisitHomePageClick() { OpenLink(S(edtHomePage->text())); }

bool EditContactDialog(const std::string& book_file, const std::string& name) {
  if (TraceWindowEntryPoint("EditContactDialog")) return false;
  TfrmContactProperties dialog(book_file, name, QApplication::activeWindow());
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace qm
