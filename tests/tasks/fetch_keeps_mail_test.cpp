// Mail that could not be stored or retrieved stays on the server and is
// offered again by the next fetch.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tasks/server_task_support.h"
#include "test_support/fake_server.h"
#include "transport/uidl_list.h"

namespace qm {
namespace {

using ::testing::ElementsAre;
using Set = std::multiset<std::string>;

class FetchKeepsMailTest : public ServerTaskTest {};

TEST_F(FetchKeepsMailTest, AnInboxThatCannotBeOpenedDeletesNothing) {
  for (bool leave : {false, true}) {
    SCOPED_TRACE(leave ? "leaving mail on the server" : "deleting fetched mail");
    MakeAccount("Home", leave);
    RemoveFile(UIDLFile("Home"));
    PutOnServer({"one", "two"});
    WriteFileAtomically(Inbox(), "this is no mailbox");
    Fetch();
    ASSERT_TRUE(host_->RunQueued());
    EXPECT_EQ(OnServer(), (Set{"one", "two"}));
    EXPECT_FALSE(errors_->messages().empty());  // the store said why
    if (leave) {
      EXPECT_TRUE(LoadUIDLList("Home").empty());
    }

    // Once the Inbox is usable again the same messages come in.
    RemoveFile(Inbox());
    Fetch();
    ASSERT_TRUE(host_->RunQueued());
    EXPECT_EQ(Subjects(Inbox()), (Set{"one", "two"}));
    ClearMaildir(pop3_.maildir);
    RemoveFile(Inbox());
  }
}

// Message 2 cannot be retrieved.
void FailingRetrServer(FakePeer& peer) {
  peer.Send("+OK ready\r\n");
  while (auto line = peer.ReadLine()) {
    const std::string& l = *line;
    if (l.rfind("STAT", 0) == 0) peer.Send("+OK 3 300\r\n");
    else if (l.rfind("UIDL", 0) == 0) peer.Send("+OK\r\n1 id-one\r\n2 id-two\r\n3 id-three\r\n.\r\n");
    else if (l.rfind("LIST ", 0) == 0) peer.Send("+OK " + l.substr(5) + " 90\r\n");
    else if (l == "RETR 2") peer.Send("-ERR message is gone\r\n");
    else if (l.rfind("RETR ", 0) == 0)
      peer.Send("+OK\r\nFrom: a@x.test\r\nSubject: number " + l.substr(5) + "\r\n\r\nText\r\n.\r\n");
    else if (l.rfind("QUIT", 0) == 0) {
      peer.Send("+OK bye\r\n");
      return;
    } else peer.Send("+OK\r\n");
  }
}

TEST_F(FetchKeepsMailTest, AMessageThatFailedToArriveIsNotRecordedAsFetched) {
  FakeServer server(FailingRetrServer);
  MakeAccount("Home", /*leave_on_server=*/true);
  IniFile(AccountSettingsFile("Home")).WriteInteger("POP3", "Port", server.port());
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  TaskWindowRecord& w = host_->Window();
  EXPECT_NE(std::find(w.errors.begin(), w.errors.end(), "Error fetching messsage #2"), w.errors.end());
  EXPECT_EQ(w.LastState(0), kTaskFailed);
  EXPECT_EQ(Subjects(Inbox()), (Set{"number 1"}));
  // The loop stopped at message 2; only what arrived is known.
  EXPECT_THAT(LoadUIDLList("Home"), ElementsAre("id-one"));
}

}  // namespace
}  // namespace qm
