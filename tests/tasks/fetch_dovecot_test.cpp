// Fetching from Dovecot: with and without leaving mail on the server,
// selected numbers, rules, the size prompt, the password prompt and failures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "accounts/block_sender.h"
#include "accounts/message_rules.h"
#include "tasks/server_task_support.h"
#include "transport/fetch_mail_task.h"
#include "transport/uidl_list.h"

namespace qm {
namespace {

using ::testing::ElementsAre;
using Set = std::multiset<std::string>;

class FetchTest : public ServerTaskTest {
 protected:
  bool StatusSeen(const std::string& text) {
    for (const auto& s : host_->Window().statuses)
      if (s == text) return true;
    return false;
  }
  bool Sent(const std::string& command) {
    for (const auto& [line, colour] : host_->Window().log)
      if (colour == kLogBlue && line.rfind(command, 0) == 0) return true;
    return false;
  }
};

TEST_F(FetchTest, WithoutLeavingMailEverythingIsStoredAndDeleted) {
  MakeAccount("Home");
  PutOnServer({"one", "two", "three"});
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(Subjects(Inbox()), (Set{"one", "two", "three"}));
  EXPECT_TRUE(OnServer().empty());
  EXPECT_FALSE(FileExists(UIDLFile("Home")));
  EXPECT_TRUE(StatusSeen("Fetching message #3 out of 3"));
  EXPECT_TRUE(StatusSeen("Fetch mail task done..."));
  EXPECT_FALSE(Sent("UIDL"));
  EXPECT_EQ(host_->main_status.back(), " 3 new message(s)");
  EXPECT_EQ(host_->Window().LastState(0), kTaskDone);
  EXPECT_EQ(host_->repaints, 1);
  for (auto& m : MailboxMessages(Inbox())) {
    EXPECT_EQ(m.msg.Account, "Home");
    EXPECT_TRUE(m.msg.Complete);
    EXPECT_FALSE(m.msg.Read);
    FreeMessage(m.msg);
  }
}

TEST_F(FetchTest, EachMessageIsParsedAloneAndTemporaryFilesGoUnlessKept) {
  auto temp_files = [] {
    size_t n = 0;
    for (const DirEntry& e : ListDirectory(TempDir)) n += e.is_directory ? 0 : 1;
    return n;
  };
  const size_t before = temp_files();
  MakeAccount("Home");
  // A large message first: the next one must not see what is left of it.
  AddMaildirMessage(pop3_.maildir, TestMessage("large", "Ann <ann@example.test>", 300000));
  PutOnServer({"small", "tiny"});
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(Subjects(Inbox()), (Set{"large", "small", "tiny"}));
  for (auto& m : MailboxMessages(Inbox())) {
    const StringList& body = *m.msg.Body;
    if (m.msg.Subject != "large") EXPECT_EQ(body, StringList{"Body of " + m.msg.Subject}) << m.msg.Subject;
    else EXPECT_GT(body.size(), 4000u);
    FreeMessage(m.msg);
  }
  EXPECT_EQ(temp_files(), before) << "the fetch left temporary files behind";

  OptionsIni->WriteBool("Options", "DeleteTempFiles", false);
  PutOnServer({"kept one", "kept two"});
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(temp_files(), before + 2) << "kept temporary files are one per message";
}

TEST_F(FetchTest, LeavingMailSkipsKnownUniqueIdsAndRecordsAllInServerOrder) {
  MakeAccount("Home", /*leave_on_server=*/true);
  PutOnServer({"one", "two", "three"});
  const StringList uidls = ServerUidls();
  ASSERT_EQ(uidls.size(), 3u);
  // Known ids compare ignoring case; one no longer on the server is forgotten.
  std::string known = uidls[1];
  for (char& c : known) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  SaveUIDLList("Home", {"gone-long-ago", known});

  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(Subjects(Inbox()), (Set{"one", "three"}));
  EXPECT_EQ(OnServer(), (Set{"one", "two", "three"}));
  EXPECT_TRUE(host_->Window().LogHas("Message #2 previously downloading, skipping..."));
  EXPECT_EQ(host_->Window().log.back().first, "");
  EXPECT_THAT(LoadUIDLList("Home"), ElementsAre(uidls[0], known, uidls[2]));
  EXPECT_EQ(host_->main_status.back(), " 2 new message(s)");

  // The next check finds nothing new.
  host_->windows.clear();
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(Subjects(Inbox()), (Set{"one", "three"}));
  EXPECT_EQ(host_->main_status.back(), " No new messages");
}

TEST_F(FetchTest, AnEmptyServerSaysNoNewMessages) {
  MakeAccount("Home", true);
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_TRUE(StatusSeen("No new messages"));
  EXPECT_TRUE(Sent("QUIT"));
  EXPECT_FALSE(Sent("UIDL"));
  EXPECT_FALSE(FileExists(UIDLFile("Home")));
  // No fetch completed its work: the run has nothing to summarise.
  EXPECT_EQ(host_->main_status.back(), " Tasks done");
}

TEST_F(FetchTest, SelectedNumbersAreFetchedInListOrderWithoutBookkeeping) {
  MakeAccount("Home", true);
  PutOnServer({"one", "two", "three"});
  auto* t = new cPOP3Task_FetchMail();
  t->SetTaskParams("Home", false, true);
  t->SetFetchSelected(true, {"3", "1", "x"});
  t->QueueTask();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(Subjects(Inbox()), (Set{"one", "three"}));
  EXPECT_EQ(OnServer(), (Set{"one", "two", "three"}));
  EXPECT_FALSE(Sent("STAT"));
  EXPECT_FALSE(Sent("UIDL"));
  EXPECT_TRUE(Sent("RETR 3"));
  EXPECT_TRUE(StatusSeen("Fetching message #2 out of 3"));
  EXPECT_TRUE(host_->Window().LogHas("Entry 'x' is not a message number, skipping..."));
  EXPECT_FALSE(FileExists(UIDLFile("Home")));
  EXPECT_EQ(host_->Window().LastState(0), kTaskDone);
}

TEST_F(FetchTest, IncomingRulesDecideWhereMailGoesAndWhatStaysOnTheServer) {
  MakeAccount("Home");
  ASSERT_TRUE(CreateEmptyMailbox(MailDir + "Home/Work.zqf"));
  auto rule = [](uint8_t action, const std::string& word) {
    cMessageRule r;
    r.CriteriaField = kFieldSubject;
    r.CriteriaType = kCriteriaContains;
    r.Criteria = word;
    r.ActionType = action;
    return r;
  };
  cMessageRule to_missing = rule(kActionMove, "lost");
  to_missing.MoveDestination = "Home/Gone.zqf";
  cMessageRule to_work = rule(kActionMove, "report");
  to_work.MoveDestination = "Home/Work.zqf";
  cMessageRule copy = rule(kActionCopy, "minutes");
  copy.CopyDestination = "Home/Work.zqf";
  cMessageRule printed = rule(kActionPrint, "invoice");
  cMessageRule forward = rule(kActionForward, "forward");
  forward.ForwardAddress = "boss@example.test";
  SaveRules(IncomingRulesFile("Home"),
            {to_missing, to_work, copy, rule(kActionLeaveOnServer, "keep"), rule(kActionIgnore, "ignore"),
             printed, forward});
  // "&Block sender" appends its rule behind the others.
  cMailMessage spam;
  InitMessage(spam);
  spam.FromAddress = "spam@junk.test";
  spam.Account = "Home";
  AppendRule(IncomingRulesFile("Home"), MakeBlockSenderRule(spam));
  FreeMessage(spam);

  PutOnServer({"lost mail", "weekly report", "keep me", "ignore me", "minutes", "invoice", "forward this"});
  AddMaildirMessage(pop3_.maildir, TestMessage("buy now", "Spam <spam@junk.test>"));
  Fetch();
  ASSERT_TRUE(host_->RunQueued());

  EXPECT_EQ(Subjects(Inbox()), (Set{"lost mail", "keep me", "minutes", "invoice", "forward this"}));
  EXPECT_EQ(Subjects(MailDir + "Home/Work.zqf"), (Set{"weekly report", "minutes"}));
  EXPECT_FALSE(FileExists(MailDir + "Home/Gone.zqf"));
  // Kept on the server: the "leave" rule and the ignored one; the blocked
  // sender's message is deleted without being stored.
  EXPECT_EQ(OnServer(), (Set{"keep me", "ignore me"}));
  EXPECT_THAT(host_->printed, ElementsAre("invoice"));
  auto unsent = MailboxMessages(StandardMailboxPath("Home", "Unsent"));
  ASSERT_EQ(unsent.size(), 1u);
  EXPECT_EQ(unsent[0].msg.To, "boss@example.test");
  FreeMessage(unsent[0].msg);
  EXPECT_EQ(host_->main_status.back(), " 6 new message(s)");
}

TEST_F(FetchTest, TheSizePromptAnswersSkipEraseAndFetch) {
  MakeAccount("Home");
  OptionsIni->WriteBool("Options", "FetchSizeLimitExists", true);
  OptionsIni->WriteInteger("Options", "PromptSizeThreshold", 1);
  AddMaildirMessage(pop3_.maildir, TestMessage("small"));
  for (const char* s : {"big skip", "big erase", "big fetch"})
    AddMaildirMessage(pop3_.maildir, TestMessage(s, "Ann <ann@example.test>", 2000));
  host_->size_answers = {TSizePromptAnswer::SkipIt, TSizePromptAnswer::EraseFromServer, TSizePromptAnswer::Fetch};
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  ASSERT_EQ(host_->size_prompts.size(), 3u);
  EXPECT_EQ(host_->size_prompts[0].Subject, "big skip");
  EXPECT_EQ(host_->size_prompts[0].ThresholdKB, 1);
  EXPECT_GT(host_->size_prompts[0].Size, 1024);
  EXPECT_EQ(Subjects(Inbox()), (Set{"small", "big fetch"}));
  EXPECT_EQ(OnServer(), (Set{"big skip"}));
  EXPECT_EQ(host_->main_status.back(), " 2 new message(s)");
}

TEST_F(FetchTest, ASkippedMessageLeftOnTheServerIsNotOfferedAgain) {
  MakeAccount("Home", true);
  OptionsIni->WriteBool("Options", "FetchSizeLimitExists", true);
  OptionsIni->WriteInteger("Options", "PromptSizeThreshold", 1);
  AddMaildirMessage(pop3_.maildir, TestMessage("big", "Ann <ann@example.test>", 3000));
  host_->size_answers = {TSizePromptAnswer::SkipIt};
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(host_->size_prompts.size(), 1u);
  EXPECT_TRUE(Subjects(Inbox()).empty());
  EXPECT_EQ(LoadUIDLList("Home").size(), 1u);
}

TEST_F(FetchTest, ABlankPasswordIsAskedForAndNeverSaved) {
  MakeAccount("Home");
  IniFile(AccountSettingsFile("Home")).WriteString("POP3", "Password", "");
  PutOnServer({"one"});
  host_->password_answer = pop3_.password;
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_THAT(host_->password_prompts,
              ElementsAre("POP3 password: The password for this server is blank. Please enter it now"));
  EXPECT_EQ(Subjects(Inbox()), (Set{"one"}));
  EXPECT_EQ(LoadAccount("Home").POP3Password, "");

  // Cancelled: the settings are invalid and nothing is sent.
  host_->password_answer.reset();
  host_->windows.clear();
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(host_->Window().errors[6], "Invalid server settings!");
  EXPECT_TRUE(host_->Window().log.empty());
}

TEST_F(FetchTest, AFailedFetchStopsTheQueue) {
  struct Case {
    const char* what;
    std::string password;
    std::string server;
    std::string error;
  };
  const Case cases[] = {
      {"wrong password", "not-the-password", "", "Authentication rejected"},
      {"nobody listening", "", "closed-port", "Could not connect!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MakeAccount("Home", false, c.password);
    if (!c.server.empty()) {
      // A port on loopback where nothing listens.
      IniFile ini(AccountSettingsFile("Home"));
      ini.WriteString("POP3", "Addr", "127.0.0.1");
      ini.WriteInteger("POP3", "Port", 1);
    }
    PutOnServer({"one"});
    host_->windows.clear();
    Fetch();
    Queue("Home", Note(c.what));
    ASSERT_TRUE(host_->RunQueued());
    EXPECT_TRUE(Order().empty());
    TaskWindowRecord& w = host_->Window();
    EXPECT_EQ(w.LastState(0), kTaskFailed);
    EXPECT_THAT(w.States(1), ElementsAre(kTaskQueued));
    bool found = false;
    for (const auto& l : w.errors) found = found || l == c.error;
    EXPECT_TRUE(found) << c.error;
    EXPECT_EQ(OnServer(), (Set{"one"}));
    EXPECT_TRUE(TasksWindow->Close());
    ClearMaildir(pop3_.maildir);
  }
}

TEST_F(FetchTest, PopLogIsWrittenWhenOnlyPopLoggingIsOn) {
  OptionsIni->WriteBool("Logging", "POP3", true);
  MakeAccount("Home");
  PutOnServer({"one"});
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  const std::string log = ReadFileBytes(AppDir + "POP3.log");
  EXPECT_NE(log.find("Server: Home\r\n  Type: POP3\r\n  Task: Fetch mail\r\n"), std::string::npos);
  EXPECT_NE(log.find("USER " + pop3_.user), std::string::npos);
  EXPECT_EQ(log.find(pop3_.password), std::string::npos);
  EXPECT_NE(log.find("QUIT"), std::string::npos);
  EXPECT_FALSE(FileExists(AppDir + "SMTP.log"));
}

}  // namespace
}  // namespace qm
