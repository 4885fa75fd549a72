// POP3 and SMTP over TLS against the real TLS Dovecot and aiosmtpd sinks of
// scripts/test-servers, and refused certificates shown by openssl s_server.
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <sstream>

#include "message/transfer_encodings.h"
#include "test_support/test_servers.h"
#include "transport/lite_pop3.h"
#include "transport/lite_smtp.h"
#include "transport/socket_events.h"
#include "transport/tls_test_support.h"

namespace qm {
namespace {

std::string FirstError(const SocketEvents& ev) { return ev.errors.empty() ? "" : ev.errors[0].second; }

class TlsPop3 : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GetPop3TestServer(server_));
    ASSERT_TRUE(GetTlsTestServers(tls_));
    lock_ = std::make_unique<ServerLock>(server_.maildir + "../quill-tests.lock");
    ClearMaildir(server_.maildir);
    ev_.Attach(pop_);
    pop_.SetServer(server_.host);
    pop_.SetTimeOut(10);
  }
  void TearDown() override {
    if (pop_.Connected()) pop_.Disconnect();
    if (lock_) ClearMaildir(server_.maildir);
  }
  Pop3TestServer server_;
  TlsTestServers tls_;
  std::unique_ptr<ServerLock> lock_;
  TLitePOP3 pop_;
  SocketEvents ev_;
};

TEST_F(TlsPop3, ImplicitTlsAndStlsLogInAndFetchWithoutShowingThePassword) {
  struct Case {
    const char* name;
    int port;
    int security;
  } cases[] = {{"implicit", tls_.pop3s_port, kSecurityImplicitTls}, {"stls", tls_.pop3_stls_port, kSecurityStartTls}};
  const std::string text = "Subject: over tls\r\n\r\nsecret body\r\n";
  AddMaildirMessage(server_.maildir, text);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TLitePOP3 pop;
    SocketEvents ev;
    ev.Attach(pop);
    pop.SetServer(server_.host);
    pop.SetPort(c.port);
    pop.SetTimeOut(10);
    pop.SetTls({c.security, "", tls_.ca_file});
    ASSERT_TRUE(pop.Connect()) << FirstError(ev);
    ASSERT_TRUE(pop.Login(server_.user, server_.password)) << FirstError(ev) << ev.AllTraffic();
    ASSERT_TRUE(pop.GetMailboxStats());
    EXPECT_EQ(pop.MessageCount(), 1);
    std::ostringstream got;
    ASSERT_TRUE(pop.RetrieveMessage(1, false, got));
    EXPECT_EQ(got.str(), text.substr(0, text.size() - 2));
    EXPECT_TRUE(pop.Quit());
    pop.Disconnect();
    const std::string traffic = ev.AllTraffic();
    EXPECT_EQ(traffic.find(server_.password), std::string::npos);
    EXPECT_NE(traffic.find("PASS ********"), std::string::npos);
    EXPECT_TRUE(ev.errors.empty()) << FirstError(ev);
  }
}

TEST_F(TlsPop3, AcceptedFingerprintStandsInForTheCa) {
  class TempDir scratch;
  const std::string fingerprint = PemFingerprint(ExtractFilePath(tls_.ca_file) + "server.pem", scratch.path());
  ASSERT_FALSE(fingerprint.empty());
  pop_.SetPort(tls_.pop3s_port);
  // Without the CA the certificate is refused, and shown with its fingerprint ...
  pop_.SetTls({kSecurityImplicitTls, "", ""});
  EXPECT_FALSE(pop_.Connect());
  ASSERT_TRUE(pop_.LastTlsResult().CertificateRejected);
  EXPECT_EQ(pop_.LastTlsResult().Details.Fingerprint, fingerprint);
  // ... and accepted once that fingerprint is, in any spelling.
  std::string lower;
  for (char ch : fingerprint)
    if (ch != ':') lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  pop_.SetTls({kSecurityImplicitTls, lower, ""});
  ev_.errors.clear();
  ASSERT_TRUE(pop_.Connect()) << FirstError(ev_);
  EXPECT_TRUE(pop_.Login(server_.user, server_.password)) << FirstError(ev_);
}

TEST_F(TlsPop3, StlsAskedOfAServerWithoutItStopsBeforeTheLogin) {
  pop_.SetPort(server_.port);  // the plain Dovecot: no STLS
  pop_.SetTls({kSecurityStartTls, "", tls_.ca_file});
  EXPECT_FALSE(pop_.Connect());
  ASSERT_FALSE(ev_.errors.empty());
  EXPECT_NE(FirstError(ev_).find("does not offer STLS"), std::string::npos) << FirstError(ev_);
  EXPECT_NE(FirstError(ev_).find(server_.host), std::string::npos);
  for (const std::string& w : ev_.writes) EXPECT_EQ(w.rfind("USER", 0), std::string::npos) << w;
  EXPECT_FALSE(pop_.Connected());
}

TEST_F(TlsPop3, WrongPasswordInsideTlsIsRefused) {
  pop_.SetPort(tls_.pop3s_port);
  pop_.SetTls({kSecurityImplicitTls, "", tls_.ca_file});
  ASSERT_TRUE(pop_.Connect()) << FirstError(ev_);
  EXPECT_FALSE(pop_.Login(server_.user, "not-the-password"));
  EXPECT_EQ(ev_.AllTraffic().find("not-the-password"), std::string::npos);
}

class TlsSmtp : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GetSmtpTestServer(plain_));
    ASSERT_TRUE(GetTlsTestServers(tls_));
    lock_ = std::make_unique<ServerLock>(tls_.smtp_mbox + ".quill-tests.lock");
    WriteFileAtomically(tls_.smtp_mbox, "");
  }
  void Prepare(TLiteSMTP& smtp, SocketEvents& ev, int port, int security, const std::string& password) {
    ev.Attach(smtp);
    smtp.SetServer("127.0.0.1");
    smtp.SetPort(port);
    smtp.SetTimeOut(10);
    smtp.SetTls({security, "", tls_.ca_file});
    smtp.SetAuthentication(true, tls_.smtp_user, password);
  }
  SmtpTestServer plain_;
  TlsTestServers tls_;
  std::unique_ptr<ServerLock> lock_;
};

TEST_F(TlsSmtp, DeliversOverStartTlsAndImplicitTlsWithEitherLogin) {
  struct Case {
    const char* name;
    int port;
    int security;
    const char* auth_shown;  // the logged form of the AUTH command
  } cases[] = {{"starttls plain", tls_.smtp_starttls_port, kSecurityStartTls, "AUTH PLAIN ********"},
               {"starttls login", tls_.smtp_login_port, kSecurityStartTls, "AUTH LOGIN"},
               {"implicit", tls_.smtps_port, kSecurityImplicitTls, "AUTH PLAIN ********"}};
  const StringList lines{"Subject: tls", "", "body", ".dot"};
  int delivered = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TLiteSMTP smtp;
    SocketEvents ev;
    Prepare(smtp, ev, c.port, c.security, tls_.smtp_password);
    ASSERT_TRUE(smtp.Connect()) << FirstError(ev) << ev.AllTraffic();
    ASSERT_TRUE(smtp.SendMessage(lines, "me@here.test", {"you@there.test"})) << FirstError(ev);
    smtp.Disconnect();
    ++delivered;
    const std::string traffic = ev.AllTraffic();
    EXPECT_NE(traffic.find(c.auth_shown), std::string::npos) << traffic;
    EXPECT_EQ(traffic.find(tls_.smtp_password), std::string::npos);
    EXPECT_EQ(traffic.find(Base64EncodeLine(tls_.smtp_password)), std::string::npos);
    EXPECT_EQ(traffic.find(Base64EncodeLine(std::string(1, '\0') + tls_.smtp_user + '\0' + tls_.smtp_password)),
              std::string::npos);
    EXPECT_TRUE(ev.errors.empty()) << FirstError(ev);
  }
  auto got = ReadSinkMbox(tls_.smtp_mbox);
  ASSERT_EQ(static_cast<int>(got.size()), delivered);
  for (const SinkMessage& m : got) EXPECT_EQ(m.content, JoinLines(lines) + "\r\n");
}

TEST_F(TlsSmtp, RefusedLoginReportsTheServersReply) {
  for (int port : {tls_.smtp_starttls_port, tls_.smtp_login_port}) {
    SCOPED_TRACE(port);
    TLiteSMTP smtp;
    SocketEvents ev;
    Prepare(smtp, ev, port, kSecurityStartTls, "wrong-password");
    EXPECT_FALSE(smtp.Connect());
    ASSERT_EQ(ev.errors.size(), 1u) << ev.AllTraffic();
    EXPECT_EQ(ev.errors[0].first, 8);
    EXPECT_NE(ev.errors[0].second.find("535"), std::string::npos) << ev.errors[0].second;
    EXPECT_EQ(ev.AllTraffic().find("wrong-password"), std::string::npos);
  }
  EXPECT_TRUE(ReadSinkMbox(tls_.smtp_mbox).empty());
}

TEST_F(TlsSmtp, StartTlsAskedOfAServerWithoutItSendsNoLogin) {
  TLiteSMTP smtp;
  SocketEvents ev;
  Prepare(smtp, ev, plain_.port, kSecurityStartTls, tls_.smtp_password);
  EXPECT_FALSE(smtp.Connect());
  ASSERT_FALSE(ev.errors.empty());
  EXPECT_NE(FirstError(ev).find("does not offer STARTTLS"), std::string::npos) << FirstError(ev);
  for (const std::string& w : ev.writes) EXPECT_EQ(w.rfind("AUTH", 0), std::string::npos) << w;
  EXPECT_FALSE(smtp.Connected());
}

// Certificates the checks must refuse, each with its reason and the host named;
// nothing of the dialogue reaches the server.
TEST(TlsCertificates, RefusedCertificatesStopBeforeAnythingIsSent) {
  TestCertificates certs;
  ASSERT_TRUE(certs.ok());
  struct Case {
    const char* cert;
    const char* host;
    const char* reason;
  } cases[] = {
      {"untrusted.pem", "127.0.0.1", "self-signed certificate"},
      {"expired.pem", "127.0.0.1", "certificate has expired"},
      {"wrong-host.pem", "127.0.0.1", "IP address mismatch"},
      {"server.pem", "localhost", "hostname mismatch"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cert + std::string(" as ") + c.host);
    OpensslServer server(certs.File(c.cert), certs.File("server.key"), certs.File("received.txt"));
    TLitePOP3 pop;
    SocketEvents ev;
    ev.Attach(pop);
    pop.SetServer(c.host);
    pop.SetPort(server.port());
    pop.SetTimeOut(5);
    pop.SetTls({kSecurityImplicitTls, "", certs.File("ca.pem")});
    EXPECT_FALSE(pop.Connect());
    ASSERT_EQ(ev.errors.size(), 1u);
    EXPECT_EQ(ev.errors[0].first, 1);
    EXPECT_NE(ev.errors[0].second.find(c.reason), std::string::npos) << ev.errors[0].second;
    EXPECT_NE(ev.errors[0].second.find(c.host), std::string::npos) << ev.errors[0].second;
    const TlsHandshakeResult& r = pop.LastTlsResult();
    EXPECT_TRUE(r.CertificateRejected);
    EXPECT_EQ(r.Details.Fingerprint, certs.Fingerprint(c.cert));
    EXPECT_NE(r.Details.Subject.find("CN="), std::string::npos);
    EXPECT_FALSE(r.Details.NotAfter.empty());
    EXPECT_TRUE(ev.writes.empty());
    EXPECT_TRUE(pop.WelcomingMessage().empty());
    // s_server writes what it received; the client sent nothing after the handshake.
    EXPECT_EQ(server.Received(), "");
  }
}

TEST(TlsCertificates, AnAcceptedFingerprintPassesOnlyForThatCertificate) {
  TestCertificates certs;
  ASSERT_TRUE(certs.ok());
  for (bool same : {true, false}) {
    SCOPED_TRACE(same);
    OpensslServer server(certs.File("expired.pem"), certs.File("server.key"), certs.File("received.txt"));
    TLiteSMTP smtp;
    SocketEvents ev;
    ev.Attach(smtp);
    smtp.SetServer("127.0.0.1");
    smtp.SetPort(server.port());
    smtp.SetTimeOut(3);
    smtp.SetTls({kSecurityImplicitTls, certs.Fingerprint(same ? "expired.pem" : "server.pem"), certs.File("ca.pem")});
    EXPECT_FALSE(smtp.Connect());  // s_server sends no greeting
    ASSERT_FALSE(ev.errors.empty());
    EXPECT_EQ(smtp.LastTlsResult().CertificateRejected, !same) << FirstError(ev);
    // Accepted: past the handshake, the client waited for a greeting.
    EXPECT_EQ(FirstError(ev).find("certificate"), same ? std::string::npos : 4u) << FirstError(ev);
  }
}

}  // namespace
}  // namespace qm
