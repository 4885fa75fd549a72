#include "accounts/message_rules.h"

#include "accounts/account_settings.h"
#include "platform/file_system.h"
#include "shell/ini_file.h"
#include "shell/text_utils.h"

namespace qm {

namespace {

uint8_t ReadByte(const IniFile& ini, const std::string& section, const char* key, uint8_t def) {
  int v = ini.ReadInteger(section, key, def);
  return v < 0 || v > 255 ? kOutOfRange : static_cast<uint8_t>(v);
}

// Reading trims blanks and removes one pair of enclosing quotes, so a value
// that would lose either is written inside quotes; criteria keep their exact text.
std::string ProtectValue(const std::string& v) {
  if (v.empty()) return v;
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  bool quoted = v.size() >= 2 && v.front() == '"' && v.back() == '"';
  if (blank(v.front()) || blank(v.back()) || quoted) return "\"" + v + "\"";
  return v;
}

// Destinations are taken relative to MailDir; one that climbs out of it
// (a ".." step) or is absolute reads as no destination.
std::string InsideMailDir(const std::string& path) {
  if (!path.empty() && path.front() == '/') return "";
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (path.compare(start, slash == std::string::npos ? std::string::npos : slash - start, "..") == 0) return "";
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return path;
}

// The section as WriteRule leaves it in the file.
void AppendRuleSection(StringList& lines, const std::string& section, const cMessageRule& rule) {
  auto text = [](const std::string& v) {
    std::string out = ProtectValue(v);
    for (char& c : out)
      if (c == '\r' || c == '\n') c = ' ';
    return out;
  };
  lines.push_back("[" + section + "]");
  lines.push_back(std::string("Active=") + (rule.Active ? "1" : "0"));
  lines.push_back("Criteria=" + text(rule.Criteria));
  lines.push_back("CriteriaType=" + std::to_string(rule.CriteriaType));
  lines.push_back("CriteriaField=" + std::to_string(rule.CriteriaField));
  lines.push_back("ActionType=" + std::to_string(rule.ActionType));
  lines.push_back("CopyDestination=" + text(rule.CopyDestination));
  lines.push_back("MoveDestination=" + text(rule.MoveDestination));
  lines.push_back("SoundFile=" + text(rule.SoundFile));
  lines.push_back("ForwardAddress=" + text(rule.ForwardAddress));
}

}  // namespace

std::string IncomingRulesFile(const std::string& account) { return AccountDir(account) + "Incoming rules.ini"; }
std::string OutgoingRulesFile(const std::string& account) { return AccountDir(account) + "Outgoing rules.ini"; }

cRulesArray LoadRules(const std::string& path) {
  cRulesArray rules;
  try {
    IniFile ini(path);
    IniFile::UpdateScope batch(ini);  // one parse of the file for every key
    for (const std::string& section : ini.ReadSections()) {
      cMessageRule r;
      r.Active = ini.ReadBool(section, "Active", true);
      r.Criteria = ini.ReadString(section, "Criteria", "");
      r.CriteriaType = ReadByte(ini, section, "CriteriaType", kCriteriaIs);
      r.CriteriaField = ReadByte(ini, section, "CriteriaField", kFieldFrom);
      r.ActionType = ReadByte(ini, section, "ActionType", kActionNone);
      r.CopyDestination = InsideMailDir(ini.ReadString(section, "CopyDestination", ""));
      r.MoveDestination = InsideMailDir(ini.ReadString(section, "MoveDestination", ""));
      r.SoundFile = ini.ReadString(section, "SoundFile", "");
      r.ForwardAddress = ini.ReadString(section, "ForwardAddress", "");
      rules.push_back(std::move(r));
    }
  } catch (...) {
    // An unreadable file means no rules.
    rules.clear();
  }
  return rules;
}

void WriteRule(IniFile& ini, const std::string& section, const cMessageRule& rule) {
  ini.WriteBool(section, "Active", rule.Active);
  ini.WriteString(section, "Criteria", ProtectValue(rule.Criteria));
  ini.WriteInteger(section, "CriteriaType", rule.CriteriaType);
  ini.WriteInteger(section, "CriteriaField", rule.CriteriaField);
  ini.WriteInteger(section, "ActionType", rule.ActionType);
  ini.WriteString(section, "CopyDestination", ProtectValue(rule.CopyDestination));
  ini.WriteString(section, "MoveDestination", ProtectValue(rule.MoveDestination));
  ini.WriteString(section, "SoundFile", ProtectValue(rule.SoundFile));
  ini.WriteString(section, "ForwardAddress", ProtectValue(rule.ForwardAddress));
}

void AppendRule(const std::string& path, const cMessageRule& rule) {
  const StringList sections = IniFile(path).ReadSections();
  // A hand-edited file may already use the count + 1; never overwrite a rule.
  size_t n = sections.size() + 1;
  while (IniFile(path).SectionExists(std::to_string(n))) ++n;
  // The file is written whole, in one replacement, so a crash never leaves
  // half a rule behind.
  StringList lines = LoadLinesFromFile(path);
  AppendRuleSection(lines, std::to_string(n), rule);
  SaveLinesToFile(path, lines);
}

void SaveRules(const std::string& path, const cRulesArray& rules) {
  StringList lines;
  for (size_t i = 0; i < rules.size(); ++i) AppendRuleSection(lines, std::to_string(i + 1), rules[i]);
  SaveLinesToFile(path, lines);
}

}  // namespace qm
