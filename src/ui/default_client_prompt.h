#pragma once
// The question whether to become the default mail client.
#include <QDialog>

class QCheckBox;
class QPushButton;

namespace qm {

class TfrmDefaultClientPrompt : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmDefaultClientPrompt(QWidget* parent = nullptr);

  QCheckBox* chkDontAskAgain;
  QPushButton* btnYes;
  QPushButton* btnNo;
};

// Shows the question modal; true for Yes, dont_ask_again from the box.
bool AskDefaultClientQuestion(bool& dont_ask_again);

}  // namespace qm
