#include "accounts/message_rules.h"

#include <gtest/gtest.h>

#include "accounts/account_settings.h"
#include "accounts/rule_matching.h"
#include "accounts/test_paths.h"
#include "platform/file_error.h"
#include "platform/file_system.h"
#include "shell/ini_file.h"

namespace qm {
namespace {

class RulesFileTest : public DataDirTest {
 protected:
  std::string Path() { return dir_.path() + "Incoming rules.ini"; }
};

cMessageRule FullRule() {
  cMessageRule r;
  r.Active = false;
  r.Criteria = "  Spaced \"and quoted\"  ";
  r.CriteriaType = kCriteriaEndsWith;
  r.CriteriaField = kFieldCC;
  r.ActionType = kActionForward;
  r.CopyDestination = "Home/Projects.FLD/Old.zqf";
  r.MoveDestination = "Home/Inbox.zqf";
  r.SoundFile = "/usr/share/sounds/ding.wav";
  r.ForwardAddress = "me@example.org";
  return r;
}

void ExpectSameRule(const cMessageRule& a, const cMessageRule& b) {
  EXPECT_EQ(a.Active, b.Active);
  EXPECT_EQ(a.Criteria, b.Criteria);
  EXPECT_EQ(a.CriteriaType, b.CriteriaType);
  EXPECT_EQ(a.CriteriaField, b.CriteriaField);
  EXPECT_EQ(a.ActionType, b.ActionType);
  EXPECT_EQ(a.CopyDestination, b.CopyDestination);
  EXPECT_EQ(a.MoveDestination, b.MoveDestination);
  EXPECT_EQ(a.SoundFile, b.SoundFile);
  EXPECT_EQ(a.ForwardAddress, b.ForwardAddress);
}

TEST_F(RulesFileTest, WriteAndLoadRoundTripEveryField) {
  IniFile ini(Path());
  cMessageRule full = FullRule();
  cMessageRule quoted_whole;
  quoted_whole.Criteria = "\"urgent\"";
  WriteRule(ini, "1", full);
  WriteRule(ini, "2", quoted_whole);
  EXPECT_EQ(ini.ReadSection("1"), (StringList{"Active", "Criteria", "CriteriaType", "CriteriaField", "ActionType",
                                              "CopyDestination", "MoveDestination", "SoundFile", "ForwardAddress"}));
  EXPECT_EQ(ini.ReadString("1", "Active", "?"), "0");
  EXPECT_EQ(ini.ReadString("1", "ActionType", "?"), "7");

  cRulesArray loaded = LoadRules(Path());
  ASSERT_EQ(loaded.size(), 2u);
  ExpectSameRule(loaded[0], full);
  ExpectSameRule(loaded[1], quoted_whole);
}

TEST_F(RulesFileTest, MissingFileGivesNoRules) { EXPECT_TRUE(LoadRules(Path()).empty()); }

TEST_F(RulesFileTest, GarbageReadsAsDefaultsAndOddNumbersMatchNothing) {
  using namespace std::string_literals;
  WriteFileAtomically(Path(), "\x01\x02junk without a section\r\n"
                                          "[b]\r\nnonsense line\r\nActive=maybe\r\nCriteriaType=abc\r\n"
                                          "[a]\r\nCriteriaType=300\r\nCriteriaField=-1\r\nActionType=2\r\n"
                                          "[c]\r\nActionType=9\r\nCriteriaType=3\r\nCriteria=zzz\r\n"
                                          "[d]\r\n\0after NUL\r\n"s);
  cRulesArray rules = LoadRules(Path());
  ASSERT_EQ(rules.size(), 4u) << "sections in file order";
  EXPECT_TRUE(rules[0].Active);
  EXPECT_EQ(rules[0].CriteriaType, kCriteriaIs);
  EXPECT_EQ(rules[0].Criteria, "");
  EXPECT_EQ(rules[1].CriteriaType, kOutOfRange) << "300 must not wrap to 44";
  EXPECT_EQ(rules[1].CriteriaField, kOutOfRange);
  EXPECT_EQ(rules[3].ActionType, kActionNone);

  cMailMessage m;
  InitMessage(m);
  m.From = "someone";
  // Rule b: "is" with an empty criterion against a non-empty author: no match.
  // Rule a: out of range: no match. Rule c: does not contain "zzz": matches, action 9 acts as 0.
  EXPECT_EQ(MatchRule(m, rules).ActionType, kActionNone);
  rules[2].ActionType = kActionDelete;
  EXPECT_EQ(MatchRule(m, rules).ActionType, kActionDelete);
  FreeMessage(m);
}

TEST_F(RulesFileTest, DestinationsOutsideTheMailDirectoryReadAsNone) {
  struct {
    const char* stored;
    const char* read;
  } cases[] = {{"Home/Inbox.zqf", "Home/Inbox.zqf"},
               {"Projects.FLD/Old..zqf", "Projects.FLD/Old..zqf"},
               {"..hidden.zqf", "..hidden.zqf"},
               {"../Escaped.zqf", ""},
               {"Home/../../Escaped.zqf", ""},
               {"Home/..", ""},
               {"/etc/Escaped.zqf", ""}};
  IniFile ini(Path());
  int n = 0;
  for (const auto& c : cases) {
    ++n;
    ini.WriteString(std::to_string(n), "MoveDestination", c.stored);
    ini.WriteString(std::to_string(n), "CopyDestination", c.stored);
  }
  cRulesArray rules = LoadRules(Path());
  ASSERT_EQ(rules.size(), std::size(cases));
  for (size_t i = 0; i < rules.size(); ++i) {
    EXPECT_EQ(rules[i].MoveDestination, cases[i].read) << cases[i].stored;
    EXPECT_EQ(rules[i].CopyDestination, cases[i].read) << cases[i].stored;
  }
}

TEST_F(RulesFileTest, AppendNumbersAfterTheLastSection) {
  cMessageRule a, b;
  a.Criteria = "first";
  b.Criteria = "second";
  AppendRule(Path(), a);
  AppendRule(Path(), b);
  EXPECT_EQ(IniFile(Path()).ReadSections(), (StringList{"1", "2"}));
  cRulesArray loaded = LoadRules(Path());
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[1].Criteria, "second");
}

TEST_F(RulesFileTest, AppendNeverOverwritesAHandNumberedRule) {
  WriteFileAtomically(Path(), "[1]\r\nCriteria=one\r\n[3]\r\nCriteria=three\r\n");
  cMessageRule r;
  r.Criteria = "new";
  AppendRule(Path(), r);
  EXPECT_EQ(IniFile(Path()).ReadSections(), (StringList{"1", "3", "4"}));
  cRulesArray loaded = LoadRules(Path());
  ASSERT_EQ(loaded.size(), 3u);
  EXPECT_EQ(loaded[1].Criteria, "three");
  EXPECT_EQ(loaded[2].Criteria, "new");
}

TEST_F(RulesFileTest, AppendLeavesNoTemporaryFilesAndFailsLoudlyWithoutDirectory) {
  ASSERT_TRUE(ForceDirectories(AccountDir("Home")));
  AppendRule(IncomingRulesFile("Home"), FullRule());
  AppendRule(IncomingRulesFile("Home"), FullRule());
  ASSERT_EQ(ListDirectory(AccountDir("Home")).size(), 1u);
  EXPECT_EQ(ListDirectory(AccountDir("Home"))[0].name, "Incoming rules.ini");
  EXPECT_THROW(AppendRule(IncomingRulesFile("Missing"), FullRule()), FileError);
  EXPECT_FALSE(PathExists(AccountDir("Missing")));
}

TEST_F(RulesFileTest, SaveRulesRenumbersAndWritesWhatWriteRuleWrites) {
  WriteFileAtomically(Path(), "[3]\r\nCriteria=three\r\n[7]\r\nCriteria=seven\r\nActionType=5\r\n");
  cRulesArray rules = LoadRules(Path());
  ASSERT_EQ(rules.size(), 2u);
  rules.push_back(FullRule());
  SaveRules(Path(), rules);
  EXPECT_EQ(IniFile(Path()).ReadSections(), (StringList{"1", "2", "3"}));
  cRulesArray again = LoadRules(Path());
  ASSERT_EQ(again.size(), 3u);
  for (size_t i = 0; i < rules.size(); ++i) ExpectSameRule(again[i], rules[i]);

  const std::string by_ini = dir_.path() + "by_ini.ini";
  IniFile ini(by_ini);
  for (size_t i = 0; i < rules.size(); ++i) WriteRule(ini, std::to_string(i + 1), rules[i]);
  EXPECT_EQ(ReadFileBytes(by_ini), ReadFileBytes(Path()));

  SaveRules(Path(), {});
  EXPECT_TRUE(LoadRules(Path()).empty());
}

TEST_F(RulesFileTest, LineBreaksInsideATextCannotStartANewSection) {
  cMessageRule r;
  r.Criteria = "a\r\n[2]\r\nActionType=3";
  SaveRules(Path(), {r});
  AppendRule(Path(), r);
  cRulesArray loaded = LoadRules(Path());
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].ActionType, kActionNone);
  EXPECT_EQ(loaded[1].ActionType, kActionNone);
}

TEST_F(RulesFileTest, AccountRulesFiles) {
  EXPECT_EQ(IncomingRulesFile("Home"), MailDir + "Home/Incoming rules.ini");
  EXPECT_EQ(OutgoingRulesFile("Home"), MailDir + "Home/Outgoing rules.ini");
}

}  // namespace
}  // namespace qm
