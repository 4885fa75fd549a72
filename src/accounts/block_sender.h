#pragma once
// The "&Block sender" command of the message list.
#include <string>

#include "accounts/message_rules.h"
#include "accounts/user_prompts.h"
#include "store/mail_message.h"

namespace qm {

// Rule: author contains the sender's address, delete and don't download.
cMessageRule MakeBlockSenderRule(const cMailMessage& msg);

// Appends that rule to the incoming rules of `selected_account` (the account
// of the selected folder node), or of the message's own account when none is
// selected, and tells the user. False, with nothing written and nothing
// shown, when the message has no sender address or no account is known; a
// write failure is reported through ReportError.
bool BlockSender(const cMailMessage& msg, const std::string& selected_account, UserPrompts& prompts);

}  // namespace qm
