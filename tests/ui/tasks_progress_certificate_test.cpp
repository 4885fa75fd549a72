// A fetch over TLS whose certificate the checks refuse: the task window
// stops on the error, shows the certificate and, once the user trusts it,
// the next fetch gets through. Against the TLS Dovecot of scripts/test-servers,
// whose test CA this process does not trust.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <memory>

#include "accounts/account_settings.h"
#include "platform/tls_channel.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "store/ref_list.h"
#include "store/tqdb.h"
#include "test_support/temp_dir.h"
#include "test_support/test_servers.h"
#include "test_support_ui.h"
#include "ui_task_host.h"
#include "transport/fetch_mail_task.h"
#include "transport/task_queue.h"
#include "transport/task_store.h"
#include "transport/tls_test_support.h"
#include "ui/certificate_prompt.h"
#include "ui/qt_text.h"
#include "ui/tasks_progress.h"
#include "ui/ui_thread.h"

namespace qm {
namespace {

// The real task window and the real question, as the main window's host
// shows them; any other question is answered No.
class TrustPromptHost : public UiTaskHost {
 public:
  bool AskTrustCertificate(const cCertificateInfo& info) override {
    ++asked;
    return AskTrustCertificatePrompt(info);
  }
  bool AskYesNo(const std::string&, const std::string&) override { return false; }

  int asked = 0;
};

// What the prompt showed when it opened.
struct PromptSeen {
  bool opened = false;
  std::string reason, server, subject, issuer, valid_from, valid_until, fingerprint;
  bool over_errors_page = false;
  bool refuse_is_default = false;
};

class CertificatePromptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv(kExtraCaFileVariable);
    InitialisePaths(dir.path());
    SetTaskHost(&host);
    ASSERT_TRUE(GetTlsTestServers(tls));
    ASSERT_TRUE(GetPop3TestServer(pop3));
    lock = std::make_unique<ServerLock>(pop3.maildir + "../quill-tests.lock");
    ClearMaildir(pop3.maildir);
    cAccountSettings s;
    s.POP3Addr = pop3.host;
    s.POP3Port = std::to_string(tls.pop3s_port);
    s.POP3Security = kSecurityImplicitTls;
    s.POP3UserName = pop3.user;
    s.POP3Password = pop3.password;
    s.POP3Timeout = "10";
    SaveAccount("Home", s);
    fingerprint = PemFingerprint(ExtractFilePath(tls.ca_file) + "server.pem", dir.path());
    ASSERT_FALSE(fingerprint.empty());
  }
  void TearDown() override {
    cTask::WaitForThreads(5000);
    if (TasksWindow && TasksWindow->CurrentRow < 0) TasksWindow->Close();
    QApplication::processEvents();
    SetTaskHost(nullptr);
    ReleaseSettings();
    if (lock) ClearMaildir(pop3.maildir);
  }
  size_t OnServer() const {
    size_t n = 0;
    for (const char* sub : {"new/", "cur/"}) n += ListDirectory(pop3.maildir + sub).size();
    return n;
  }
  // One fetch; `answer` is the button clicked in the prompt, if one opens.
  // What the prompt showed is shared: the poll for it may outlive the run.
  std::shared_ptr<PromptSeen> FetchAnswering(const char* answer) {
    auto shown = std::make_shared<PromptSeen>();
    WhenModalOpens([shown, answer](QWidget* w) {
      auto* prompt = qobject_cast<TfrmCertificatePrompt*>(w);
      if (!prompt) return;
      PromptSeen& seen = *shown;
      seen.opened = true;
      seen.reason = S(prompt->lblReason->text());
      seen.server = S(prompt->edtServer->text());
      seen.subject = S(prompt->edtSubject->text());
      seen.issuer = S(prompt->edtIssuer->text());
      seen.valid_from = S(prompt->edtValidFrom->text());
      seen.valid_until = S(prompt->edtValidUntil->text());
      seen.fingerprint = S(prompt->edtFingerprint->text());
      TfrmTasksProgress* window = CurrentTasksProgressWindow();
      seen.over_errors_page = window && prompt->parentWidget() == window &&
                              window->pgPages->currentWidget() == window->tabErrors &&
                              !window->ErrorLines().empty();
      seen.refuse_is_default = prompt->btnDoNotTrust->isDefault() && !prompt->btnTrust->isDefault();
      prompt->findChild<QPushButton*>(answer)->click();
    });
    auto* task = new cPOP3Task_FetchMail();
    task->SetTaskParams("Home", false, true);
    task->QueueTask();
    EXPECT_TRUE(WaitUntil([] { return TasksWindow == nullptr || TasksWindow->CurrentRow < 0; }, 30000));
    EXPECT_TRUE(cTask::WaitForThreads(10000));
    return shown;
  }
  bool ErrorShown(const std::string& text) {
    if (!host.window) return false;
    for (const std::string& line : host.window->ErrorLines())
      if (line.find(text) != std::string::npos) return true;
    return false;
  }
  bool Logged(const std::string& text) {
    if (!host.window) return false;
    for (const std::string& line : host.window->LogLines())
      if (line.find(text) != std::string::npos) return true;
    return false;
  }
  std::string Trusted() { return IniFile(AccountSettingsFile("Home")).ReadString("POP3", "TrustedCertificate", ""); }

  class TempDir dir;
  TrustPromptHost host;
  TlsTestServers tls;
  Pop3TestServer pop3;
  std::unique_ptr<ServerLock> lock;
  std::string fingerprint;
};

TEST_F(CertificatePromptTest, RefusedCertificateIsShownAndOnceTrustedTheNextFetchGetsThrough) {
  AddMaildirMessage(pop3.maildir, "From: Ann <ann@example.test>\r\nSubject: secured\r\n\r\nBody\r\n");
  // Refused, then trusted: each run stops on the certificate with nothing sent.
  for (const char* answer : {"btnDoNotTrust", "btnTrust"}) {
    SCOPED_TRACE(answer);
    const PromptSeen seen = *FetchAnswering(answer);
    ASSERT_TRUE(seen.opened);
    EXPECT_NE(seen.reason.find("The certificate of 127.0.0.1 failed verification"), std::string::npos)
        << seen.reason;
    EXPECT_NE(seen.server.find("127.0.0.1"), std::string::npos);
    EXPECT_NE(seen.server.find("Home"), std::string::npos);
    EXPECT_EQ(seen.subject, "CN=127.0.0.1");
    EXPECT_EQ(seen.issuer, "CN=Quillmar Test CA");
    EXPECT_NE(seen.valid_from.find("UTC"), std::string::npos);
    EXPECT_NE(seen.valid_until.find("UTC"), std::string::npos);
    EXPECT_EQ(seen.fingerprint, fingerprint);
    EXPECT_TRUE(seen.over_errors_page);
    EXPECT_TRUE(seen.refuse_is_default);

    ASSERT_TRUE(host.window);
    EXPECT_TRUE(TasksWindow && TasksWindow->HasErrors);
    EXPECT_TRUE(ErrorShown("failed verification"));
    EXPECT_TRUE(ErrorShown("Could not connect!"));
    EXPECT_FALSE(Logged("USER"));
    EXPECT_FALSE(Logged("PASS"));
    EXPECT_EQ(OnServer(), 1u);
    EXPECT_FALSE(FileExists(StandardMailboxPath("Home", "Inbox")));
    const bool trusted = std::string(answer) == "btnTrust";
    EXPECT_EQ(Trusted(), trusted ? fingerprint : "");
    EXPECT_EQ(Logged("is trusted for Home"), trusted);
    host.window->close();
    ASSERT_EQ(TasksWindow, nullptr);
  }

  EXPECT_FALSE(FetchAnswering("btnDoNotTrust")->opened) << "a trusted certificate is not asked about again";
  EXPECT_EQ(host.asked, 2);
  EXPECT_EQ(host.status, " 1 new message(s)");
  EXPECT_EQ(OnServer(), 0u);
  TQDB* inbox = nullptr;
  ASSERT_TRUE(GetQDBForFile(StandardMailboxPath("Home", "Inbox"), inbox));
  EXPECT_EQ(inbox->Count(), 1);
  ReleaseQDB(inbox);
}

}  // namespace
}  // namespace qm
