// Previewing and deleting on Dovecot, and a server whose unique-id list is
// shorter than its message count.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tasks/server_task_support.h"
#include "test_support/fake_server.h"
#include "transport/delete_mail_task.h"
#include "transport/preview_mail_task.h"
#include "transport/uidl_list.h"

namespace qm {
namespace {

using ::testing::ElementsAre;
using Set = std::multiset<std::string>;

class PreviewDeleteTest : public ServerTaskTest {
 protected:
  void Preview() {
    auto* t = new cPOP3Task_PreviewMail();
    t->SetTaskParams("Home", false, true);
    t->QueueTask();
  }
  bool Sent(const std::string& command) {
    for (const auto& [line, colour] : host_->Window().log)
      if (colour == kLogBlue && line.rfind(command, 0) == 0) return true;
    return false;
  }
};

TEST_F(PreviewDeleteTest, PreviewListsEveryHeaderAndChangesNothing) {
  MakeAccount("Home");
  PutOnServer({"one", "two"});
  Preview();
  ASSERT_TRUE(host_->RunQueued());
  ASSERT_EQ(host_->previews.size(), 1u);
  const PreviewRecord& p = *host_->previews[0];
  EXPECT_EQ(p.account, "Home");
  EXPECT_EQ(p.caption, "Previewing mail on server 'Home'");
  ASSERT_EQ(p.rows.size(), 2u);
  EXPECT_EQ(p.rows[0].Number, 1);
  EXPECT_EQ(p.rows[0].Subject, "one");
  EXPECT_EQ(p.rows[0].FromName, "Ann");
  EXPECT_EQ(p.rows[1].Subject, "two");
  EXPECT_GT(p.rows[0].Size, 100);
  EXPECT_EQ(p.rows[0].SizeText, std::to_string(p.rows[0].Size) + " bytes");
  EXPECT_EQ(p.stats, "2 Message(s) found, total size " + SizeText(p.rows[0].Size + p.rows[1].Size));
  EXPECT_TRUE(p.shown);
  EXPECT_FALSE(p.updating);
  EXPECT_TRUE(Sent("TOP 2 0"));
  EXPECT_FALSE(Sent("RETR"));
  EXPECT_FALSE(Sent("QUIT"));
  EXPECT_EQ(OnServer(), (Set{"one", "two"}));
  EXPECT_TRUE(Subjects(Inbox()).empty());
  EXPECT_EQ(host_->main_status.back(), " Tasks done");
}

TEST_F(PreviewDeleteTest, AnEmptyServerGivesAnEmptyWindow) {
  MakeAccount("Home");
  Preview();
  ASSERT_TRUE(host_->RunQueued());
  ASSERT_EQ(host_->previews.size(), 1u);
  EXPECT_TRUE(host_->previews[0]->rows.empty());
  EXPECT_EQ(host_->previews[0]->stats, "0 Message(s) found, total size 0 bytes");
}

TEST_F(PreviewDeleteTest, SizeTexts) {
  EXPECT_EQ(SizeText(0), "0 bytes");
  EXPECT_EQ(SizeText(1023), "1023 bytes");
  EXPECT_EQ(SizeText(2048), "2.00 KB");
  EXPECT_EQ(SizeText(1048575), "1024.00 KB");
  EXPECT_EQ(SizeText(3 * 1048576), "3.00 MB");
}

TEST_F(PreviewDeleteTest, DownloadSelectedFetchesTheNumbersGiven) {
  MakeAccount("Home");
  PutOnServer({"one", "two", "three", "four", "five"});
  QueueFetchSelected("Home", {"5", "2"});
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(Subjects(Inbox()), (Set{"two", "five"}));
  EXPECT_EQ(OnServer(), (Set{"one", "three", "four"}));
}

TEST_F(PreviewDeleteTest, EraseSelectedDeletesOnTheServer) {
  MakeAccount("Home");
  PutOnServer({"one", "two", "three"});
  QueueDeleteSelected("Home", {"3", "1"});
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(OnServer(), (Set{"two"}));
  const auto& st = host_->Window().statuses;
  EXPECT_NE(std::find(st.begin(), st.end(), "Deleting message index 3 out of 2"), st.end());
  EXPECT_EQ(st.back(), "Delete messages task done");
  EXPECT_TRUE(Subjects(Inbox()).empty());
}

TEST_F(PreviewDeleteTest, ARefusedDeletionDeletesNothingAndIsNoTaskError) {
  MakeAccount("Home");
  PutOnServer({"one", "two"});
  QueueDeleteSelected("Home", {"1", "9"});
  Queue("Home", Note("next"));
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(OnServer(), (Set{"one", "two"}));
  TaskWindowRecord& w = host_->Window();
  EXPECT_EQ(w.statuses.back(), "Delete message failed!");
  EXPECT_EQ(w.LastState(0), kTaskDone);
  EXPECT_TRUE(w.errors.empty());
  EXPECT_FALSE(Sent("QUIT"));
  EXPECT_THAT(Order(), ElementsAre("next"));
}

// A POP3 server whose UIDL answer lists fewer ids than STAT counts.
void ShortUidlServer(FakePeer& peer) {
  peer.Send("+OK ready\r\n");
  while (auto line = peer.ReadLine()) {
    const std::string& l = *line;
    if (l.rfind("STAT", 0) == 0) peer.Send("+OK 2 200\r\n");
    else if (l.rfind("UIDL", 0) == 0) peer.Send("+OK\r\n1 id-one\r\n.\r\n");
    else if (l.rfind("LIST ", 0) == 0) peer.Send("+OK " + l.substr(5) + " 90\r\n");
    else if (l.rfind("RETR ", 0) == 0)
      peer.Send("+OK\r\nFrom: a@x.test\r\nSubject: number " + l.substr(5) + "\r\n\r\nText\r\n.\r\n");
    else if (l.rfind("QUIT", 0) == 0) {
      peer.Send("+OK bye\r\n");
      return;
    } else peer.Send("+OK\r\n");
  }
}

TEST_F(PreviewDeleteTest, MessagesWithoutAUniqueIdAreFetchedAndLogged) {
  FakeServer server(ShortUidlServer);
  MakeAccount("Home", /*leave_on_server=*/true);
  IniFile(AccountSettingsFile("Home")).WriteInteger("POP3", "Port", server.port());
  auto* t = new cPOP3Task_FetchMail();
  t->SetTaskParams("Home", false, true);
  t->QueueTask();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(Subjects(Inbox()), (Set{"number 1", "number 2"}));
  EXPECT_TRUE(host_->Window().LogHas("Message #2 has no unique-id, fetching..."));
  EXPECT_THAT(LoadUIDLList("Home"), ElementsAre("id-one"));
  EXPECT_FALSE(Sent("DELE"));
  EXPECT_EQ(host_->Window().LastState(0), kTaskDone);
}

}  // namespace
}  // namespace qm
