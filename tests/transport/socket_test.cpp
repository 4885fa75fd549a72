#include "transport/lite_socket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "test_support/fake_server.h"
#include "transport/socket_events.h"

namespace qm {
namespace {

class PlusOkSocket : public TLiteSocket {
 public:
  bool CheckWelcome() override { return ReplyCode() == "+OK"; }
};

void Aim(TLiteSocket& s, const FakeServer& server, const char* host = "127.0.0.1") {
  s.SetServer(host);
  s.SetPort(server.port());
  s.SetTimeOut(5);
}

TEST(LiteSocket, CreatedWithDefaults) {
  PlusOkSocket s;
  EXPECT_EQ(s.TimeOut(), 30);
  EXPECT_EQ(s.Port(), 0);
  EXPECT_FALSE(s.Connected());
  EXPECT_FALSE(s.Cancelled());
  EXPECT_TRUE(s.TransferEventsEnabled());
  EXPECT_EQ(s.WelcomingMessage(), "");
}

TEST(LiteSocket, GreetingInTwoChunksIsReadAsOneReplyWithOneEvent) {
  FakeServer server([](FakePeer& p) {
    p.SendChunks({"+OK POP3 rea", "dy here\r\n"}, 150);
    p.WaitForClose();
  });
  ASSERT_TRUE(server.ok());
  PlusOkSocket s;
  SocketEvents ev;
  ev.Attach(s);
  Aim(s, server);
  ASSERT_TRUE(s.Connect());
  EXPECT_TRUE(s.Connected());
  EXPECT_EQ(s.WelcomingMessage(), "+OK POP3 ready here\r\n");
  EXPECT_EQ(s.ReplyCode(), "+OK");
  EXPECT_EQ(s.ReplyText(), "POP3 ready here");
  ASSERT_EQ(ev.reads.size(), 1u);
  EXPECT_EQ(ev.reads[0], "+OK POP3 ready here\r\n");
  EXPECT_EQ(ev.lifecycle, (std::vector<std::string>{"before-connect", "connect"}));
  s.Disconnect();
  EXPECT_FALSE(s.Connected());
  EXPECT_EQ(ev.lifecycle, (std::vector<std::string>{"before-connect", "connect", "disconnecting",
                                                    "disconnect"}));
}

TEST(LiteSocket, ConnectsByNameAndOverIPv6) {
  {
    FakeServer server([](FakePeer& p) {
      p.Send("+OK hi\r\n");
      p.WaitForClose();
    });
    PlusOkSocket s;
    Aim(s, server, "localhost");
    EXPECT_TRUE(s.Connect()) << "localhost must resolve and reach 127.0.0.1";
  }
  FakeServer server6(
      [](FakePeer& p) {
        p.Send("+OK six\r\n");
        p.WaitForClose();
      },
      true);
  if (!server6.ok()) GTEST_SKIP() << "no IPv6 loopback on this machine";
  PlusOkSocket s;
  SocketEvents ev;
  ev.Attach(s);
  Aim(s, server6, "::1");
  EXPECT_TRUE(s.Connect()) << (ev.errors.empty() ? "" : ev.errors[0].second);
  EXPECT_EQ(s.ReplyText(), "six");
}

TEST(LiteSocket, ConnectFailuresAreType1) {
  int closed_port;
  {
    FakeServer probe([](FakePeer&) {});
    closed_port = probe.port();
  }
  struct Case {
    const char* host;
    int port;
  };
  // A refused port by address and by name (names resolved from /etc/hosts
  // only: tests never ask a name server).
  const Case cases[] = {{"127.0.0.1", closed_port}, {"localhost", closed_port}};
  for (const Case& c : cases) {
    PlusOkSocket s;
    SocketEvents ev;
    ev.Attach(s);
    s.SetServer(c.host);
    s.SetPort(c.port);
    s.SetTimeOut(3);
    EXPECT_FALSE(s.Connect()) << c.host;
    EXPECT_FALSE(s.Connected());
    ASSERT_EQ(ev.errors.size(), 1u) << c.host;
    EXPECT_EQ(ev.errors[0].first, 1) << c.host;
    EXPECT_FALSE(ev.errors[0].second.empty());
    EXPECT_EQ(ev.lifecycle, std::vector<std::string>{"before-connect"});
  }
}

TEST(LiteSocket, ConnectThatGetsNoAnswerEndsAfterTimeOut) {
  // A loopback listener whose accept queue is full drops further SYNs, so a
  // connect to it hangs until the client gives up.
  int lfd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(lfd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(listen(lfd, 0), 0);
  socklen_t len = sizeof a;
  getsockname(lfd, reinterpret_cast<sockaddr*>(&a), &len);
  std::vector<int> fillers;
  for (int i = 0; i < 4; ++i) {
    int f = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    connect(f, reinterpret_cast<sockaddr*>(&a), sizeof a);
    fillers.push_back(f);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  PlusOkSocket s;
  SocketEvents ev;
  ev.Attach(s);
  s.SetServer("127.0.0.1");
  s.SetPort(ntohs(a.sin_port));
  s.SetTimeOut(1);
  auto start = std::chrono::steady_clock::now();
  bool connected = s.Connect();
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (int f : fillers) close(f);
  close(lfd);
  EXPECT_FALSE(connected);
  EXPECT_LE(secs, 2.5);
  ASSERT_EQ(ev.errors.size(), 1u);
  // Either the connect itself timed out or it was taken and the greeting never came.
  EXPECT_TRUE(ev.errors[0].first == 1 || ev.errors[0].first == 0) << ev.errors[0].second;
}

TEST(LiteSocket, RefusedGreetingIsType1WithTheGreeting) {
  FakeServer server([](FakePeer& p) {
    p.Send("-ERR go away\r\n");
    p.WaitForClose();
  });
  PlusOkSocket s;
  SocketEvents ev;
  ev.Attach(s);
  Aim(s, server);
  EXPECT_FALSE(s.Connect());
  EXPECT_FALSE(s.Connected());
  ASSERT_EQ(ev.errors.size(), 1u);
  EXPECT_EQ(ev.errors[0], (std::pair<int, std::string>{1, "-ERR go away\r\n"}));
}

TEST(LiteSocket, SilentServerTimesOutWithType0OnTime) {
  FakeServer server([](FakePeer& p) { p.WaitForClose(8000); });
  PlusOkSocket s;
  SocketEvents ev;
  ev.Attach(s);
  Aim(s, server);
  s.SetTimeOut(1);
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(s.Connect());
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_EQ(ev.errors.size(), 1u);
  EXPECT_EQ(ev.errors[0], (std::pair<int, std::string>{0, "A timeout has occured while reading from socket."}));
  EXPECT_GE(secs, 0.95);
  EXPECT_LE(secs, 1.8);
}

TEST(LiteSocket, PeerCloseFailsTheReadAtOnce) {
  FakeServer server([](FakePeer& p) {
    p.Send("+OK hi\r\n");
    p.Expect("NOOP");
    p.Close();
  });
  PlusOkSocket s;
  SocketEvents ev;
  ev.Attach(s);
  Aim(s, server);
  s.SetTimeOut(20);
  ASSERT_TRUE(s.Connect());
  s.WriteToSocket("NOOP");
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(s.ReadFromSocket(true, false));
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(secs, 5.0) << "a closed connection must not wait for the time-out";
  ASSERT_EQ(ev.errors.size(), 1u);
  EXPECT_EQ(ev.errors[0], (std::pair<int, std::string>{1, "Connection closed by the server"}));
  EXPECT_FALSE(s.Connected());
  EXPECT_EQ(ev.lifecycle.back(), "disconnect");
  // Further reads fail straight away too, and writes report failure.
  EXPECT_FALSE(s.ReadFromSocket(false, false));
  EXPECT_FALSE(s.WriteToSocket("NOOP"));
}

TEST(LiteSocket, EndlessReplyLineFailsInsteadOfGrowing) {
  FakeServer server([](FakePeer& p) {
    std::string block(8192, 'x');
    for (int i = 0; i < 2000; ++i)  // up to 16 MB, never a line end
      if (!p.Send(block)) break;
  });
  PlusOkSocket s;
  SocketEvents ev;
  ev.Attach(s);
  Aim(s, server);
  EXPECT_FALSE(s.Connect());
  ASSERT_EQ(ev.errors.size(), 1u);
  EXPECT_EQ(ev.errors[0].first, 1);
  EXPECT_NE(ev.errors[0].second.find("65536"), std::string::npos) << ev.errors[0].second;
  EXPECT_LE(s.ReceiveBuffer().size(), TLiteSocket::kMaxReplyLine + s.ReceiveSize());
  EXPECT_TRUE(ev.reads.empty());
}

TEST(LiteSocket, ReadsSplitOnlyTheFirstLineAndKeepTheRest) {
  FakeServer server([](FakePeer& p) {
    p.Send("+OK hi\r\n");
    p.Expect("X");
    p.Send("250-first\r\n250 second\r\n");
    p.Expect("Y");
    p.Send("partial ");
    p.Expect("Z");  // the client has read the first piece
    p.Send("line\n");
    p.WaitForClose();
  });
  PlusOkSocket s;
  SocketEvents ev;
  ev.Attach(s);
  Aim(s, server);
  ASSERT_TRUE(s.Connect());
  s.WriteToSocket("X");
  ASSERT_TRUE(s.ReadFromSocket(true, false));
  EXPECT_EQ(s.ReplyCode(), "250");
  EXPECT_EQ(s.ReplyText(), "-first");
  EXPECT_EQ(s.ReceiveBuffer(), "250-first\r\n250 second\r\n");
  s.WriteToSocket("Y");
  // Without parsing, one chunk is one read and the text is the whole buffer.
  ASSERT_TRUE(s.ReadFromSocket(false, false));
  EXPECT_EQ(s.ReplyCode(), "");
  EXPECT_EQ(s.ReplyText(), "partial ");
  s.WriteToSocket("Z");
  ASSERT_TRUE(s.ReadFromSocket(false, true));
  EXPECT_EQ(s.ReceiveBuffer(), "partial line\n");
  EXPECT_EQ(ev.writes, (std::vector<std::string>{"X", "Y", "Z"}));
  EXPECT_EQ(server.Received(), (std::vector<std::string>{"X", "Y", "Z"}));
}

TEST(LiteSocket, DisabledTransferEventsSilenceTrafficButNotErrors) {
  FakeServer server([](FakePeer& p) {
    p.Send("+OK hi\r\n");
    p.Expect("SECRET");
    p.WaitForClose(8000);
  });
  PlusOkSocket s;
  SocketEvents ev;
  ev.Attach(s);
  Aim(s, server);
  ASSERT_TRUE(s.Connect());
  s.SetTimeOut(1);
  s.DisableTransferEvents();
  EXPECT_TRUE(s.WriteToSocket("SECRET"));
  EXPECT_FALSE(s.ReadFromSocket(true, false));
  EXPECT_TRUE(ev.writes.empty());
  EXPECT_EQ(ev.reads.size(), 1u);  // only the greeting, before the switch
  ASSERT_EQ(ev.errors.size(), 1u);
  EXPECT_EQ(ev.errors[0].first, 0);
  EXPECT_EQ(server.Received(), std::vector<std::string>{"SECRET"});
}

TEST(LiteSocket, WorksOnAWorkerThreadAndFiresEventsThere) {
  FakeServer server([](FakePeer& p) {
    p.Send("+OK hi\r\n");
    p.Expect("NOOP");
    p.Send("+OK\r\n");
    p.WaitForClose();
  });
  std::thread::id worker_id;
  std::vector<std::thread::id> event_threads;
  bool ok = false;
  std::thread worker([&] {
    worker_id = std::this_thread::get_id();
    PlusOkSocket s;
    s.OnReadFromSocket = [&](TLiteSocket&, const std::string&) {
      event_threads.push_back(std::this_thread::get_id());
    };
    s.OnWriteToSocket = s.OnReadFromSocket;
    Aim(s, server);
    ok = s.Connect() && s.WriteToSocket("NOOP") && s.ReadFromSocket(true, false);
    s.Disconnect();
  });
  worker.join();
  EXPECT_TRUE(ok);
  ASSERT_EQ(event_threads.size(), 3u);
  for (auto id : event_threads) EXPECT_EQ(id, worker_id);
}

}  // namespace
}  // namespace qm
