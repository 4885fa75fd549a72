#pragma once
// cPOP3Task_FetchMail: fetches an account's new mail into its mailboxes,
// applying the incoming rules, and deletes it from the server unless mail
// is left there.
#include <string>

#include "accounts/message_rules.h"
#include "platform/text_lines.h"
#include "store/mail_message.h"
#include "transport/pop3_task.h"

namespace qm {

class cPOP3Task_FetchMail : public cPOP3Task {
 public:
  std::string GetTaskName() const override { return "Fetch mail"; }

  // Before queuing: fetch exactly these message numbers (decimal texts), in
  // this order, without the unique-id bookkeeping.
  void SetFetchSelected(bool fetch_selected, const StringList& list);

  // Messages stored by this task so far.
  int StoredCount() const { return stored_count_; }

 protected:
  bool RunTask() override;

 private:
  // One message: retrieve, rules, size prompt, store, delete. False ends the
  // loop. `kept` tells whether the message is safe locally or was meant to
  // stay away (skipped, erased); false when it could not be stored.
  bool FetchMessage(int index, int number, const cRulesArray& rules, int total, bool& kept);
  bool StoreIn(const std::string& path);
  // Makes every mailbox written by this task durable; false (reported) when
  // one could not be written.
  bool FlushMailboxes();

  bool leave_mail_on_server_ = false;
  bool fetch_selected_ = false;
  StringList selected_list_;
  cMailMessage current_message_;
  cMessageRule matched_rule_;
  bool size_limit_on_ = false;
  int size_threshold_ = 100;
  int stored_count_ = 0;
};

// StartFetchMail of the main window: queues a fetch for the account unless
// its [Server] DoNotCheckMail is set and `force` is not (UI thread).
void StartFetchMail(const std::string& account, bool silent, bool ask_to_go_online, bool force);

}  // namespace qm
