// Sending through aiosmtpd: one connection for all messages, BCC only in
// the envelope, Sent Items, outgoing rules, the answered mark, failures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "accounts/message_rules.h"
#include "store/message_ref.h"
#include "tasks/server_task_support.h"
#include "test_support/fake_server.h"
#include "transport/send_mail_task.h"

namespace qm {
namespace {

using ::testing::ElementsAre;
using Set = std::multiset<std::string>;

cMailMessage Outgoing(const std::string& subject, const std::string& to, const std::string& bcc = "") {
  cMailMessage m;
  InitMessage(m);
  m.From = "Home <home@example.test>";
  m.FromName = "Home";
  m.FromAddress = "home@example.test";
  m.To = to;
  m.BCC = bcc;
  m.Subject = subject;
  m.MessageID = "<" + subject + "@example.test>";
  m.Read = true;
  m.Account = "Home";
  *m.Body = {"Text of " + subject};
  return m;
}

class SendTest : public ServerTaskTest {
 protected:
  std::string Unsent() { return StandardMailboxPath("Home", "Unsent"); }
  std::string SentItems() { return StandardMailboxPath("Home", "Sent Items"); }
  void AddUnsent(cMailMessage m) {
    ASSERT_TRUE(AddMessageToFile(Unsent(), m));
    FreeMessage(m);
  }
  void SendUnsent() { SendUnsentMessages("Home"); }
  int LogCount(const std::string& prefix) {
    int n = 0;
    for (const auto& [line, colour] : host_->Window().log)
      if (colour == kLogBlue && line.rfind(prefix, 0) == 0) ++n;
    return n;
  }
};

TEST_F(SendTest, TwoMessagesOnOneConnectionEndInSentItems) {
  MakeAccount("Home");
  AddUnsent(Outgoing("First", "ann@example.test, bob@example.test", "hidden@example.test"));
  AddUnsent(Outgoing("Second", "carl@example.test"));
  SendUnsent();
  ASSERT_TRUE(host_->RunQueued());

  const auto sent = NewlySent();
  ASSERT_EQ(sent.size(), 2u);
  const SinkMessage& first = sent[0].content.find("Subject: First") != std::string::npos ? sent[0] : sent[1];
  EXPECT_EQ(first.mail_from, "home@example.test");
  EXPECT_EQ(first.rcpt_to, "ann@example.test, bob@example.test, hidden@example.test");
  EXPECT_EQ(first.content.find("hidden@example.test"), std::string::npos);
  EXPECT_EQ(first.content.find("BCC"), std::string::npos);

  EXPECT_EQ(LogCount("EHLO"), 1);
  EXPECT_EQ(LogCount("MAIL FROM"), 2);
  EXPECT_EQ(LogCount("RSET"), 2);
  EXPECT_EQ(LogCount("QUIT"), 1);
  const auto& statuses = host_->Window().statuses;
  EXPECT_NE(std::find_if(statuses.begin(), statuses.end(),
                         [](const std::string& s) { return s.find("' (1/2)...") != std::string::npos; }),
            statuses.end());
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Disconnected from SMTP server"), statuses.end());

  EXPECT_TRUE(Subjects(Unsent()).empty());
  EXPECT_EQ(Subjects(SentItems()), (Set{"First", "Second"}));
  EXPECT_EQ(host_->main_status.back(), " 2 messages(s) sent.");
  EXPECT_TRUE(host_->SoundPlayed("MailSentSound"));
}

TEST_F(SendTest, RecipientSplitting) {
  struct Case {
    std::string to, cc, bcc;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"Ann <ann@x.test>, bob@x.test", "", "c@x.test", {"ann@x.test", "bob@x.test", "c@x.test"}},
      {"a@x.test,", "", "", {"a@x.test"}},
      {"a@x.test, ", "b@x.test", "", {"a@x.test", "b@x.test"}},
      {"a@x.test,,b@x.test", "", "", {"a@x.test", "", "b@x.test"}},
      {"", "", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    cMailMessage m;
    m.To = c.to;
    m.CC = c.cc;
    m.BCC = c.bcc;
    EXPECT_EQ(MessageRecipients(m), c.expected);
  }
}

TEST_F(SendTest, OutgoingRulesMoveOrCopyTheSentMessage) {
  MakeAccount("Home");
  ASSERT_TRUE(CreateEmptyMailbox(MailDir + "Home/Clients.zqf"));
  ASSERT_TRUE(CreateEmptyMailbox(MailDir + "Home/Copies.zqf"));
  cMessageRule move;
  move.CriteriaField = kFieldTo;
  move.CriteriaType = kCriteriaContains;
  move.Criteria = "client";
  move.ActionType = kActionMove;
  move.MoveDestination = "Home/Clients.zqf";
  cMessageRule copy = move;
  copy.Criteria = "friend";
  copy.ActionType = kActionCopy;
  copy.MoveDestination.clear();
  copy.CopyDestination = "Home/Copies.zqf";
  SaveRules(OutgoingRulesFile("Home"), {move, copy});
  AddUnsent(Outgoing("Offer", "client@example.test"));
  AddUnsent(Outgoing("Hello", "friend@example.test"));
  SendUnsent();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(NewlySent().size(), 2u);
  EXPECT_EQ(Subjects(MailDir + "Home/Clients.zqf"), (Set{"Offer"}));
  EXPECT_EQ(Subjects(SentItems()), (Set{"Hello"}));
  EXPECT_EQ(Subjects(MailDir + "Home/Copies.zqf"), (Set{"Hello"}));
  EXPECT_TRUE(Subjects(Unsent()).empty());
}

TEST_F(SendTest, SendingFromSentItemsLeavesTheMessageThere) {
  MakeAccount("Home");
  cMailMessage m = Outgoing("Again", "ann@example.test");
  ASSERT_TRUE(AddMessageToFile(SentItems(), m));
  FreeMessage(m);
  auto* t = new cSMTPTask_SendMesage();
  t->SetTaskParams("Home", false, true);
  t->SetSourceMailbox(SentItems());
  t->AddMessageKeys(TaskMailboxKeys(SentItems()));
  t->QueueTask();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(NewlySent().size(), 1u);
  EXPECT_EQ(Subjects(SentItems()), (Set{"Again"}));
}

TEST_F(SendTest, AReplyMarksTheAnsweredMessageInAnotherAccount) {
  MakeAccount("Home");
  MakeAccount("Other");
  cMailMessage original = Outgoing("Question", "home@example.test");
  original.Account = "Other";
  ASSERT_TRUE(AddMessageToFile(Inbox("Other"), original));
  FreeMessage(original);
  auto stored = MailboxMessages(Inbox("Other"));
  ASSERT_EQ(stored.size(), 1u);
  ASSERT_FALSE(stored[0].msg.Answered);
  FreeMessage(stored[0].msg);

  cMailMessage reply = Outgoing("Re: Question", "other@example.test");
  reply.SourceRef = "Other://Inbox/" + stored[0].key;
  AddUnsent(reply);
  SendUnsent();
  ASSERT_TRUE(host_->RunQueued());
  auto after = MailboxMessages(Inbox("Other"));
  ASSERT_EQ(after.size(), 1u);
  EXPECT_TRUE(after[0].msg.Answered);
  FreeMessage(after[0].msg);
}

TEST_F(SendTest, AnEmptyKeyListConnectsAndCountsNothing) {
  MakeAccount("Home");
  auto* t = new cSMTPTask_SendMesage();
  t->SetTaskParams("Home", false, true);
  t->SetSourceMailbox(Unsent());
  t->QueueTask();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(LogCount("QUIT"), 1);
  EXPECT_TRUE(NewlySent().empty());
  EXPECT_EQ(host_->main_status.back(), " 0 messages(s) sent.");
}

TEST_F(SendTest, SettingsAndLoadFailures) {
  struct Case {
    const char* what;
    std::function<void()> prepare;
    std::vector<std::string> keys;
    std::string error;
    int helos;
  };
  const Case cases[] = {
      {"authentication without a user name",
       [] {
         IniFile ini(AccountSettingsFile("Home"));
         ini.WriteBool("SMTP", "Authentificate", true);
         ini.WriteString("SMTP", "Password", "1,2");
       },
       {},
       "Invalid server settings!",
       0},
      {"no server", [] { IniFile(AccountSettingsFile("Home")).WriteString("SMTP", "Addr", ""); }, {},
       "Invalid server settings!", 0},
      {"a source mailbox that is no mailbox",
       [] { WriteFileAtomically(StandardMailboxPath("Home", "Unsent"), "not a mailbox at all"); }, {"1"},
       "Could not open mailbox '" + StandardMailboxPath("Home", "Unsent") + "'", 0},
      {"a key that is not there", [] { RemoveFile(StandardMailboxPath("Home", "Unsent")); }, {"24999"},
       "Could not load message (key: '24999') from file " + StandardMailboxPath("Home", "Unsent"), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RemoveFile(AccountSettingsFile("Home"));
    MakeAccount("Home");
    c.prepare();
    host_->windows.clear();
    auto* t = new cSMTPTask_SendMesage();
    t->SetTaskParams("Home", false, true);
    t->SetSourceMailbox(Unsent());
    t->AddMessageKeys(c.keys);
    t->QueueTask();
    ASSERT_TRUE(host_->RunQueued());
    TaskWindowRecord& w = host_->Window();
    ASSERT_GE(w.errors.size(), 7u);
    EXPECT_EQ(w.errors[6], c.error);
    EXPECT_EQ(LogCount("EHLO"), c.helos);
    EXPECT_EQ(LogCount("QUIT"), c.helos);
    EXPECT_TRUE(TasksWindow->Close());
  }
}

TEST_F(SendTest, ARefusedRecipientFailsTheSendAndKeepsTheMessage) {
  // aiosmtpd takes every address, so a scripted server refuses one.
  FakeServer server([](FakePeer& peer) {
    peer.Send("220 fake ready\r\n");
    while (auto line = peer.ReadLine()) {
      if (line->rfind("RCPT TO:<bob@", 0) == 0) peer.Send("550 5.1.1 No such user\r\n");
      else if (line->rfind("QUIT", 0) == 0) {
        peer.Send("221 Bye\r\n");
        return;
      } else peer.Send("250 OK\r\n");
    }
  });
  MakeAccount("Home");
  IniFile(AccountSettingsFile("Home")).WriteInteger("SMTP", "Port", server.port());
  AddUnsent(Outgoing("Refused", "ann@example.test, bob@example.test"));
  SendUnsent();
  ASSERT_TRUE(host_->RunQueued());
  TaskWindowRecord& w = host_->Window();
  EXPECT_NE(std::find_if(w.errors.begin(), w.errors.end(),
                         [](const std::string& l) { return l.rfind("(Type 8) 550 5.1.1 No such user", 0) == 0; }),
            w.errors.end())
      << ::testing::PrintToString(w.errors);
  EXPECT_NE(std::find(w.errors.begin(), w.errors.end(), "Send mail failed!"), w.errors.end());
  EXPECT_EQ(w.LastState(0), kTaskFailed);
  EXPECT_EQ(Subjects(Unsent()), (Set{"Refused"}));
  EXPECT_TRUE(Subjects(SentItems()).empty());
  EXPECT_EQ(LogCount("QUIT"), 1);
}

TEST_F(SendTest, SmtpLogIsNotWrittenWhenOnlyPopLoggingIsOn) {
  OptionsIni->WriteBool("Logging", "POP3", true);
  MakeAccount("Home");
  AddUnsent(Outgoing("Logged", "ann@example.test"));
  SendUnsent();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(NewlySent().size(), 1u);
  EXPECT_FALSE(FileExists(AppDir + "SMTP.log"));
  EXPECT_GT(LogCount("MAIL FROM"), 0);
}

TEST_F(SendTest, SendUnsentAfterFetchRunsInTheSameRun) {
  OptionsIni->WriteBool("Options", "SendUnsentAfterFetch", true);
  MakeAccount("Home");
  PutOnServer({"incoming"});
  AddUnsent(Outgoing("Outgoing", "ann@example.test"));
  host_->on_send_all_unsent = [] { SendAllUnsentMessages(); };
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(host_->send_all_unsent, 1);
  ASSERT_EQ(host_->Window().rows.size(), 2u);
  EXPECT_EQ(host_->Window().rows[1].name, "Send mail");
  EXPECT_EQ(NewlySent().size(), 1u);
  EXPECT_EQ(host_->main_status.back(), " 1 new message(s), 1 messages(s) sent.");
}

}  // namespace
}  // namespace qm
