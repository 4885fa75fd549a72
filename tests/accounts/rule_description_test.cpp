#include "accounts/rule_description.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(DescribeRule, FieldAndComparisonWords) {
  const char* fields[] = {"message author", "subject", "destinee", "message's CC", "message body", ""};
  for (uint8_t f = 0; f <= 5; ++f) EXPECT_EQ(RuleFieldWord(f), fields[f]) << int(f);
  const char* types[] = {"is", "is not", "contains", "does not contain", "begins with", "ends with", ""};
  for (uint8_t t = 0; t <= 6; ++t) EXPECT_EQ(RuleComparisonWord(t), types[t]) << int(t);
  EXPECT_EQ(RuleFieldWord(kOutOfRange), "");
}

TEST(DescribeRule, ActionTexts) {
  cMessageRule r;
  r.MoveDestination = "Home/Projects.FLD/Old Stuff.zqf";
  r.CopyDestination = "Archive.zqf";
  r.SoundFile = "/usr/share/sounds/new mail.wav";
  r.ForwardAddress = "boss@example.org";
  struct {
    uint8_t action;
    const char* text;
  } cases[] = {{0, ""},
               {1, "move to folder 'Old Stuff'"},
               {2, "copy to folder 'Archive'"},
               {3, "delete and don't download"},
               {4, "download but leave on server"},
               {5, "ignore the message"},
               {6, "play sound 'new mail.wav'"},
               {7, "forward the email to boss@example.org"},
               {8, "print it"},
               {9, ""},
               {kOutOfRange, ""}};
  for (const auto& c : cases) {
    r.ActionType = c.action;
    EXPECT_EQ(RuleActionText(r), c.text) << int(c.action);
  }
}

TEST(DescribeRule, AllFourParts) {
  cMessageRule r;
  r.CriteriaField = kFieldFrom;
  r.CriteriaType = kCriteriaContains;
  r.Criteria = "Spam@Example.com";
  r.ActionType = kActionDelete;
  cRuleDescription d = DescribeRule(r);
  EXPECT_EQ(d.Field, "message author");
  EXPECT_EQ(d.Comparison, "contains");
  EXPECT_EQ(d.Criteria, "Spam@Example.com");
  EXPECT_EQ(d.Action, "delete and don't download");
}

}  // namespace
}  // namespace qm
