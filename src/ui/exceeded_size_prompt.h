#pragma once
// The question asked about a message larger than the account's size limit.
#include <QDialog>

#include "transport/task_ui.h"

class QLineEdit;
class QPushButton;

namespace qm {

class TfrmExceededSizePrompt : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmExceededSizePrompt(const cSizePromptInfo& info, QWidget* parent = nullptr);

  // The answer after exec(); closing the window counts as Fetch.
  TSizePromptAnswer Answer() const { return answer_; }

  QLineEdit* edtFrom;
  QLineEdit* edtSubject;
  QLineEdit* edtTo;
  QLineEdit* edtDate;
  QLineEdit* edtSize;
  QPushButton* btnSkip;
  QPushButton* btnFetch;
  QPushButton* btnErase;

 private:
  TSizePromptAnswer answer_ = TSizePromptAnswer::Fetch;
};

// Shows the prompt modal and returns the answer.
TSizePromptAnswer AskExceededSize(const cSizePromptInfo& info, QWidget* parent = nullptr);

}  // namespace qm
