#include "ui/add_contact.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "contacts/contact_store.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"
#include "ui/contacts_ui_qt.h"
#include "ui/main_icons.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"
#include "ui/window_entry_points_trace.h"

namespace qm {

TfrmAddContact::TfrmAddContact(const std::string& book_file, const std::string& name, const std::string& address,
                               QWidget* parent)
    : QDialog(parent) {
  setObjectName("frmAddContact");
  setWindowTitle("Add contact");
  setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  cboGroups = new QComboBox(this);
  cboGroups->setObjectName("cboGroups");
  const StringList books = GetBookList();
  int at = 0;
  for (size_t i = 0; i < books.size(); ++i) {
    cboGroups->addItem(ContactGroupPicture(i == 0), Q(books[i]));
    if (!book_file.empty() && GetBookFile(books[i]) == book_file) at = static_cast<int>(i);
  }
  cboGroups->setCurrentIndex(at);
  edtFullName = new QLineEdit(Q(name), this);
  edtFullName->setObjectName("edtFullName");
  edtEmail = new QLineEdit(Q(address), this);
  edtEmail->setObjectName("edtEmail");
  btnOK = new QPushButton("&OK", this);
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  btnCancel = new QPushButton("&Cancel", this);
  btnCancel->setObjectName("btnCancel");

  auto* form = new QFormLayout;
  form->addRow("Group:", cboGroups);
  form->addRow("Full name:", edtFullName);
  form->addRow("E-Mail:", edtEmail);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* root = new QVBoxLayout(this);
  root->addLayout(form);
  root->addStretch();
  root->addLayout(buttons);
  resize(340, 150);

  connect(edtFullName, &QLineEdit::textChanged, this, &TfrmAddContact::edtFullNameChange);
  connect(btnOK, &QPushButton::clicked, this, &TfrmAddContact::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  edtFullNameChange();
}

std::string TfrmAddContact::ChosenBookFile() const {
  if (cboGroups->currentIndex() <= 0) return ContactsFile();
  return GetGroupFile(S(cboGroups->currentText()));
}

void TfrmAddContact::edtFullNameChange() { btnOK->setEnabled(!TrimBlanks(S(edtFullName->text())).empty()); }

bool TfrmAddContact::Save() {
  cContact c;
  InitContact(c);
  c.Name = TrimBlanks(S(edtFullName->text()));
  c.Email = TrimBlanks(S(edtEmail->text()));
  const std::string file = ChosenBookFile();
  // A fresh record written over an existing contact would wipe its details.
  if (IniFile(file).SectionExists(c.Name)) {
    QMessageBox::warning(this, "Add contact", "A contact with this name already exists!");
    edtFullName->setFocus();
    return false;
  }
  try {
    if (!WriteContact(file, c)) {
      QMessageBox::warning(this, "Add contact", "This name cannot be used for a contact.");
      edtFullName->setFocus();
      return false;
    }
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured in WriteContact ()");
    return false;
  }
  RefreshMainPaneFor(file);
  if (AddressBookShowsFile(file)) {
    RefreshAddressBook();
  }
  return true;
}

void TfrmAddContact::btnOKClick() {
  if (Save()) accept();
}

bool AddContactDialog(const std::string& book_file, const std::string& name, const std::string& address) {
  if (TraceWindowEntryPoint("AddContactDialog")) return false;
  TfrmAddContact dialog(book_file, name, address, QApplication::activeWindow());
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace qm
