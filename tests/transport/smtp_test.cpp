// SMTP client against scripted servers: refusals, stuffing, progress, cancel.
#include "transport/lite_smtp.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "test_support/fake_server.h"
#include "transport/socket_events.h"

namespace qm {
namespace {

bool ServeEhlo(FakePeer& p) {
  p.Send("220 fake ESMTP\r\n");
  if (!p.Expect("EHLO ")) return false;
  p.Send("250 fake\r\n");
  return true;
}

// Answers one transaction; `refuse` names the command to refuse (by its
// first word or "RCPT2" for the second recipient, "END" for end of data).
void ServeTransaction(FakePeer& p, const std::string& refuse, std::string* data) {
  int rcpt = 0;
  for (;;) {
    auto line = p.ReadLine();
    if (!line) return;
    std::string cmd = line->substr(0, line->find_first_of(" :"));
    if (cmd == "RCPT") ++rcpt;
    std::string key = cmd == "RCPT" ? "RCPT" + std::to_string(rcpt) : cmd;
    if (cmd == "QUIT") {
      p.Send("221 bye\r\n");
      return;
    }
    if (key == refuse || (cmd == "RCPT" && refuse == "RCPT")) {
      p.Send(cmd == "DATA" ? "503 need RCPT\r\n" : "550 no thanks\r\n");
      continue;
    }
    if (cmd == "DATA") {
      p.Send("354 go ahead\r\n");
      auto body = p.ReadUntil("\r\n.\r\n");
      if (!body) return;
      if (data) *data = *body;
      p.Send(refuse == "END" ? "552 too big\r\n" : "250 queued\r\n");
      continue;
    }
    p.Send(refuse == cmd ? "550 no\r\n" : "250 ok\r\n");
  }
}

struct SmtpClient {
  TLiteSMTP smtp;
  SocketEvents ev;
  std::vector<std::pair<int, int>> progress;
  explicit SmtpClient(const FakeServer& server) {
    ev.Attach(smtp);
    smtp.SetServer("127.0.0.1");
    smtp.SetPort(server.port());
    smtp.SetTimeOut(5);
    smtp.OnSendProgress = [this](TLiteSMTP&, int pos, int total) { progress.emplace_back(pos, total); };
  }
};

TEST(Smtp, ConnectGreetsWithTheBracketedLocalAddress) {
  FakeServer server([](FakePeer& p) {
    ServeEhlo(p);
    ServeTransaction(p, "", nullptr);
  });
  SmtpClient c(server);
  ASSERT_TRUE(c.smtp.Connect());
  EXPECT_TRUE(c.smtp.Connected());
  c.smtp.Disconnect();
  EXPECT_FALSE(c.smtp.Connected());
  server.WaitDone();
  EXPECT_EQ(server.Received(), (std::vector<std::string>{"EHLO [127.0.0.1]", "QUIT"}));
  EXPECT_EQ(c.ev.writes, (std::vector<std::string>{"EHLO [127.0.0.1]", "QUIT"}));
}

TEST(Smtp, OverIPv6EhloCarriesAnAddressLiteral) {
  FakeServer server(
      [](FakePeer& p) {
        ServeEhlo(p);
        ServeTransaction(p, "", nullptr);
      },
      true);
  if (!server.ok()) GTEST_SKIP() << "no IPv6 loopback on this machine";
  SmtpClient c(server);
  c.smtp.SetServer("::1");
  ASSERT_TRUE(c.smtp.Connect());
  c.smtp.Disconnect();
  server.WaitDone();
  ASSERT_FALSE(server.Received().empty());
  EXPECT_EQ(server.Received()[0], "EHLO [IPv6:::1]");
}

TEST(Smtp, HeloAddressForms) {
  EXPECT_EQ(TLiteSMTP::HeloAddress("192.168.1.20"), "[192.168.1.20]");
  EXPECT_EQ(TLiteSMTP::HeloAddress("::1"), "[IPv6:::1]");
  EXPECT_EQ(TLiteSMTP::HeloAddress("fe80::1%eth0"), "[IPv6:fe80::1%eth0]");
}

TEST(Smtp, MultiLineRepliesInSeveralChunksAreReadWhole) {
  FakeServer server([](FakePeer& p) {
    p.SendChunks({"220-fake.test ESMTP\r\n", "220-more text\r\n220 ready\r\n"}, 150);
    p.Expect("EHLO ");
    p.SendChunks({"250-fake.test\r\n250-", "SIZE 100\r\n", "250 HELP\r\n"}, 100);
    ServeTransaction(p, "", nullptr);
  });
  SmtpClient c(server);
  ASSERT_TRUE(c.smtp.Connect()) << (c.ev.errors.empty() ? "" : c.ev.errors[0].second);
  EXPECT_EQ(c.smtp.WelcomingMessage(), "220-fake.test ESMTP\r\n220-more text\r\n220 ready\r\n");
  // Each reply is logged once, whole.
  ASSERT_EQ(c.ev.reads.size(), 2u);
  EXPECT_EQ(c.ev.reads[1], "250-fake.test\r\n250-SIZE 100\r\n250 HELP\r\n");
  EXPECT_EQ(c.smtp.Extensions(), (StringList{"SIZE 100", "HELP"}));
  EXPECT_TRUE(c.smtp.SendMessage({"x"}, "me@here", {"a@x"}));
  EXPECT_TRUE(c.ev.errors.empty());
}

TEST(Smtp, ReplyIsCompleteAtALineWithoutContinuation) {
  const struct {
    const char* buffer;
    bool complete;
  } cases[] = {
      {"250 ok\r\n", true},         {"250-a\r\n", false},       {"250-a\r\n250 b\r\n", true},
      {"250-a\r\n250-b\r\n", false}, {"250 ok", false},         {"250-a\r\n250 b", false},
      {"250\r\n", true},            {"-ERR x\r\n", true},       {"250-a\n250 b\n", true},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(TLiteSMTP::SmtpReplyComplete(c.buffer), c.complete) << c.buffer;
}

TEST(Smtp, RefusedGreetingOrHeloIsType1WithTheServersText) {
  for (bool refuse_greeting : {true, false}) {
    FakeServer server([refuse_greeting](FakePeer& p) {
      if (refuse_greeting) {
        p.Send("554 no service\r\n");
      } else {
        p.Send("220 hi\r\n");
        p.Expect("EHLO");
        p.Send("500 what\r\n");
        p.Expect("HELO");
        p.Send("501 bad HELO\r\n");
      }
      p.WaitForClose();
    });
    SmtpClient c(server);
    EXPECT_FALSE(c.smtp.Connect());
    ASSERT_EQ(c.ev.errors.size(), 1u);
    EXPECT_EQ(c.ev.errors[0].first, 1);
    EXPECT_EQ(c.ev.errors[0].second, refuse_greeting ? "554 no service\r\n" : "501 bad HELO\r\n");
  }
}

// A server that does not know EHLO still takes mail by HELO, but only while
// nothing needs an extension: TLS or a login asked for is never dropped.
TEST(Smtp, RefusedEhloFallsBackToHeloOnlyWhenNoExtensionIsNeeded) {
  const struct {
    const char* what;
    int security;
    bool login;
  } cases[] = {{"plain", kSecurityNone, false},
               {"STARTTLS asked", kSecurityStartTls, false},
               {"login asked", kSecurityNone, true}};
  for (const auto& cs : cases) {
    SCOPED_TRACE(cs.what);
    const bool falls_back = cs.security == kSecurityNone && !cs.login;
    FakeServer server([](FakePeer& p) {
      p.Send("220 old server\r\n");
      if (!p.Expect("EHLO ")) return;
      p.Send("502 command not implemented\r\n");
      auto next = p.ReadLine();
      if (next && next->rfind("HELO ", 0) == 0) {
        p.Send("250 old server\r\n");
        ServeTransaction(p, "", nullptr);
      } else {
        p.WaitForClose();
      }
    });
    SmtpClient c(server);
    c.smtp.SetTls({cs.security, "", ""});
    c.smtp.SetAuthentication(cs.login, "user", "secret-pw");
    EXPECT_EQ(c.smtp.Connect(), falls_back);
    if (falls_back) {
      EXPECT_TRUE(c.ev.errors.empty());
      EXPECT_TRUE(c.smtp.SendMessage({"x"}, "me@here", {"a@x"}));
      c.smtp.Disconnect();
    } else {
      ASSERT_EQ(c.ev.errors.size(), 1u);
      EXPECT_NE(c.ev.errors[0].second.find("refused EHLO: 502 command not implemented"), std::string::npos)
          << c.ev.errors[0].second;
      EXPECT_NE(c.ev.errors[0].second.find("127.0.0.1"), std::string::npos);
      c.smtp.Disconnect();
    }
    server.WaitDone();
    auto got = server.Received();
    ASSERT_GE(got.size(), 1u);
    EXPECT_EQ(got[0], "EHLO [127.0.0.1]");
    if (falls_back) {
      ASSERT_GE(got.size(), 2u);
      EXPECT_EQ(got[1], "HELO [127.0.0.1]");
    } else {
      for (const std::string& line : got) {
        EXPECT_NE(line.rfind("HELO", 0), 0u) << line;
        EXPECT_NE(line.rfind("AUTH", 0), 0u) << line;
        EXPECT_NE(line.rfind("MAIL", 0), 0u) << line;
      }
    }
  }
}

TEST(Smtp, SendMessageStuffsPeriodsAndEndsWithAnEmptyLine) {
  // Line by line, in small batches and in large ones: the same bytes arrive.
  for (size_t batch : {size_t{0}, size_t{16}, size_t{65536}}) {
    std::string data;
    FakeServer server([&data](FakePeer& p) {
      ServeEhlo(p);
      ServeTransaction(p, "", &data);
    });
    SmtpClient c(server);
    c.smtp.SetSendBufferSize(batch);
    ASSERT_TRUE(c.smtp.Connect());
    StringList lines{"Subject: dots", "", ".", "..two", ".lead", "mid.dle", ""};
    ASSERT_TRUE(c.smtp.SendMessage(lines, "me@here", {"a@x", "b@y", "c@z"}));
    EXPECT_EQ(data, "Subject: dots\r\n\r\n..\r\n...two\r\n..lead\r\nmid.dle\r\n\r\n\r\n.\r\n")
        << "batch " << batch;
    EXPECT_EQ(c.progress, (std::vector<std::pair<int, int>>{
                              {1, 7}, {2, 7}, {3, 7}, {4, 7}, {5, 7}, {6, 7}, {7, 7}}));
    // Contents never reach the traffic log, only the markers.
    EXPECT_EQ(c.ev.writes, (std::vector<std::string>{
                               "EHLO [127.0.0.1]", "MAIL FROM:<me@here>", "RCPT TO:<a@x>",
                               "RCPT TO:<b@y>", "RCPT TO:<c@z>", "DATA",
                               "[Message body being sent...]", "[Message body sent]", "\r\n.",
                               "RSET"}));
    EXPECT_TRUE(c.ev.errors.empty());
    EXPECT_TRUE(c.smtp.TransferEventsEnabled());
    // A second message on the same connection.
    ASSERT_TRUE(c.smtp.SendMessage({"second"}, "me@here", {"a@x"}));
    EXPECT_EQ(data, "second\r\n\r\n.\r\n");
    c.smtp.Disconnect();
  }
}

TEST(Smtp, FirstRefusalEndsTheTransactionWithType8) {
  const struct {
    const char* refuse;
    std::vector<std::string> commands;  // what the server sees after EHLO
  } cases[] = {
      {"MAIL", {"MAIL FROM:<me@here>"}},
      {"RCPT2", {"MAIL FROM:<me@here>", "RCPT TO:<a@x>", "RCPT TO:<b@y>"}},
      {"DATA", {"MAIL FROM:<me@here>", "RCPT TO:<a@x>", "RCPT TO:<b@y>", "RCPT TO:<c@z>", "DATA"}},
      {"END", {"MAIL FROM:<me@here>", "RCPT TO:<a@x>", "RCPT TO:<b@y>", "RCPT TO:<c@z>", "DATA"}},
      {"RSET", {"MAIL FROM:<me@here>", "RCPT TO:<a@x>", "RCPT TO:<b@y>", "RCPT TO:<c@z>", "DATA",
                "RSET"}},
  };
  for (const auto& cs : cases) {
    FakeServer server([&cs](FakePeer& p) {
      ServeEhlo(p);
      ServeTransaction(p, cs.refuse, nullptr);
    });
    SmtpClient c(server);
    ASSERT_TRUE(c.smtp.Connect());
    EXPECT_FALSE(c.smtp.SendMessage({"hello"}, "me@here", {"a@x", "b@y", "c@z"})) << cs.refuse;
    ASSERT_EQ(c.ev.errors.size(), 1u) << cs.refuse;
    EXPECT_EQ(c.ev.errors[0].first, 8) << cs.refuse;
    EXPECT_EQ(c.ev.errors[0].second.substr(0, 1), "5") << "the server's whole reply";
    EXPECT_TRUE(c.smtp.TransferEventsEnabled());
    c.smtp.Disconnect();
    server.WaitDone();
    auto got = server.Received();
    got.erase(got.begin());  // EHLO
    got.pop_back();          // QUIT
    EXPECT_EQ(got, cs.commands) << cs.refuse;
  }
}

TEST(Smtp, EmptyRecipientListGoesStraightToData) {
  FakeServer server([](FakePeer& p) {
    ServeEhlo(p);
    ServeTransaction(p, "DATA", nullptr);
  });
  SmtpClient c(server);
  ASSERT_TRUE(c.smtp.Connect());
  EXPECT_FALSE(c.smtp.SendMessage({"x"}, "me@here", {}));
  ASSERT_EQ(c.ev.errors.size(), 1u);
  EXPECT_EQ(c.ev.errors[0], (std::pair<int, std::string>{8, "503 need RCPT\r\n"}));
}

TEST(Smtp, CancelStopsBeforeTheNextLine) {
  std::string data;
  FakeServer server([](FakePeer& p) {
    ServeEhlo(p);
    ServeTransaction(p, "", nullptr);
  });
  SmtpClient c(server);
  ASSERT_TRUE(c.smtp.Connect());
  c.smtp.OnSendProgress = [&c](TLiteSMTP& s, int pos, int total) {
    c.progress.emplace_back(pos, total);
    if (pos == 2) s.SetCancelled(true);
  };
  EXPECT_FALSE(c.smtp.SendMessage({"one", "two", "three", "four"}, "me@here", {"a@x"}));
  EXPECT_EQ(c.progress, (std::vector<std::pair<int, int>>{{1, 4}, {2, 4}}));
  EXPECT_TRUE(c.ev.errors.empty());
  EXPECT_TRUE(c.smtp.TransferEventsEnabled());
}

TEST(Smtp, LostConnectionDuringTheTextIsType8) {
  FakeServer server([](FakePeer& p) {
    ServeEhlo(p);
    p.Expect("MAIL");
    p.Send("250 ok\r\n");
    p.Expect("RCPT");
    p.Send("250 ok\r\n");
    p.Expect("DATA");
    p.Send("354 go\r\n");
    p.Close();
  });
  SmtpClient c(server);
  ASSERT_TRUE(c.smtp.Connect());
  // Enough lines that the writes run into the closed connection.
  StringList lines(20000, std::string(200, 'x'));
  EXPECT_FALSE(c.smtp.SendMessage(lines, "me@here", {"a@x"}));
  ASSERT_FALSE(c.ev.errors.empty());
  EXPECT_EQ(c.ev.errors[0], (std::pair<int, std::string>{8, "Write to socket failed (probably a timeout)!"}));
  EXPECT_LT(c.progress.size(), lines.size());
  EXPECT_TRUE(c.smtp.TransferEventsEnabled());
}

}  // namespace
}  // namespace qm
