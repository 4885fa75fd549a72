#include "ui/default_client_prompt.h"

#include "ui/dialog_frame.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace qm {

TfrmDefaultClientPrompt::TfrmDefaultClientPrompt(QWidget* parent) : QDialog(parent) {
  setObjectName("frmDefaultClientPrompt");
  SetFixedDialogFrame(this, "Quillmar", 252, 120);

  auto* icon = new QLabel(this);
  QIcon appIcon = QApplication::windowIcon();
  if (appIcon.isNull()) appIcon = style()->standardIcon(QStyle::SP_MessageBoxQuestion);
  icon->setPixmap(appIcon.pixmap(32, 32));
  icon->setFixedSize(32, 32);
  auto* text = new QLabel(
      "Quillmar is currently not your default Mail Client. Would you like to register it as the default one?",
      this);
  text->setWordWrap(true);
  chkDontAskAgain = new QCheckBox("&Dont ask me this again", this);
  chkDontAskAgain->setObjectName("chkDontAskAgain");
  btnYes = new QPushButton("&Yes", this);
  btnYes->setObjectName("btnYes");
  btnYes->setDefault(true);
  btnNo = new QPushButton("&No", this);
  btnNo->setObjectName("btnNo");
  connect(btnYes, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnNo, &QPushButton::clicked, this, &QDialog::reject);

  auto* head = new QHBoxLayout;
  head->addWidget(icon, 0, Qt::AlignTop);
  head->addWidget(text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(chkDontAskAgain);
  buttons->addStretch();
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(btnYes);
  row->addWidget(btnNo);
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);
  root->addLayout(head, 1);
  root->addLayout(buttons);
  root->addLayout(row);
}

bool AskDefaultClientQuestion(bool& dont_ask_again) {
  TfrmDefaultClientPrompt dialog;
  bool yes = dialog.exec() == QDialog::Accepted;
  dont_ask_again = dialog.chkDontAskAgain->isChecked();
  return yes;
}

}  // namespace qm
