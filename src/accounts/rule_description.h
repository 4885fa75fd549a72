#pragma once
// The words the rules list shows for a rule.
#include <string>

#include "accounts/message_rules.h"

namespace qm {

struct cRuleDescription {
  std::string Field;       // "message author", "subject", ...
  std::string Comparison;  // "is", "contains", ...
  std::string Criteria;    // the rule's text as it is
  std::string Action;      // "move to folder 'Work'", ... ; empty for action 0
};

// Unknown field, comparison or action numbers give empty words.
cRuleDescription DescribeRule(const cMessageRule& rule);

// The single words, for the same tables.
std::string RuleFieldWord(uint8_t criteria_field);
std::string RuleComparisonWord(uint8_t criteria_type);
std::string RuleActionText(const cMessageRule& rule);

}  // namespace qm
