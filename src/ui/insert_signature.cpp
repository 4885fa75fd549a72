#include "ui/insert_signature.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "contacts/signatures.h"
#include "ui/ok_cancel_dialog.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points_trace.h"

namespace qm {

TfrmInsertSignature::TfrmInsertSignature(QWidget* parent) : QDialog(parent) {
  lstSignatures = new QListWidget(this);
  lstSignatures->setObjectName("lstSignatures");
  SignaturePreviewMemo = new QPlainTextEdit(this);
  SignaturePreviewMemo->setObjectName("SignaturePreviewMemo");
  SignaturePreviewMemo->setReadOnly(true);
  SignaturePreviewMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  OkCancelButtons b = SetUpOkCancelDialog(this, "frmInsertSignature", "Insert signature",
                                          {{lstSignatures, 1}, new QLabel("Preview:", this), {SignaturePreviewMemo, 1}});
  btnOK = b.ok;
  btnCancel = b.cancel;
  resize(360, 340);

  for (const std::string& name : ListSignatures()) lstSignatures->addItem(Q(name));
  connect(lstSignatures, &QListWidget::currentRowChanged, this, [this] { lstSignaturesChange(); });
  connect(lstSignatures, &QListWidget::itemDoubleClicked, this, [this] {
    if (!FocusedSignature().empty()) accept();
  });
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  if (lstSignatures->count() > 0) lstSignatures->setCurrentRow(0);
  lstSignaturesChange();
}

std::string TfrmInsertSignature::FocusedSignature() const {
  QListWidgetItem* item = lstSignatures->currentItem();
  return item ? S(item->text()) : std::string();
}

void TfrmInsertSignature::lstSignaturesChange() {
  const std::string name = FocusedSignature();
  btnOK->setEnabled(!name.empty());
  QStringList text;
  if (!name.empty())
    for (const std::string& line : SignaturePreview(name)) text << Q(line);
  SignaturePreviewMemo->setPlainText(text.join("\n"));
}

bool PickSignature(std::string& name, QWidget* parent) {
  if (TraceWindowEntryPoint("PickSignature")) return false;
  TfrmInsertSignature dialog(parent ? parent : QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted || dialog.FocusedSignature().empty()) return false;
  name = dialog.FocusedSignature();
  return true;
}

bool PickSignatureText(std::string& name, StringList& lines, QWidget* parent) {
  lines.clear();
  return PickSignature(name, parent) && LoadSignature(name, lines);
}

}  // namespace qm
