#include "ui/redirect_dialog.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "store/message_ref.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

TfrmRedirectPrompt::TfrmRedirectPrompt(QWidget* parent) : TfrmRedirectEmail(parent) {
  setObjectName("frmRedirectEmail");
  setFixedSize(330, 130);
  btnOK->setText("&Send now");
  btnPutInUnsent = new QPushButton("&Put in unsent", this);
  btnPutInUnsent->setObjectName("btnPutInUnsent");
  btnPutInUnsent->setEnabled(false);
  btnBrowse = new QPushButton("...", this);
  btnBrowse->setObjectName("btnBrowse");
  btnBrowse->setFixedWidth(28);
  disconnect(btnOK, nullptr, this, nullptr);
  connect(btnOK, &QPushButton::clicked, this, [this] { done(SendNow); });
  connect(btnPutInUnsent, &QPushButton::clicked, this, [this] { done(PutInUnsent); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { done(Cancelled); });
  connect(edtName, &QLineEdit::textChanged, this, [this] { btnPutInUnsent->setEnabled(btnOK->isEnabled()); });
  connect(btnBrowse, &QPushButton::clicked, this, [this] {
    std::string address = S(edtName->text());
    if (BrowseContactsDialog(address)) edtName->setText(Q(address));
  });
  // The edit line gets the browse button beside it; the buttons row gets
  // "&Put in unsent" before "&Cancel".
  auto* root = qobject_cast<QVBoxLayout*>(layout());
  int edit_at = root->indexOf(edtName);
  root->removeWidget(edtName);
  auto* edit_row = new QHBoxLayout;
  edit_row->addWidget(edtName, 1);
  edit_row->addWidget(btnBrowse);
  root->insertLayout(edit_at, edit_row);
  if (auto* buttons = qobject_cast<QHBoxLayout*>(root->itemAt(root->count() - 1)->layout()))
    buttons->insertWidget(buttons->indexOf(btnCancel), btnPutInUnsent);
}

bool RedirectDialog(const std::string& message_ref, const std::string& account, QWidget* parent) {
  TfrmRedirectPrompt dialog(parent);
  dialog.edtName->clear();
  dialog.edtNameChange();
  int answer = dialog.exec();
  if (answer == TfrmRedirectPrompt::Cancelled) return false;
  const std::string recipient = S(dialog.edtName->text().trimmed());
  std::string path, key;
  if (!ParseMessageRef(message_ref, path, key)) return true;
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db)) return true;
  cMailMessage msg;
  InitMessage(msg);
  if (GetMessage(*db, msg, true, key)) RedirectMessage(msg, account, recipient, answer == TfrmRedirectPrompt::SendNow);
  FreeMessage(msg);
  ReleaseQDB(db);
  return true;
}

}  // namespace qm
