// Any rules file loads, matches and describes without a crash, and saving
// what was loaded gives back the same rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "accounts/message_rules.h"
#include "accounts/rule_description.h"
#include "accounts/rule_matching.h"
#include "input_dir.h"
#include "platform/file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  InputDir dir;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = dir.path() + "rules.ini";
  qm::WriteFileAtomically(path, bytes);
  qm::cRulesArray rules = qm::LoadRules(path);

  qm::cMailMessage msg;
  qm::InitMessage(msg);
  const size_t cut = bytes.size() / 2;
  msg.From = bytes.substr(0, cut);
  msg.Subject = bytes.substr(cut);
  *msg.Body = qm::SplitLines(bytes);
  qm::cMessageRule hit = qm::MatchRule(msg, rules);
  if (hit.ActionType > qm::kActionPrint) abort();
  for (const auto& r : rules) qm::DescribeRule(r);

  qm::SaveRules(path, rules);
  qm::cRulesArray again = qm::LoadRules(path);
  if (again.size() != rules.size()) abort();
  for (size_t i = 0; i < rules.size(); ++i) {
    const auto &a = rules[i], &b = again[i];
    // Line breaks inside a text cannot survive the file; everything else does.
    bool texts_kept = a.Criteria.find_first_of("\r\n") != std::string::npos || a.Criteria == b.Criteria;
    if (a.Active != b.Active || a.CriteriaType != b.CriteriaType || a.CriteriaField != b.CriteriaField ||
        a.ActionType != b.ActionType || !texts_kept)
      abort();
  }
  qm::FreeMessage(msg);
  return 0;
}
