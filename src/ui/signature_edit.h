#pragma once
// Creating or editing one signature: its name and its text.
#include <QDialog>
#include <string>

#include "platform/text_lines.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qm {

class TfrmSignature : public QDialog {
  Q_OBJECT
 public:
  // `create`: a new signature, whose name must not be taken yet.
  TfrmSignature(bool create, QWidget* parent = nullptr);

  QLineEdit* edtDescription;
  QPlainTextEdit* edtSignature;
  QPushButton* btnOK;
  QPushButton* btnCancel;

  void SetSignature(const std::string& name, const StringList& lines);
  std::string SignatureName() const;
  StringList SignatureLines() const;

  void FieldsChange();
  void btnOKClick();

 private:
  bool create_;
  std::string original_name_;
};

}  // namespace qm
