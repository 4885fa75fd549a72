#include "accounts/rule_matching.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

cMailMessage SampleMessage() {
  cMailMessage m;
  InitMessage(m);
  m.From = "John Smith <John.Smith@Example.COM>";
  m.FromAddress = "John.Smith@Example.COM";
  m.Subject = "Weekly Report \xC3\x9C" "ber";  // "Weekly Report Über"
  m.To = "team@corp.org";
  m.CC = "boss@corp.org";
  *m.Body = {"Hello all,", "Total: 5"};
  return m;
}

cMessageRule Rule(uint8_t field, uint8_t type, const std::string& criteria, uint8_t action = kActionDelete) {
  cMessageRule r;
  r.CriteriaField = field;
  r.CriteriaType = type;
  r.Criteria = criteria;
  r.ActionType = action;
  return r;
}

struct MatchCase {
  const char* what;
  uint8_t field;
  uint8_t type;
  std::string criteria;
  bool matches;
};

class RuleMatchCases : public ::testing::TestWithParam<MatchCase> {};

TEST_P(RuleMatchCases, TestHoldsAsExpected) {
  const MatchCase& c = GetParam();
  cMailMessage m = SampleMessage();
  EXPECT_EQ(RuleMatches(m, Rule(c.field, c.type, c.criteria)), c.matches) << c.what;
  FreeMessage(m);
}

const std::string kSubject = "Weekly Report \xC3\x9C" "ber";

INSTANTIATE_TEST_SUITE_P(
    AllKinds, RuleMatchCases,
    ::testing::Values(
        MatchCase{"is: whole value, capitals folded", kFieldTo, kCriteriaIs, "TEAM@Corp.org", true},
        MatchCase{"is: a part is not enough", kFieldTo, kCriteriaIs, "team", false},
        MatchCase{"is not: same text", kFieldCC, kCriteriaIsNot, "Boss@Corp.Org", false},
        MatchCase{"is not: other text", kFieldCC, kCriteriaIsNot, "team@corp.org", true},
        MatchCase{"contains: author domain in capitals", kFieldFrom, kCriteriaContains, "example.com", true},
        MatchCase{"contains: display name of the whole From", kFieldFrom, kCriteriaContains, "JOHN SMITH", true},
        MatchCase{"contains: absent", kFieldFrom, kCriteriaContains, "example.org", false},
        MatchCase{"contains: empty criterion occurs nowhere", kFieldSubject, kCriteriaContains, "", false},
        MatchCase{"does not contain: empty criterion", kFieldSubject, kCriteriaNotContains, "", true},
        MatchCase{"does not contain: present", kFieldSubject, kCriteriaNotContains, "report", false},
        MatchCase{"does not contain: absent", kFieldSubject, kCriteriaNotContains, "invoice", true},
        MatchCase{"begins with: empty criterion", kFieldSubject, kCriteriaBeginsWith, "", true},
        MatchCase{"begins with: prefix", kFieldSubject, kCriteriaBeginsWith, "WEEKLY", true},
        MatchCase{"begins with: not a prefix", kFieldSubject, kCriteriaBeginsWith, "Report", false},
        MatchCase{"begins with: longer than the value", kFieldTo, kCriteriaBeginsWith, "team@corp.org.uk", false},
        MatchCase{"ends with: empty criterion", kFieldCC, kCriteriaEndsWith, "", true},
        MatchCase{"ends with: last three characters", kFieldTo, kCriteriaEndsWith, "ORG", true},
        MatchCase{"ends with: three characters not at the end", kFieldTo, kCriteriaEndsWith, "cor", false},
        MatchCase{"ends with: field shorter than criterion", kFieldTo, kCriteriaEndsWith, "x" "team@corp.org", false},
        MatchCase{"non-ASCII letters: same case matches", kFieldSubject, kCriteriaEndsWith, "\xC3\x9C" "BER", true},
        MatchCase{"non-ASCII letters: other case does not", kFieldSubject, kCriteriaEndsWith, "\xC3\xBC" "ber",
                  false},
        MatchCase{"body: lines joined with CR LF", kFieldBody, kCriteriaContains, "ALL,\r\ntotal", true},
        MatchCase{"body: CR LF after the last line", kFieldBody, kCriteriaIs, "hello all,\r\ntotal: 5\r\n", true},
        MatchCase{"body: without the last CR LF", kFieldBody, kCriteriaIs, "hello all,\r\ntotal: 5", false},
        MatchCase{"body: ends with the last line end", kFieldBody, kCriteriaEndsWith, "5\r\n", true},
        MatchCase{"unknown comparison matches nothing", kFieldSubject, 6, "", false},
        MatchCase{"unknown comparison, any text", kFieldSubject, kOutOfRange, "weekly", false},
        MatchCase{"unknown field matches nothing", 5, kCriteriaNotContains, "x", false}));

TEST(MatchRule, FirstActiveMatchingRuleDecides) {
  cMailMessage m = SampleMessage();
  cMessageRule inactive = Rule(kFieldSubject, kCriteriaContains, "weekly", kActionIgnore);
  inactive.Active = false;
  cMessageRule by_author = Rule(kFieldFrom, kCriteriaContains, "example.com", kActionMove);
  by_author.MoveDestination = "Home/Reports.zqf";
  cMessageRule also_matches = Rule(kFieldTo, kCriteriaContains, "corp", kActionPrint);

  cMessageRule hit = MatchRule(m, {inactive, by_author, also_matches});
  EXPECT_EQ(hit.ActionType, kActionMove);
  EXPECT_EQ(hit.MoveDestination, "Home/Reports.zqf");
  EXPECT_EQ(MatchRule(m, {inactive, also_matches, by_author}).ActionType, kActionPrint) << "order decides";
  FreeMessage(m);
}

TEST(MatchRule, NoMatchGivesActionZero) {
  cMailMessage m = SampleMessage();
  EXPECT_EQ(MatchRule(m, {}).ActionType, kActionNone);
  EXPECT_EQ(MatchRule(m, {Rule(kFieldFrom, kCriteriaIs, "nobody", kActionDelete)}).ActionType, kActionNone);
  FreeMessage(m);
}

TEST(MatchRule, ActionOutOfRangeActsAsZeroAndStopsTheSearch) {
  cMailMessage m = SampleMessage();
  cMessageRule odd = Rule(kFieldTo, kCriteriaContains, "team", 9);
  cMessageRule later = Rule(kFieldTo, kCriteriaContains, "team", kActionDelete);
  EXPECT_EQ(MatchRule(m, {odd, later}).ActionType, kActionNone);
  FreeMessage(m);
}

TEST(MatchRule, MessageWithoutListsHasAnEmptyBody) {
  cMailMessage m;  // never initialised: no body list
  m.Subject = "x";
  EXPECT_EQ(RuleFieldValue(m, kFieldBody), "");
  EXPECT_TRUE(RuleMatches(m, Rule(kFieldBody, kCriteriaIs, "")));
}

}  // namespace
}  // namespace qm
