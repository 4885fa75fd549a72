// The POP3 login inside TLS against a scripted TLS server: which command the
// capabilities choose, that the secret travels only inside TLS and never
// reaches the traffic log.
#include <gtest/gtest.h>

#include "message/transfer_encodings.h"
#include "transport/lite_pop3.h"
#include "transport/socket_events.h"
#include "transport/tls_fake_server.h"
#include "transport/tls_test_support.h"

namespace qm {
namespace {

const char kUser[] = "ann";
const char kPassword[] = "pl@in secret";

std::string FirstError(const SocketEvents& ev) { return ev.errors.empty() ? "" : ev.errors[0].second; }

// Answers CAPA with `caps`, then AUTH PLAIN or USER/PASS with +OK unless
// `refuse`; anything else ends the dialogue.
void ServeLogin(TlsFakePeer& p, const std::string& caps, bool refuse, std::string* auth_argument) {
  for (;;) {
    auto line = p.ReadLine();
    if (!line) return;
    if (*line == "CAPA") {
      p.Send("+OK\r\n" + caps + ".\r\n");
    } else if (line->rfind("AUTH PLAIN ", 0) == 0) {
      if (auth_argument) *auth_argument = line->substr(11);
      p.Send(refuse ? "-ERR [AUTH] Authentication failed.\r\n" : "+OK Logged in.\r\n");
    } else if (line->rfind("USER ", 0) == 0) {
      p.Send("+OK\r\n");
    } else if (line->rfind("PASS ", 0) == 0) {
      p.Send(refuse ? "-ERR [AUTH] Authentication failed.\r\n" : "+OK Logged in.\r\n");
    } else if (*line == "QUIT") {
      p.Send("+OK bye\r\n");
      return;
    } else {
      p.Send("-ERR unknown\r\n");
    }
  }
}

class Pop3TlsLogin : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(certs_.ok()); }
  void Prepare(TLitePOP3& pop, SocketEvents& ev, int port, int security) {
    ev.Attach(pop);
    pop.SetServer("127.0.0.1");
    pop.SetPort(port);
    pop.SetTimeOut(5);
    pop.SetTls({security, "", certs_.File("ca.pem")});
  }
  std::string Cert() const { return certs_.File("server.pem"); }
  std::string Key() const { return certs_.File("server.key"); }
  TestCertificates certs_;
};

TEST_F(Pop3TlsLogin, CapabilitiesChooseTheLoginInsideImplicitTls) {
  const struct {
    const char* what;
    const char* caps;
    bool refuse;
    const char* first_command;  // after CAPA; empty: none
    bool logged_in;
    const char* error;  // part of the reported error; empty: none
  } cases[] = {
      {"SASL PLAIN only", "SASL PLAIN LOGIN\r\n", false, "AUTH PLAIN ", true, ""},
      {"lower-case mechanism", "sasl gssapi plain\r\n", false, "AUTH PLAIN ", true, ""},
      {"USER besides SASL", "USER\r\nSASL PLAIN\r\n", false, "USER ann", true, ""},
      {"refused AUTH PLAIN", "SASL PLAIN\r\n", true, "AUTH PLAIN ", false, ""},
      {"neither", "SASL GSSAPI\r\nTOP\r\n", false, "", false, "offers neither USER nor SASL PLAIN"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string argument;
    const std::string caps = c.caps;
    const bool refuse = c.refuse;
    TlsFakeServer server([&](TlsFakePeer& p) {
      if (!p.StartTls(Cert(), Key())) return;
      p.Send("+OK ready\r\n");
      ServeLogin(p, caps, refuse, &argument);
    });
    TLitePOP3 pop;
    SocketEvents ev;
    Prepare(pop, ev, server.port(), kSecurityImplicitTls);
    ASSERT_TRUE(pop.Connect()) << FirstError(ev);
    EXPECT_EQ(pop.Login(kUser, kPassword), c.logged_in) << FirstError(ev);
    if (*c.error) {
      ASSERT_EQ(ev.errors.size(), 1u);
      EXPECT_NE(FirstError(ev).find(c.error), std::string::npos) << FirstError(ev);
      EXPECT_NE(FirstError(ev).find("127.0.0.1"), std::string::npos);
    }
    pop.Disconnect();
    server.WaitDone();
    std::vector<std::string> got = server.Received();
    ASSERT_GE(got.size(), 1u);
    EXPECT_EQ(got[0], "TLS CAPA");
    if (*c.first_command) {
      ASSERT_GE(got.size(), 2u);
      EXPECT_EQ(got[1].rfind(std::string("TLS ") + c.first_command, 0), 0u) << got[1];
    } else {
      EXPECT_EQ(got.size(), 1u) << "nothing after CAPA";
    }
    if (std::string(c.first_command) == "AUTH PLAIN ") {
      EXPECT_EQ(Base64DecodeBytes(argument), std::string("\0ann\0pl@in secret", 17));
    }
    const std::string traffic = ev.AllTraffic();
    EXPECT_EQ(traffic.find(kPassword), std::string::npos) << traffic;
    if (!argument.empty()) {
      EXPECT_EQ(traffic.find(argument), std::string::npos) << traffic;
    }
    if (std::string(c.first_command) == "AUTH PLAIN ") {
      EXPECT_NE(traffic.find("AUTH PLAIN ********"), std::string::npos) << traffic;
    }
  }
}

// Upgraded with STLS, the capabilities are asked again inside TLS (those seen
// in plain text may have been forged) and only then is the secret sent.
TEST_F(Pop3TlsLogin, AfterStlsTheLoginGoesOnlyInsideTls) {
  std::string argument;
  TlsFakeServer server([&](TlsFakePeer& p) {
    p.Send("+OK ready\r\n");
    if (!p.Expect("CAPA")) return;
    p.Send("+OK\r\nSTLS\r\nUSER\r\n.\r\n");  // USER in plain text, SASL only inside
    if (!p.Expect("STLS")) return;
    p.Send("+OK Begin TLS negotiation now.\r\n");
    if (!p.StartTls(Cert(), Key())) return;
    ServeLogin(p, "SASL PLAIN\r\n", false, &argument);
  });
  TLitePOP3 pop;
  SocketEvents ev;
  Prepare(pop, ev, server.port(), kSecurityStartTls);
  ASSERT_TRUE(pop.Connect()) << FirstError(ev);
  ASSERT_TRUE(pop.Login(kUser, kPassword)) << FirstError(ev);
  EXPECT_TRUE(pop.Quit());
  pop.Disconnect();
  server.WaitDone();
  EXPECT_EQ(server.Received(), (std::vector<std::string>{"CAPA", "STLS", "TLS CAPA",
                                                         "TLS AUTH PLAIN " + argument, "TLS QUIT"}));
  EXPECT_EQ(Base64DecodeBytes(argument), std::string("\0ann\0pl@in secret", 17));
  EXPECT_EQ(ev.AllTraffic().find(argument), std::string::npos);
}

}  // namespace
}  // namespace qm
