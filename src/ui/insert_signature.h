#pragma once
// The signature picker of the compose window.
#include <QDialog>
#include <string>

#include "platform/text_lines.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace qm {

class TfrmInsertSignature : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmInsertSignature(QWidget* parent = nullptr);

  QListWidget* lstSignatures;
  QPlainTextEdit* SignaturePreviewMemo;
  QPushButton* btnOK;
  QPushButton* btnCancel;

  std::string FocusedSignature() const;
  void lstSignaturesChange();
};

// The picker, modal: true with the chosen name, false on Cancel.
bool PickSignature(std::string& name, QWidget* parent = nullptr);
// The picker, then the chosen signature's text; false on Cancel or when the
// text cannot be loaded (nothing is to be inserted then).
bool PickSignatureText(std::string& name, StringList& lines, QWidget* parent = nullptr);

}  // namespace qm
