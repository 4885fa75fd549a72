#pragma once
// The properties of one contact on five pages.
#include <QDialog>
#include <string>

#include "contacts/contact_store.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace qm {

class TQtContactsUi;

class TfrmContactProperties : public QDialog {
  Q_OBJECT
 public:
  TfrmContactProperties(const std::string& book_file, const std::string& name, QWidget* parent = nullptr);
  ~TfrmContactProperties() override;

  QTabWidget* PageControl;
  // General
  QLineEdit* edtFullName;
  QLineEdit* edtNickName;
  QLineEdit* edtEmail;
  QPushButton* btnSendMail;
  QLineEdit* edtSecondaryEmail;
  QPushButton* btnSendMailSecondary;
  QLineEdit* edtHomePage;
  QPushButton* btnVisitHomePage;
  QCheckBox* chkShowOnContactPane;
  // Home
  QLineEdit* edtHomeAddress;
  QLineEdit* edtHomeStateOrProvince;
  QLineEdit* edtHomeCountry;
  QLineEdit* edtHomePhone;
  QLineEdit* edtHomeFax;
  QLineEdit* edtHomeMobile;
  // Work
  QLineEdit* edtWorkCompany;
  QLineEdit* edtWorkAddress;
  QLineEdit* edtWorkStateOrProvince;
  QLineEdit* edtWorkPhone;
  QLineEdit* edtWorkFax;
  QLineEdit* edtWorkPager;
  // Personal
  QLineEdit* edtICQNumber;
  QLineEdit* edtBirthDate;
  QComboBox* cboGender;
  QLineEdit* edtAnniversary;
  QPlainTextEdit* edtNotes;
  // Other
  QComboBox* cboUseAccount;
  QComboBox* cboUseSignature;
  QPushButton* btnOK;
  QPushButton* btnCancel;

  // The contact as the fields show it.
  cContact Contact() const;
  // Writes every field back; false when it could not be written.
  bool Save();
  void btnOKClick();
  void btnSendMailClick();
  void btnSendMailSecondaryClick();
  void btnVisitHomePageClick();
  void UpdateButtons();

 private:
  std::string book_file_;
  cContact contact_;
  TQtContactsUi* ui_;
};

}  // namespace qm
