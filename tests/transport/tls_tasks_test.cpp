// The fetch and send tasks over TLS against the real TLS servers: an unknown
// certificate stops the task, is offered to the user and, once trusted,
// lets the next run through; sending with STARTTLS and a login.
#include <gtest/gtest.h>

#include <cstdlib>

#include "shell/ini_file.h"
#include "shell/password_encoding.h"
#include "tasks/server_task_support.h"
#include "transport/send_mail_task.h"
#include "transport/tls_test_support.h"

namespace qm {
namespace {

class TrustAskingHost : public RecordingTaskHost {
 public:
  bool AskTrustCertificate(const cCertificateInfo& info) override {
    asked.push_back(info);
    return trust;
  }
  bool trust = false;
  std::vector<cCertificateInfo> asked;
};

class TlsTaskTest : public ServerTaskTest {
 protected:
  void SetUp() override {
    ServerTaskTest::SetUp();
    ASSERT_TRUE(GetTlsTestServers(tls_));
    tls_lock_ = std::make_unique<ServerLock>(tls_.smtp_mbox + ".quill-tests.lock");
    host_.reset();
    auto host = std::make_unique<TrustAskingHost>();
    trust_host_ = host.get();
    host_ = std::move(host);
    unsetenv(kExtraCaFileVariable);
  }
  void TearDown() override {
    unsetenv(kExtraCaFileVariable);
    ServerTaskTest::TearDown();
  }
  void SetSecurity(const std::string& section, int security, int port) {
    IniFile ini(AccountSettingsFile("Home"));
    ini.WriteInteger(section, "Security", security);
    ini.WriteInteger(section, "Port", port);
  }
  // A failed run leaves its window open with the errors; the next run starts afresh.
  void NewRun() {
    if (TasksWindow) TasksWindow->Close();
    host_->windows.clear();
  }
  bool Logged(const std::string& text) {
    for (const auto& [line, colour] : host_->Window().log)
      if (line.find(text) != std::string::npos) return true;
    return false;
  }
  bool ErrorHas(const std::string& text) {
    for (const auto& e : host_->Window().errors)
      if (e.find(text) != std::string::npos) return true;
    return false;
  }
  // What the task window showed, for failure messages.
  std::string Dump() {
    std::string out;
    for (const auto& e : host_->Window().errors) out += "error: " + e + "\n";
    for (const auto& [line, colour] : host_->Window().log) out += "log: " + line + "\n";
    return out;
  }
  TlsTestServers tls_;
  std::unique_ptr<ServerLock> tls_lock_;
  TrustAskingHost* trust_host_ = nullptr;
};

TEST_F(TlsTaskTest, UnknownCertificateIsOfferedAndOnceTrustedTheFetchGoesThrough) {
  MakeAccount("Home");
  SetSecurity("POP3", kSecurityImplicitTls, tls_.pop3s_port);
  PutOnServer({"secure"});
  for (bool trust : {false, true}) {
    SCOPED_TRACE(trust);
    trust_host_->trust = trust;
    trust_host_->asked.clear();
    NewRun();
    Fetch();
    ASSERT_TRUE(host_->RunQueued());
    ASSERT_EQ(trust_host_->asked.size(), 1u) << Dump();
    const cCertificateInfo& info = trust_host_->asked[0];
    EXPECT_EQ(info.Account, "Home");
    EXPECT_EQ(info.Section, "POP3");
    EXPECT_EQ(info.Host, "127.0.0.1");
    EXPECT_NE(info.Reason.find("127.0.0.1"), std::string::npos) << info.Reason;
    EXPECT_NE(CertificateDescription(info).find(info.Details.Fingerprint), std::string::npos);
    EXPECT_TRUE(ErrorHas("The certificate of 127.0.0.1 failed verification"));
    EXPECT_FALSE(Logged("USER"));
    EXPECT_TRUE(MailboxMessages(Inbox()).empty());
    EXPECT_EQ(LoadAccount("Home").POP3TrustedCertificate, trust ? info.Details.Fingerprint : "");
  }
  trust_host_->asked.clear();
  NewRun();
  Fetch();
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_TRUE(trust_host_->asked.empty());
  EXPECT_EQ(Subjects(Inbox()), (std::multiset<std::string>{"secure"}));
  EXPECT_TRUE(Logged("PASS ********"));
  EXPECT_FALSE(Logged(pop3_.password));
}

TEST_F(TlsTaskTest, SendingUsesStartTlsAndTheStoredLogin) {
  setenv(kExtraCaFileVariable, tls_.ca_file.c_str(), 1);
  WriteFileAtomically(tls_.smtp_mbox, "");
  for (bool right_password : {false, true}) {
    SCOPED_TRACE(right_password);
    MakeAccount("Home");
    SetSecurity("SMTP", kSecurityStartTls, tls_.smtp_starttls_port);
    {
      IniFile ini(AccountSettingsFile("Home"));
      ini.WriteBool("SMTP", "Authentificate", true);
      ini.WriteString("SMTP", "UserName", tls_.smtp_user);
      ini.WriteString("SMTP", "Password", EncodePassword(right_password ? tls_.smtp_password : "wrong-pw"));
    }
    cMailMessage m;
    InitMessage(m);
    m.From = "Home <home@example.test>";
    m.FromAddress = "home@example.test";
    m.To = "ann@example.test";
    m.Subject = right_password ? "Secured" : "Refused";
    m.Account = "Home";
    *m.Body = {"Text"};
    ASSERT_TRUE(AddMessageToFile(StandardMailboxPath("Home", "Unsent"), m));
    FreeMessage(m);
    NewRun();
    SendUnsentMessages("Home");
    ASSERT_TRUE(host_->RunQueued());
    EXPECT_FALSE(Logged(tls_.smtp_password));
    EXPECT_FALSE(Logged("wrong-pw"));
    if (!right_password) {
      EXPECT_TRUE(ErrorHas("535")) << (host_->Window().errors.empty() ? "" : host_->Window().errors[0]);
      EXPECT_TRUE(ReadSinkMbox(tls_.smtp_mbox).empty());
    }
  }
  auto got = ReadSinkMbox(tls_.smtp_mbox);
  // The message refused with the first login stayed in Unsent and went with the second run.
  ASSERT_EQ(got.size(), 2u) << Dump();
  EXPECT_TRUE(Logged("AUTH PLAIN ********"));
}

}  // namespace
}  // namespace qm
