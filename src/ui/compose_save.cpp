// TfrmCompose: checking, building and storing the message, and the commands
// that send or keep it.
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTextEdit>

#include "message/line_wrap.h"
#include "message/message_id.h"
#include "message/outgoing_message.h"
#include "message/parse_message.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "store/store_ui.h"
#include "transport/task_starter.h"
#include "transport/task_store.h"
#include "ui/compose_window.h"
#include "ui/qt_text.h"
#include "ui/spell_checker.h"
#include "ui/spell_dialog.h"
#include "ui/spell_options_dialog.h"

namespace qm {

bool TfrmCompose::ValidateMessage() {
  auto refuse = [this](const char* text, QWidget* field) {
    QMessageBox::information(this, windowTitle(), text);
    field->setFocus();
    return false;
  };
  if (edtFrom->text().isEmpty()) return refuse("You must specify a sender name!", edtFrom);
  if (ServersList->currentIndex() < 0) return refuse("You must select a server to send the message with!", ServersList);
  if (edtTo->text().isEmpty()) return refuse("You must specify the recipient!", edtTo);
  return true;
}

void TfrmCompose::BuildMessage() {
  msg_.Read = true;
  msg_.From = S(edtFrom->text());
  msg_.Account = S(ServersList->currentText());
  msg_.To = S(edtTo->text());
  msg_.FromName = GetDisplayName(msg_.From);
  msg_.FromAddress = GetEmailAddress(msg_.From);
  msg_.CC = S(edtCC->text());
  msg_.BCC = S(edtBCC->text());
  msg_.Subject = S(edtSubject->text());
  msg_.MessageID = NewMessageID();
  msg_.IsHTML = false;
  if (IsAutoWrapOn()) mnuRewrapClick();
  std::string text = EditorText();
  *msg_.Body = SplitLines(text);
  int64_t size = static_cast<int64_t>(JoinLines(*msg_.Body).size());
  for (const std::string& path : *msg_.Attachments) size += std::max<int64_t>(0, FileSizeOf(path));
  msg_.Size = static_cast<int32_t>(std::min<int64_t>(size, INT32_MAX));
  BuildHeaderLines(msg_, *msg_.Headers);
}

bool TfrmCompose::SaveMessage(const std::string& target, bool move) {
  if (!ValidateMessage()) return false;
  BuildMessage();
  const std::string target_path = StandardMailboxPath(msg_.Account, target);
  TQDB* db = nullptr;
  if (stored_) {
    if (!GetQDBForFile(stored_path_, db)) return false;
    bool ok = ChangeMessage(*db, msg_, stored_key_, true);
    if (!ok) {
      // The stored copy went away meanwhile (deleted or moved): store the
      // message afresh instead of losing it.
      TKey key;
      ok = AddMessage(*db, msg_, true, nullptr, key);
      if (ok) stored_key_ = key;
    }
    ReleaseQDB(db);
    if (!ok) return false;
    if (move && target_path != stored_path_) {
      TKey new_key;
      if (!MoveMessageBetweenFiles(stored_path_, target_path, stored_key_, new_key, true, true)) return false;
      stored_path_ = target_path;
      stored_key_ = new_key;
    }
  } else {
    if (!GetQDBForFile(target_path, db)) return false;
    TKey key;
    bool ok = AddMessage(*db, msg_, true, nullptr, key);
    ReleaseQDB(db);
    if (!ok) return false;
    stored_ = true;
    stored_path_ = target_path;
    stored_key_ = key;
  }
  modified_ = false;
  return true;
}

void TfrmCompose::mnuSendNowClick() {
  if (SpellCheckAvailable() && OptionsIni && OptionsIni->ReadBool("Message", "SpellCheckBeforeSend", false))
    mnuSpellCheckClick();
  if (!SaveMessage("Unsent", true)) return;
  std::string account = msg_.Account, path = stored_path_, key = stored_key_;
  closing_ = true;
  close();
  if (!GetMailTaskStarter()) InstallTaskStarter();
  GetMailTaskStarter()->StartSendTask(account, path, {key});
}

void TfrmCompose::mnuSendLaterClick() {
  if (!SaveMessage("Unsent", true)) return;
  closing_ = true;
  close();
}

void TfrmCompose::mnuFinishLaterClick() {
  if (!SaveMessage("Unfinished", false)) return;
  closing_ = true;
  close();
}

void TfrmCompose::mnuSaveClick() { SaveMessage("Unfinished", false); }

void TfrmCompose::mnuSpellCheckClick() {
  if (!SpellCheckAvailable()) return;
  Qt::WindowFlags flags = windowFlags();
  setWindowFlags(flags | Qt::WindowStaysOnTopHint);
  show();
  RunSpellCheck(RichEdit, *spell_, this);
  setWindowFlags(flags);
  show();
}

}  // namespace qm

namespace qm {

void TfrmCompose::mnuSpellOptionsClick() {
  TfrmSpellOptions dialog(this);
  dialog.exec();
  bool ok = spell_->LoadConfiguration();
  Command("mnuSpellCheck")->setEnabled(ok);
  Command("tbSpellCheck")->setEnabled(ok);
}

}  // namespace qm
