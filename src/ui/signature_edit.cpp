#include "ui/signature_edit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "contacts/signatures.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"
#include "ui/ok_cancel_dialog.h"
#include "ui/qt_text.h"

namespace qm {

TfrmSignature::TfrmSignature(bool create, QWidget* parent) : QDialog(parent), create_(create) {
  edtDescription = new QLineEdit(this);
  edtDescription->setObjectName("edtDescription");
  edtSignature = new QPlainTextEdit(this);
  edtSignature->setObjectName("edtSignature");
  edtSignature->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* name_label = new QLabel("&Signature name", this);
  name_label->setBuddy(edtDescription);
  auto* text_label = new QLabel("&Signature's message:", this);
  text_label->setBuddy(edtSignature);
  OkCancelButtons b = SetUpOkCancelDialog(this, "frmSignature", "Create/Edit signature",
                                          {name_label, edtDescription, text_label, {edtSignature, 1}});
  btnOK = b.ok;
  btnCancel = b.cancel;
  resize(420, 320);

  connect(edtDescription, &QLineEdit::textChanged, this, &TfrmSignature::FieldsChange);
  connect(edtSignature, &QPlainTextEdit::textChanged, this, &TfrmSignature::FieldsChange);
  connect(btnOK, &QPushButton::clicked, this, &TfrmSignature::btnOKClick);
  FieldsChange();
}

void TfrmSignature::SetSignature(const std::string& name, const StringList& lines) {
  original_name_ = name;
  edtDescription->setText(Q(name));
  QStringList text;
  for (const std::string& line : lines) text << Q(line);
  edtSignature->setPlainText(text.join("\n"));
}

std::string TfrmSignature::SignatureName() const { return S(edtDescription->text().trimmed()); }

StringList TfrmSignature::SignatureLines() const {
  StringList lines;
  for (const QString& line : edtSignature->toPlainText().split('\n')) lines.push_back(S(line));
  return lines;
}

void TfrmSignature::FieldsChange() {
  btnOK->setEnabled(!edtDescription->text().trimmed().isEmpty() && !edtSignature->toPlainText().isEmpty());
}

void TfrmSignature::btnOKClick() {
  const std::string name = SignatureName();
  // A rename onto another signature's name would be refused after OK and the
  // edited text lost with it, so it is refused here as well.
  const bool taken = create_ ? SignatureExists(name) : !SameTextAscii(name, original_name_) && SignatureExists(name);
  if (taken) {
    ReportError("A signature with this name already exists!");
    edtDescription->setFocus();
    return;
  }
  accept();
}

}  // namespace qm
