#pragma once
// The question before a Trash is emptied.
#include <QDialog>

class QCheckBox;
class QPushButton;

namespace qm {

class TfrmEmptyTrash : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmEmptyTrash(QWidget* parent = nullptr);
  QPushButton* btnYes;
  QPushButton* btnNo;
  QCheckBox* chkDontAskAgain;
};

// True on Yes; `dont_ask_again` is the state of the check box.
bool AskEmptyTrash(bool& dont_ask_again, QWidget* parent = nullptr);

}  // namespace qm
