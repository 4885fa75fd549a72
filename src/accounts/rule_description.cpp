#include "accounts/rule_description.h"

#include "platform/file_system.h"
#include "shell/report_error.h"

namespace qm {

std::string RuleFieldWord(uint8_t criteria_field) {
  static const char* const kWords[] = {"message author", "subject", "destinee", "message's CC", "message body"};
  return criteria_field <= kFieldBody ? kWords[criteria_field] : "";
}

std::string RuleComparisonWord(uint8_t criteria_type) {
  static const char* const kWords[] = {"is", "is not", "contains", "does not contain", "begins with", "ends with"};
  return criteria_type <= kCriteriaEndsWith ? kWords[criteria_type] : "";
}

std::string RuleActionText(const cMessageRule& rule) {
  auto folder = [](const std::string& dest) { return QuotedStr(ChangeFileExt(ExtractFileName(dest), "")); };
  switch (rule.ActionType) {
    case kActionMove: return "move to folder " + folder(rule.MoveDestination);
    case kActionCopy: return "copy to folder " + folder(rule.CopyDestination);
    case kActionDelete: return "delete and don't download";
    case kActionLeaveOnServer: return "download but leave on server";
    case kActionIgnore: return "ignore the message";
    case kActionPlaySound: return "play sound " + QuotedStr(ExtractFileName(rule.SoundFile));
    case kActionForward: return "forward the email to " + rule.ForwardAddress;
    case kActionPrint: return "print it";
    default: return "";
  }
}

cRuleDescription DescribeRule(const cMessageRule& rule) {
  return {RuleFieldWord(rule.CriteriaField), RuleComparisonWord(rule.CriteriaType), rule.Criteria,
          RuleActionText(rule)};
}

}  // namespace qm
