#include "ui/empty_trash_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/main_icons.h"

namespace qm {

TfrmEmptyTrash::TfrmEmptyTrash(QWidget* parent) : QDialog(parent) {
  setObjectName("frmEmptyTrash");
  setWindowTitle("Empty trash");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
  auto* picture = new QLabel(this);
  picture->setPixmap(NodePicture(NodeIcon::Trash).pixmap(32, 32));
  auto* title = new QLabel("Empty Trash", this);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  auto* text = new QLabel("Are you certain you wish to permenantly empty the trash folder?", this);
  text->setWordWrap(true);
  btnYes = new QPushButton("&Yes", this);
  btnYes->setObjectName("btnYes");
  btnYes->setDefault(true);
  btnNo = new QPushButton("&No", this);
  btnNo->setObjectName("btnNo");
  chkDontAskAgain = new QCheckBox("&Do not ask me again", this);
  chkDontAskAgain->setObjectName("chkDontAskAgain");
  connect(btnYes, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnNo, &QPushButton::clicked, this, &QDialog::reject);

  auto* texts = new QVBoxLayout;
  texts->addWidget(title);
  texts->addWidget(text);
  auto* head = new QHBoxLayout;
  head->addWidget(picture, 0, Qt::AlignTop);
  head->addLayout(texts, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(chkDontAskAgain);
  buttons->addStretch();
  buttons->addWidget(btnYes);
  buttons->addWidget(btnNo);
  auto* root = new QVBoxLayout(this);
  root->addLayout(head);
  root->addLayout(buttons);
  setFixedSize(sizeHint().expandedTo(QSize(330, 110)));
}

bool AskEmptyTrash(bool& dont_ask_again, QWidget* parent) {
  TfrmEmptyTrash dialog(parent);
  bool yes = dialog.exec() == QDialog::Accepted;
  dont_ask_again = dialog.chkDontAskAgain->isChecked();
  return yes;
}

}  // namespace qm
