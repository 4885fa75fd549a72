#include "accounts/rule_matching.h"

#include "shell/text_utils.h"

namespace qm {

std::string RuleFieldValue(const cMailMessage& msg, uint8_t criteria_field) {
  switch (criteria_field) {
    case kFieldFrom: return msg.From;
    case kFieldSubject: return msg.Subject;
    case kFieldTo: return msg.To;
    case kFieldCC: return msg.CC;
    case kFieldBody: return msg.Body ? JoinLines(*msg.Body) : std::string();
    default: return std::string();
  }
}

bool RuleMatches(const cMailMessage& msg, const cMessageRule& rule) {
  if (rule.CriteriaField > kFieldBody) return false;
  const std::string value = LowerCaseAscii(RuleFieldValue(msg, rule.CriteriaField));
  const std::string crit = LowerCaseAscii(rule.Criteria);
  const bool contains = !crit.empty() && value.find(crit) != std::string::npos;
  switch (rule.CriteriaType) {
    case kCriteriaIs: return value == crit;
    case kCriteriaIsNot: return value != crit;
    case kCriteriaContains: return contains;
    case kCriteriaNotContains: return !contains;
    case kCriteriaBeginsWith: return value.size() >= crit.size() && value.compare(0, crit.size(), crit) == 0;
    case kCriteriaEndsWith:
      return value.size() >= crit.size() && value.compare(value.size() - crit.size(), crit.size(), crit) == 0;
    default: return false;
  }
}

cMessageRule MatchRule(const cMailMessage& msg, const cRulesArray& rules) {
  for (const cMessageRule& r : rules) {
    if (!r.Active || !RuleMatches(msg, r)) continue;
    cMessageRule hit = r;
    if (hit.ActionType > kActionPrint) hit.ActionType = kActionNone;
    return hit;
  }
  cMessageRule none;
  none.ActionType = kActionNone;
  return none;
}

}  // namespace qm
