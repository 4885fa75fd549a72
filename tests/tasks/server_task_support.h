#pragma once
// Tasks against the real loopback servers: an account pointed at Dovecot and
// aiosmtpd, messages on the server, and what ended up in the mailboxes.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "accounts/account_settings.h"
#include "platform/file_system.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "tasks/task_test_support.h"
#include "test_support/test_servers.h"
#include "transport/fetch_mail_task.h"
#include "transport/lite_pop3.h"
#include "transport/task_store.h"

namespace qm {

inline std::string TestMessage(const std::string& subject, const std::string& from = "Ann <ann@example.test>",
                               size_t body_bytes = 0) {
  std::string text = "From: " + from + "\r\nTo: quill@example.test\r\nSubject: " + subject +
                     "\r\nMessage-ID: <" + subject + "@example.test>\r\nDate: Thu, 10 Dec 2026 10:00:00 +0000\r\n\r\n" +
                     "Body of " + subject + "\r\n";
  for (size_t n = 0; n < body_bytes; n += 64) text += std::string(62, 'x') + "\r\n";
  return text;
}

struct StoredMessage {
  std::string key;
  cMailMessage msg;  // first part only
};

// Every message of a mailbox file (first parts), without keeping it open.
inline std::vector<StoredMessage> MailboxMessages(const std::string& path) {
  std::vector<StoredMessage> out;
  if (!FileExists(path)) return out;
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db)) return out;
  for (int i = 0; i < db->Count(); ++i) {
    StoredMessage m;
    if (!GetMessage(*db, m.msg, true, "", i)) break;
    m.key = db->Key();
    out.push_back(m);
  }
  ReleaseQDB(db);
  return out;
}

inline std::multiset<std::string> Subjects(const std::string& path) {
  std::multiset<std::string> out;
  for (auto& m : MailboxMessages(path)) {
    out.insert(m.msg.Subject);
    FreeMessage(m.msg);
  }
  return out;
}

class ServerTaskTest : public TaskTest {
 protected:
  void SetUp() override {
    TaskTest::SetUp();
    ASSERT_TRUE(GetPop3TestServer(pop3_));
    ASSERT_TRUE(GetSmtpTestServer(smtp_));
    pop3_lock_ = std::make_unique<ServerLock>(pop3_.maildir + "../quill-tests.lock");
    smtp_lock_ = std::make_unique<ServerLock>(smtp_.mbox + ".quill-tests.lock");
    ClearMaildir(pop3_.maildir);
    sink_before_ = ReadSinkMbox(smtp_.mbox).size();
  }
  void TearDown() override {
    TaskTest::TearDown();
    if (pop3_lock_) ClearMaildir(pop3_.maildir);
  }

  void MakeAccount(const std::string& name, bool leave_on_server = false,
                   const std::string& password = "") {
    cAccountSettings s;
    s.Email = name + "@example.test";
    s.POP3Addr = pop3_.host;
    s.POP3Port = std::to_string(pop3_.port);
    s.POP3UserName = pop3_.user;
    s.POP3Password = password.empty() ? pop3_.password : password;
    s.POP3Timeout = "10";
    s.SMTPAddr = smtp_.host;
    s.SMTPPort = std::to_string(smtp_.port);
    s.SMTPTimeout = "10";
    s.LeaveMailOnServer = leave_on_server;
    SaveAccount(name, s);
  }

  void PutOnServer(const std::vector<std::string>& subjects) {
    for (const auto& s : subjects) AddMaildirMessage(pop3_.maildir, TestMessage(s));
  }
  // Subjects of the messages Dovecot still holds.
  std::multiset<std::string> OnServer() {
    std::multiset<std::string> out;
    for (const char* sub : {"new/", "cur/"})
      for (const DirEntry& e : ListDirectory(pop3_.maildir + sub)) {
        if (e.is_directory) continue;
        const std::string text = TryReadFileBytes(pop3_.maildir + sub + e.name).value_or("");
        size_t at = text.find("Subject: ");
        if (at == std::string::npos) continue;
        out.insert(text.substr(at + 9, text.find('\r', at) - at - 9));
      }
    return out;
  }
  // The server's unique-ids in its order (a session of its own).
  StringList ServerUidls() {
    TLitePOP3 pop;
    pop.SetServer(pop3_.host);
    pop.SetPort(pop3_.port);
    pop.SetTimeOut(10);
    StringList list;
    if (pop.Connect() && pop.Login(pop3_.user, pop3_.password) && pop.GetMailboxStats()) pop.GetUIDLList(list);
    pop.Quit();
    return list;
  }
  std::vector<SinkMessage> NewlySent() {
    auto all = ReadSinkMbox(smtp_.mbox);
    return std::vector<SinkMessage>(all.begin() + std::min(all.size(), sink_before_), all.end());
  }

  std::string Inbox(const std::string& account = "Home") { return StandardMailboxPath(account, "Inbox"); }

  void Fetch(const std::string& account = "Home") {
    auto* t = new cPOP3Task_FetchMail();
    t->SetTaskParams(account, false, true);
    t->QueueTask();
  }

  Pop3TestServer pop3_;
  SmtpTestServer smtp_;
  std::unique_ptr<ServerLock> pop3_lock_, smtp_lock_;
  size_t sink_before_ = 0;
};

}  // namespace qm
