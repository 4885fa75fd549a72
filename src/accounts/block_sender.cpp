#include "accounts/block_sender.h"

#include <exception>

#include "accounts/account_settings.h"
#include "shell/report_error.h"

namespace qm {

cMessageRule MakeBlockSenderRule(const cMailMessage& msg) {
  cMessageRule r;
  r.Active = true;
  r.Criteria = msg.FromAddress;
  r.CriteriaType = kCriteriaContains;
  r.CriteriaField = kFieldFrom;
  r.ActionType = kActionDelete;
  return r;
}

bool BlockSender(const cMailMessage& msg, const std::string& selected_account, UserPrompts& prompts) {
  const std::string account = selected_account.empty() ? msg.Account : selected_account;
  // An empty address would make a rule that matches nothing while the user is
  // told the sender is blocked; without an account there is no rules file.
  if (msg.FromAddress.empty() || !IsValidAccountName(account)) return false;
  try {
    AppendRule(IncomingRulesFile(account), MakeBlockSenderRule(msg));
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured in BlockSender ()");
    return false;
  }
  prompts.ShowMessage("The sender has been blocked. Any messages from this address will be deleted without downloading",
                      "Author blocked", PromptIcon::Information);
  return true;
}

}  // namespace qm
