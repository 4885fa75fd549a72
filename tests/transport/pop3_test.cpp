// POP3 client against scripted servers: what a real server will not do.
#include "transport/lite_pop3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>

#include "test_support/fake_server.h"
#include "transport/socket_events.h"

namespace qm {
namespace {

constexpr const char* kSecret = "s3cr3t-Pw";

// Greeting and login; false when the client did not go along.
bool ServeLogin(FakePeer& p) {
  p.Send("+OK ready\r\n");
  if (!p.Expect("USER joe")) return false;
  p.Send("+OK\r\n");
  if (!p.Expect("PASS ")) return false;
  p.Send("+OK logged in\r\n");
  return true;
}

struct Pop3Client {
  TLitePOP3 pop;
  SocketEvents ev;
  std::vector<std::pair<int, int>> uidl_progress;
  std::vector<int64_t> body_progress;
  std::vector<int> before_body;
  int after_body = 0;
  int logged_in = 0;

  explicit Pop3Client(const FakeServer& server, int timeout = 5) {
    ev.Attach(pop);
    pop.SetServer("127.0.0.1");
    pop.SetPort(server.port());
    pop.SetTimeOut(timeout);
    pop.UIDLFetchProgress = [this](TLitePOP3&, int i, int n) { uidl_progress.emplace_back(i, n); };
    pop.BodyFetchProgress = [this](TLitePOP3&, int64_t pos, int) { body_progress.push_back(pos); };
    pop.OnBeforeBody = [this](TLitePOP3&, int size) { before_body.push_back(size); };
    pop.OnAfterBody = [this](TLiteSocket&) { ++after_body; };
    pop.OnLoggedIn = [this](TLiteSocket&) { ++logged_in; };
  }
  bool ConnectAndLogin() { return pop.Connect() && pop.Login("joe", kSecret); }
};

TEST(Pop3, LoginSendsThePasswordButNeverShowsIt) {
  FakeServer server([](FakePeer& p) {
    ServeLogin(p);
    p.WaitForClose();
  });
  Pop3Client c(server);
  ASSERT_TRUE(c.ConnectAndLogin());
  EXPECT_EQ(c.logged_in, 1);
  server.WaitDone(200);
  auto got = server.Received();
  ASSERT_GE(got.size(), 2u);
  EXPECT_EQ(got[0], "USER joe");
  EXPECT_EQ(got[1], std::string("PASS ") + kSecret);
  EXPECT_EQ(c.ev.writes, (std::vector<std::string>{"USER joe", "PASS ********"}));
  EXPECT_EQ(c.ev.AllTraffic().find(kSecret), std::string::npos);
  EXPECT_TRUE(c.pop.TransferEventsEnabled());
}

TEST(Pop3, RefusedUserOrPasswordStopsTheLogin) {
  for (bool refuse_user : {true, false}) {
    FakeServer server([refuse_user](FakePeer& p) {
      p.Send("+OK ready\r\n");
      p.Expect("USER");
      if (refuse_user) {
        p.Send("-ERR unknown user\r\n");
      } else {
        p.Send("+OK\r\n");
        p.Expect("PASS");
        p.Send("-ERR [AUTH] Authentication failed.\r\n");
      }
      p.WaitForClose();
    });
    Pop3Client c(server);
    ASSERT_TRUE(c.pop.Connect());
    EXPECT_FALSE(c.pop.Login("joe", kSecret));
    EXPECT_EQ(c.logged_in, 0);
    EXPECT_TRUE(c.ev.errors.empty()) << "a refusal is the task's to report";
    c.pop.Disconnect();
    server.WaitDone();
    EXPECT_EQ(server.Received().size(), refuse_user ? 1u : 2u) << "no PASS after a refused USER";
    EXPECT_TRUE(c.pop.TransferEventsEnabled());
  }
}

TEST(Pop3, MailboxStatsReadTheCount) {
  const struct {
    const char* reply;
    bool ok;
    int count;
  } cases[] = {
      {"+OK 3 5120", true, 3},  {"+OK 0 0", true, 0},      {"+OK 12", true, 12},
      {"+OK abc 5", false, -1}, {"+OK", false, -1},        {"-ERR busy", false, 7},
  };
  for (const auto& cs : cases) {
    FakeServer server([&cs](FakePeer& p) {
      ServeLogin(p);
      p.Expect("STAT");
      p.Send(std::string(cs.reply) + "\r\n");
      p.WaitForClose();
    });
    Pop3Client c(server);
    ASSERT_TRUE(c.ConnectAndLogin());
    EXPECT_EQ(c.pop.GetMailboxStats(), cs.ok) << cs.reply;
    if (std::string(cs.reply) != "-ERR busy") {
      EXPECT_EQ(c.pop.MessageCount(), cs.count) << cs.reply;
    }
  }
}

TEST(Pop3, UidlLinesSplitAcrossChunksComeOutWholeAndInOrder) {
  FakeServer server([](FakePeer& p) {
    ServeLogin(p);
    p.Expect("STAT");
    p.Send("+OK 4 900\r\n");
    p.Expect("UIDL");
    // Chunks end inside the status line, inside a unique-id, between CR and
    // LF, and the end marker comes alone.
    p.SendChunks({"+OK uni", "que-ids\r\n1 aaa", "a1\r\n2 bbb2\r", "\n3 ccc3\r\n4 ",
                  "ddd4\r\n", ".\r\n"});
    p.WaitForClose();
  });
  Pop3Client c(server);
  ASSERT_TRUE(c.ConnectAndLogin());
  ASSERT_TRUE(c.pop.GetMailboxStats());
  StringList ids{"stale"};
  ASSERT_TRUE(c.pop.GetUIDLList(ids));
  EXPECT_EQ(ids, (StringList{"aaaa1", "bbb2", "ccc3", "ddd4"}));
  EXPECT_EQ(c.uidl_progress,
            (std::vector<std::pair<int, int>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
}

TEST(Pop3, UidlOfAnEmptyMailboxIsAnEmptyList) {
  for (bool separate : {false, true}) {
    FakeServer server([separate](FakePeer& p) {
      ServeLogin(p);
      p.Expect("UIDL");
      if (separate)
        p.SendChunks({"+OK\r\n", ".\r\n"});
      else
        p.Send("+OK\r\n.\r\n");
      p.WaitForClose();
    });
    Pop3Client c(server);
    ASSERT_TRUE(c.ConnectAndLogin());
    StringList ids{"stale"};
    EXPECT_TRUE(c.pop.GetUIDLList(ids));
    EXPECT_TRUE(ids.empty());
    EXPECT_TRUE(c.uidl_progress.empty());
  }
}

TEST(Pop3, UidlEndlessLineFailsInsteadOfGrowing) {
  FakeServer server([](FakePeer& p) {
    ServeLogin(p);
    p.Expect("UIDL");
    p.Send("+OK\r\n1 ");
    std::string block(8192, 'u');
    for (int i = 0; i < 2000; ++i)
      if (!p.Send(block)) break;
  });
  Pop3Client c(server);
  ASSERT_TRUE(c.ConnectAndLogin());
  StringList ids;
  EXPECT_FALSE(c.pop.GetUIDLList(ids));
  ASSERT_EQ(c.ev.errors.size(), 1u);
  EXPECT_EQ(c.ev.errors[0].first, 1);
  EXPECT_LE(c.pop.ReceiveBuffer().size(), TLiteSocket::kMaxReplyLine + c.pop.ReceiveSize());
}

TEST(Pop3, RetrieveFindsAnEndMarkerThatArrivesAlone) {
  FakeServer server([](FakePeer& p) {
    ServeLogin(p);
    p.Expect("LIST 2");
    p.Send("+OK 2 37\r\n");
    p.Expect("RETR 2");
    // Each piece goes out once the client reports it has the previous one,
    // so the end marker really arrives on its own.
    p.Send("+OK 37 octets\r\nSubject: x\r\n\r\n");
    p.Expect("NEXT");
    p.Send("..dotted\r\nlast line\r\n");
    p.Expect("NEXT");
    p.Send(".\r\n");
    p.Expect("NOOP");
    p.Send("+OK\r\n");
    p.WaitForClose();
  });
  Pop3Client c(server);
  ASSERT_TRUE(c.ConnectAndLogin());
  c.ev.reads.clear();
  c.pop.BodyFetchProgress = [&c](TLitePOP3& pop, int64_t pos, int) {
    c.body_progress.push_back(pos);
    pop.WriteToSocket("NEXT");
  };
  std::ostringstream out;
  ASSERT_TRUE(c.pop.RetrieveMessage(2, false, out));
  EXPECT_EQ(out.str(), "Subject: x\r\n\r\n.dotted\r\nlast line");
  EXPECT_EQ(c.before_body, std::vector<int>{37});
  EXPECT_EQ(c.after_body, 1);
  EXPECT_EQ(c.body_progress.size(), 2u) << "after each chunk except the last";
  // Only the markers reach the traffic log, never the content.
  EXPECT_EQ(c.ev.reads.front(), "+OK 2 37\r\n");
  EXPECT_EQ(c.ev.reads[1], "[Message content follows]");
  EXPECT_EQ(c.ev.reads.back(), "[Message content received]\r\n");
  EXPECT_EQ(c.ev.AllTraffic().find("dotted"), std::string::npos);
  // Traffic is logged again afterwards.
  c.pop.WriteToSocket("NOOP");
  ASSERT_TRUE(c.pop.ReadFromSocket(true, false));
  EXPECT_EQ(c.ev.reads.back(), "+OK\r\n");
}

TEST(Pop3, HeaderOnlyRetrievalReportsNoBodyProgress) {
  FakeServer server([](FakePeer& p) {
    ServeLogin(p);
    p.Expect("LIST 1");
    p.Send("+OK 1 junk\r\n");
    p.Expect("TOP 1 0");
    p.SendChunks({"+OK\r\nFrom: a@b\r\n", "Subject: s\r\n\r\n", ".\r\n"});
    p.WaitForClose();
  });
  Pop3Client c(server);
  ASSERT_TRUE(c.ConnectAndLogin());
  std::ostringstream out;
  ASSERT_TRUE(c.pop.RetrieveMessage(1, true, out));
  EXPECT_EQ(out.str(), "From: a@b\r\nSubject: s\r\n");
  EXPECT_EQ(c.before_body, std::vector<int>{0}) << "a size that is no number gives 0";
  EXPECT_TRUE(c.body_progress.empty());
}

TEST(Pop3, RefusedRetrieveLogsTrafficAgain) {
  for (bool refuse_list : {true, false}) {
    FakeServer server([refuse_list](FakePeer& p) {
      ServeLogin(p);
      p.Expect("LIST 9");
      if (refuse_list) {
        p.Send("-ERR no such message\r\n");
      } else {
        p.Send("+OK 9 100\r\n");
        p.Expect("RETR 9");
        p.Send("-ERR locked\r\n");
      }
      p.Expect("NOOP");
      p.Send("+OK\r\n");
      p.WaitForClose();
    });
    Pop3Client c(server);
    ASSERT_TRUE(c.ConnectAndLogin());
    std::ostringstream out;
    EXPECT_FALSE(c.pop.RetrieveMessage(9, false, out));
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(c.after_body, 0);
    EXPECT_EQ(c.before_body.size(), refuse_list ? 0u : 1u);
    EXPECT_TRUE(c.pop.TransferEventsEnabled());
    c.pop.WriteToSocket("NOOP");
    EXPECT_EQ(c.ev.writes.back(), "NOOP");
    server.WaitDone(500);
    auto got = server.Received();
    if (refuse_list) {
      EXPECT_EQ(std::count(got.begin(), got.end(), "RETR 9"), 0);
    }
  }
}

TEST(Pop3, DisconnectDuringRetrieveFailsAtOnceAndKeepsWhatArrived) {
  FakeServer server([](FakePeer& p) {
    ServeLogin(p);
    p.Expect("LIST 1");
    p.Send("+OK 1 5000\r\n");
    p.Expect("RETR 1");
    p.Send("+OK\r\nSubject: cut\r\n\r\nfirst part\r\nsecond");
    p.Pause(100);
    p.Close();
  });
  Pop3Client c(server, 20);
  ASSERT_TRUE(c.ConnectAndLogin());
  std::ostringstream out;
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(c.pop.RetrieveMessage(1, false, out));
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(secs, 5.0);
  EXPECT_EQ(out.str(), "Subject: cut\r\n\r\nfirst part\r\nsecond");
  ASSERT_EQ(c.ev.errors.size(), 1u);
  EXPECT_EQ(c.ev.errors[0], (std::pair<int, std::string>{1, "Connection closed by the server"}));
  EXPECT_FALSE(c.pop.Connected());
  EXPECT_TRUE(c.pop.TransferEventsEnabled());
  EXPECT_EQ(c.after_body, 0);
}

TEST(Pop3, RetrieveWithSilentServerTimesOut) {
  FakeServer server([](FakePeer& p) {
    ServeLogin(p);
    p.Expect("LIST 1");
    p.Send("+OK 1 10\r\n");
    p.Expect("RETR 1");
    p.Send("+OK\r\npartial\r\n");
    p.WaitForClose(8000);
  });
  Pop3Client c(server, 1);
  ASSERT_TRUE(c.ConnectAndLogin());
  std::ostringstream out;
  EXPECT_FALSE(c.pop.RetrieveMessage(1, false, out));
  ASSERT_EQ(c.ev.errors.size(), 1u);
  EXPECT_EQ(c.ev.errors[0].first, 0);
  EXPECT_EQ(out.str(), "partial\r\n");
}

TEST(Pop3, TargetThatCannotBeWrittenFailsButKeepsTheDialogueInStep) {
  FakeServer server([](FakePeer& p) {
    ServeLogin(p);
    p.Expect("LIST 1");
    p.Send("+OK 1 30\r\n");
    p.Expect("RETR 1");
    p.SendChunks({"+OK\r\nSubject: x\r\n\r\n", "body\r\n.\r\n"});
    p.Expect("NOOP");
    p.Send("+OK still here\r\n");
    p.WaitForClose();
  });
  Pop3Client c(server);
  ASSERT_TRUE(c.ConnectAndLogin());
  std::ostringstream out;
  out.setstate(std::ios::badbit);  // as a full disk would leave it
  EXPECT_FALSE(c.pop.RetrieveMessage(1, false, out));
  ASSERT_EQ(c.ev.errors.size(), 1u);
  EXPECT_EQ(c.after_body, 0);
  EXPECT_TRUE(c.pop.TransferEventsEnabled());
  c.pop.WriteToSocket("NOOP");
  ASSERT_TRUE(c.pop.ReadFromSocket(true, false));
  EXPECT_EQ(c.pop.ReplyText(), "still here");
}

TEST(Pop3, RetrieveOfAnEmptyMessageEnds) {
  FakeServer server([](FakePeer& p) {
    ServeLogin(p);
    p.Expect("LIST 1");
    p.Send("+OK 1 0\r\n");
    p.Expect("RETR 1");
    p.Send("+OK 0 octets\r\n.\r\n");
    p.WaitForClose(8000);
  });
  Pop3Client c(server, 3);
  ASSERT_TRUE(c.ConnectAndLogin());
  std::ostringstream out;
  EXPECT_TRUE(c.pop.RetrieveMessage(1, false, out));
  EXPECT_EQ(out.str(), "");
  EXPECT_TRUE(c.ev.errors.empty());
}

TEST(Pop3, DeleteAndQuitNeedOk) {
  FakeServer server([](FakePeer& p) {
    ServeLogin(p);
    p.Expect("DELE 1");
    p.Send("+OK deleted\r\n");
    p.Expect("DELE 2");
    p.Send("-ERR already deleted\r\n");
    p.Expect("QUIT");
    p.Send("+OK bye\r\n");
    p.WaitForClose();
  });
  Pop3Client c(server);
  ASSERT_TRUE(c.ConnectAndLogin());
  EXPECT_TRUE(c.pop.DeleteFromServer(1));
  EXPECT_FALSE(c.pop.DeleteFromServer(2));
  EXPECT_TRUE(c.pop.Quit());
}

}  // namespace
}  // namespace qm
