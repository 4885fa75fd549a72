#include "ui/add_contact.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <exception>

#include "contacts/contact_store.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"
#include "ui/contacts_ui_qt.h"
#include "ui/main_icons.h"
#include "ui/ok_cancel_dialog.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"
#include "ui/window_entry_points_trace.h"

namespace qm {

TfrmAddContact::TfrmAddContact(const std::string& book_file, const std::string& name, const std::string& address,
                               QWidget* parent)
    : QDialog(parent) {
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
  auto* form = new QFormLayout;
  form->addRow("Group:", cboGroups);
  form->addRow("Full name:", edtFullName);
  form->addRow("E-Mail:", edtEmail);
  OkCancelButtons b = SetUpOkCancelDialog(this, "frmAddContact", "Add contact", {{form, 1}});
  btnOK = b.ok;
  btnCancel = b.cancel;
  resize(340, 150);

  connect(edtFullName, &QLineEdit::textChanged, this, &TfrmAddContact::edtFullNameChange);
  connect(btnOK, &QPushButton::clicked, this, &TfrmAddContact::btnOKClick);
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
