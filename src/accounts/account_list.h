#pragma once
// The accounts under MailDir and the default account.
#include <string>

#include "platform/text_lines.h"

namespace qm {

// Names of the directories directly in MailDir whose extension is not ".FLD",
// sorted ignoring letter case. With `hide_when_composing` set, accounts whose
// [Server] HideWhenComposing is true are left out (the compose window's list).
StringList ListAccounts(bool hide_when_composing = false);

// [Options] DefaultAccount of Options.ini; when empty the first account of the
// list; empty when there is no account.
std::string GetDefaultAccount();

}  // namespace qm
