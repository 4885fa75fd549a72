#include "ui/generic_prompt_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/dialog_frame.h"
#include "ui/qt_text.h"

namespace qm {

TfrmGenericPromptDialog::TfrmGenericPromptDialog(const QString& caption, const QString& title,
                                                 const QString& description, bool masked, QWidget* parent)
    : QDialog(parent) {
  SetFixedDialogFrame(this, caption, 258, 130);
  setFont(QFont("Tahoma", 8));

  auto* picture = new QLabel(this);
  picture->setPixmap(style()->standardIcon(masked ? QStyle::SP_MessageBoxWarning : QStyle::SP_FileDialogNewFolder)
                         .pixmap(32, 32));
  picture->setFixedSize(32, 32);
  lblTitle = new QLabel(title, this);
  lblTitle->setObjectName("lblTitle");
  QFont bold = lblTitle->font();
  bold.setBold(true);
  lblTitle->setFont(bold);
  lblTitle->setWordWrap(true);
  lblDescription = new QLabel(description, this);
  lblDescription->setObjectName("lblDescription");
  lblDescription->setWordWrap(true);
  edtName = new QLineEdit(this);
  edtName->setObjectName("edtName");
  if (masked) {
    edtName->setEchoMode(QLineEdit::Password);
    // Show "*" for every character.
    edtName->setStyleSheet("lineedit-password-character: 42");
  }
  btnOK = new QPushButton("&OK", this);
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  btnOK->setEnabled(false);
  btnCancel = new QPushButton("&Cancel", this);
  btnCancel->setObjectName("btnCancel");
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(edtName, &QLineEdit::textChanged, this, &TfrmGenericPromptDialog::edtNameChange);

  auto* head = new QGridLayout;
  head->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
  head->addWidget(lblTitle, 0, 1);
  head->addWidget(lblDescription, 1, 1);
  head->setColumnStretch(1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(8, 8, 8, 8);
  root->addLayout(head);
  root->addWidget(edtName);
  root->addLayout(buttons);
  // Fonts wider than the one the frame was drawn for wrap the texts; the
  // dialog grows so no line is cut off.
  const int fit = root->hasHeightForWidth() ? root->totalHeightForWidth(width()) : root->totalSizeHint().height();
  if (fit > height()) setFixedSize(width(), fit);
}

void TfrmGenericPromptDialog::edtNameChange() { btnOK->setEnabled(!edtName->text().trimmed().isEmpty()); }

std::pair<bool, std::string> RunPrompt(TfrmGenericPromptDialog& dialog, const std::string& preset) {
  dialog.edtName->setText(Q(preset));
  dialog.edtNameChange();
  bool ok = dialog.exec() == QDialog::Accepted;
  return {ok, S(dialog.edtName->text())};
}

}  // namespace qm
