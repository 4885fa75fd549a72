#pragma once
// Which rule decides a message's action.
#include <string>

#include "accounts/message_rules.h"
#include "store/mail_message.h"

namespace qm {

// The message field a rule tests; the body is every line followed by CR LF.
// An unknown field gives nothing (see RuleMatches).
std::string RuleFieldValue(const cMailMessage& msg, uint8_t criteria_field);

// The test of one rule, whether or not it is active. Letters A to Z are folded
// to lower case, every other byte is compared as it is. A rule whose field or
// comparison is out of range matches nothing.
bool RuleMatches(const cMailMessage& msg, const cMessageRule& rule);

// A copy of the first active rule that matches, or a rule with action 0.
// An action number out of range is returned as 0.
cMessageRule MatchRule(const cMailMessage& msg, const cRulesArray& rules);

}  // namespace qm
