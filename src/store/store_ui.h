#pragma once
// What mailbox access and the folder tree ask of the windows, and how they
// start fetch and send tasks (the task framework lives above the store).
// The windows implement StoreUi, the task framework MailTaskStarter; tests
// install recording fakes. With none installed the store works silently:
// no list to refresh, a password prompt that is cancelled, no questions
// answered yes.
//
// Calls other than the prompts come with the store lock held, on whichever
// thread made the change: a window implementation hands them to its own
// thread and must not wait there. The prompts (AskMailboxPassword,
// DeleteAttachmentsOf, AskYesNo) are called with the lock given up, so they
// may wait for the interface thread.
#include <memory>
#include <string>
#include <vector>

#include "platform/date_time.h"
#include "platform/text_lines.h"
#include "store/mail_message.h"

namespace qm {

class cFolderNode;

// Data kept on a message list row.
struct cMsgNodeInfo {
  std::string Key;
  int32_t Size = 0;
  TDateTime Date = 0;
};

class StoreUi {
 public:
  virtual ~StoreUi() = default;

  // --- The message list of the mailbox shown --------------------------
  // A message was stored in the mailbox shown: add its row; select it when
  // it is the only row, else scroll it into view. `msg` is the record as
  // stored.
  virtual void ListAddRow(const cMsgNodeInfo& row, const cMailMessage& msg) = 0;
  // The stored message changed: refresh its row when there is one, and when
  // that row is focused let the viewer show the new state.
  virtual void ListRefreshRow(const std::string& key, const cMailMessage& msg) = 0;
  // The message left the mailbox shown: remove its row; if it was focused,
  // select the row now at its position (clamped).
  virtual void ListRemoveRow(const std::string& key) = 0;
  // The mailbox shown was rewritten as a whole (emptied): load it again.
  virtual void ListReload() = 0;
  // Status line text (" %d Total message(s), %d unread" or empty).
  virtual void ShowStatus(const std::string& text) = 0;

  // --- Prompts (called without the store lock) -------------------------
  // The mailbox password prompt; true with the typed text when confirmed.
  virtual bool AskMailboxPassword(std::string& password) = 0;
  // The delete-attachments behaviour for a message read with its lists.
  virtual void DeleteAttachmentsOf(const cMailMessage& msg) = 0;
  // A yes/no question with the question icon; true on yes.
  virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;

  // There is no account: the main window's add-account command.
  virtual void OpenAddAccount() = 0;
};

// Installs the windows' side (nullptr removes it); returns the previous one.
std::shared_ptr<StoreUi> SetStoreUi(std::shared_ptr<StoreUi> ui);
std::shared_ptr<StoreUi> GetStoreUi();

class MailTaskStarter {
 public:
  virtual ~MailTaskStarter() = default;
  // A fetch task for the account with the caller's two task options.
  virtual void StartFetchTask(const std::string& account, bool silent, bool ask_to_go_online) = 0;
  // A send task for the account on a mailbox file with these keys.
  virtual void StartSendTask(const std::string& account, const std::string& mailbox_path,
                             const StringList& keys) = 0;
};

std::shared_ptr<MailTaskStarter> SetMailTaskStarter(std::shared_ptr<MailTaskStarter> starter);
std::shared_ptr<MailTaskStarter> GetMailTaskStarter();

}  // namespace qm
