#pragma once
// The quick add dialog: a book, a name and an address.
#include <QDialog>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

class TfrmAddContact : public QDialog {
  Q_OBJECT
 public:
  // `book_file` chooses the book shown first (the main book when no book has that file).
  TfrmAddContact(const std::string& book_file, const std::string& name, const std::string& address,
                 QWidget* parent = nullptr);

  QComboBox* cboGroups;
  QLineEdit* edtFullName;
  QLineEdit* edtEmail;
  QPushButton* btnOK;
  QPushButton* btnCancel;

  // The file of the chosen book.
  std::string ChosenBookFile() const;
  // Writes the new contact; false (dialog stays open) when refused.
  bool Save();
  void edtFullNameChange();
  void btnOKClick();
};

}  // namespace qm
