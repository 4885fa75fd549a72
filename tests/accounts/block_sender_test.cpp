#include "accounts/block_sender.h"

#include <gtest/gtest.h>

#include "accounts/account_settings.h"
#include "accounts/rule_matching.h"
#include "accounts/test_paths.h"
#include "platform/file_system.h"

namespace qm {
namespace {

class RecordingPrompts : public UserPrompts {
 public:
  struct Shown {
    std::string text, caption;
    PromptIcon icon;
  };
  bool AskYesNo(const std::string&, const std::string&, PromptIcon) override { return answer; }
  void ShowMessage(const std::string& text, const std::string& caption, PromptIcon icon) override {
    shown.push_back({text, caption, icon});
  }
  bool answer = true;
  std::vector<Shown> shown;
};

class BlockSenderTest : public DataDirTest {
 protected:
  void SetUp() override {
    DataDirTest::SetUp();
    ASSERT_TRUE(ForceDirectories(AccountDir("Home")));
    ASSERT_TRUE(ForceDirectories(AccountDir("Work")));
    InitMessage(msg_);
    msg_.From = "Spammer <bulk@spam.example>";
    msg_.FromAddress = "bulk@spam.example";
    msg_.Account = "Home";
  }
  void TearDown() override {
    FreeMessage(msg_);
    DataDirTest::TearDown();
  }
  cMailMessage msg_;
  RecordingPrompts prompts_;
};

TEST_F(BlockSenderTest, AppendsTheLastIncomingRuleAndTellsTheUser) {
  cMessageRule existing;
  existing.Criteria = "keep me";
  AppendRule(IncomingRulesFile("Home"), existing);

  ASSERT_TRUE(BlockSender(msg_, "", prompts_));
  cRulesArray rules = LoadRules(IncomingRulesFile("Home"));
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(rules[0].Criteria, "keep me");
  const cMessageRule& r = rules[1];
  EXPECT_TRUE(r.Active);
  EXPECT_EQ(r.Criteria, "bulk@spam.example");
  EXPECT_EQ(r.CriteriaType, kCriteriaContains);
  EXPECT_EQ(r.CriteriaField, kFieldFrom);
  EXPECT_EQ(r.ActionType, kActionDelete);
  EXPECT_TRUE(r.CopyDestination.empty() && r.MoveDestination.empty() && r.SoundFile.empty() &&
              r.ForwardAddress.empty());

  ASSERT_EQ(prompts_.shown.size(), 1u);
  EXPECT_EQ(prompts_.shown[0].text,
            "The sender has been blocked. Any messages from this address will be deleted without downloading");
  EXPECT_EQ(prompts_.shown[0].caption, "Author blocked");
  EXPECT_EQ(prompts_.shown[0].icon, PromptIcon::Information);

  // The next fetch sees the sender's mail, in any letter case, as "delete".
  cMailMessage next;
  InitMessage(next);
  next.From = "\"Bulk\" <BULK@Spam.Example>";
  EXPECT_EQ(MatchRule(next, rules).ActionType, kActionDelete);
  FreeMessage(next);
}

TEST_F(BlockSenderTest, SelectedAccountWinsOverTheMessagesOwn) {
  ASSERT_TRUE(BlockSender(msg_, "Work", prompts_));
  EXPECT_EQ(LoadRules(IncomingRulesFile("Work")).size(), 1u);
  EXPECT_FALSE(FileExists(IncomingRulesFile("Home")));
  EXPECT_FALSE(FileExists(OutgoingRulesFile("Work")));
}

TEST_F(BlockSenderTest, NothingToBlockWritesAndShowsNothing) {
  cMailMessage no_address = msg_;
  no_address.FromAddress = "";
  EXPECT_FALSE(BlockSender(no_address, "", prompts_));
  cMailMessage no_account = msg_;
  no_account.Account = "";
  EXPECT_FALSE(BlockSender(no_account, "", prompts_));
  EXPECT_TRUE(prompts_.shown.empty());
  EXPECT_FALSE(FileExists(IncomingRulesFile("Home")));
  EXPECT_FALSE(FileExists(MailDir + "Incoming rules.ini"));
}

TEST_F(BlockSenderTest, WriteFailureIsReportedNotAnnounced) {
  msg_.Account = "Deleted";
  EXPECT_FALSE(BlockSender(msg_, "", prompts_));
  EXPECT_TRUE(prompts_.shown.empty());
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_NE(Errors()[0].find(" has occured in BlockSender ()"), std::string::npos) << Errors()[0];
  EXPECT_FALSE(DirectoryExists(AccountDir("Deleted")));
}

}  // namespace
}  // namespace qm
