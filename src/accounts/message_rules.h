#pragma once
// Incoming and outgoing rules of an account: the record, its file form,
// loading and appending. Matching is in rule_matching.h.
#include <cstdint>
#include <string>
#include <vector>

namespace qm {

class IniFile;

enum : uint8_t {  // CriteriaField
  kFieldFrom = 0,
  kFieldSubject = 1,
  kFieldTo = 2,
  kFieldCC = 3,
  kFieldBody = 4,
};

enum : uint8_t {  // CriteriaType
  kCriteriaIs = 0,
  kCriteriaIsNot = 1,
  kCriteriaContains = 2,
  kCriteriaNotContains = 3,
  kCriteriaBeginsWith = 4,
  kCriteriaEndsWith = 5,
};

enum : uint8_t {  // ActionType
  kActionNone = 0,
  kActionMove = 1,
  kActionCopy = 2,
  kActionDelete = 3,
  kActionLeaveOnServer = 4,
  kActionIgnore = 5,
  kActionPlaySound = 6,
  kActionForward = 7,
  kActionPrint = 8,
};

// Stands for any number read from a file that does not fit the byte; such a
// value is out of range for every table.
constexpr uint8_t kOutOfRange = 255;

struct cMessageRule {
  bool Active = true;
  std::string Criteria;
  uint8_t CriteriaType = kCriteriaIs;
  uint8_t CriteriaField = kFieldFrom;
  uint8_t ActionType = kActionNone;
  std::string CopyDestination;  // mailbox path relative to MailDir
  std::string MoveDestination;  // mailbox path relative to MailDir
  std::string SoundFile;        // full path
  std::string ForwardAddress;
};

using cRulesArray = std::vector<cMessageRule>;

std::string IncomingRulesFile(const std::string& account);
std::string OutgoingRulesFile(const std::string& account);

// One rule per section, in file order. A missing or unreadable file gives
// no rules; missing keys read as their defaults; a destination that is
// absolute or climbs out of MailDir with ".." reads as empty.
cRulesArray LoadRules(const std::string& path);

// Writes the nine keys of one section. Throws qm::FileError.
void WriteRule(IniFile& ini, const std::string& section, const cMessageRule& rule);

// Adds the rule after the last section, named by the section count + 1 (the
// next free number when a hand-edited file already uses it). The file is
// replaced as a whole. Throws qm::FileError.
void AppendRule(const std::string& path, const cMessageRule& rule);

// Replaces the file by the rules as sections "1" to "n", in one write (the
// rules list saves its edits this way). Throws qm::FileError.
void SaveRules(const std::string& path, const cRulesArray& rules);

}  // namespace qm
