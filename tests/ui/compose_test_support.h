#pragma once
// A data directory with one account "Home", stored source messages, and
// helpers to drive compose windows in window tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "accounts/account_settings.h"
#include "shell/app_paths.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "test_support/temp_dir.h"
#include "test_support_ui.h"
#include "transport/task_store.h"
#include "ui/compose_window.h"
#include "ui/qt_text.h"

namespace qm {

struct StoredCopy {
  std::string key;
  cMailMessage msg;  // without lists
};

// The messages of a mailbox file (first parts only).
inline std::vector<StoredCopy> StoredMessages(const std::string& path) {
  std::vector<StoredCopy> out;
  TQDB* db = nullptr;
  if (!FileExists(path) || !GetQDBForFile(path, db)) return out;
  for (int i = 0; i < db->Count(); ++i) {
    StoredCopy c;
    if (!GetMessage(*db, c.msg, false, "", i)) break;
    c.key = db->Key();
    out.push_back(c);
  }
  ReleaseQDB(db);
  return out;
}

// The record stored under a key, with its lists.
inline bool LoadStored(const std::string& path, const std::string& key, cMailMessage& msg) {
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db)) return false;
  bool ok = GetMessage(*db, msg, true, key);
  ReleaseQDB(db);
  return ok;
}

class ComposeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    InitialisePaths(dir.path());
    cAccountSettings s;
    s.Name = "Bob Jones";
    s.Email = "bob@example.org";
    s.Organization = "Acme";
    s.ReplyAddress = "reply@example.org";
    SaveAccount("Home", s);
  }
  void TearDown() override {
    // Windows left open go without their close question.
    std::vector<TfrmCompose*> left = TfrmCompose::OpenWindows();
    for (TfrmCompose* w : left) delete w;
    CloseAllMailboxes();
    ReleaseSettings();
  }

  static std::string Mailbox(const std::string& name) { return StandardMailboxPath("Home", name); }

  // Stores a message in Home's Inbox; returns its reference.
  static std::string StoreSource(const std::string& subject, const std::string& to = "bob@example.org",
                                 const std::string& cc = "", const StringList& body = {"line one", "line two"},
                                 const StringList& attachments = {}) {
    cMailMessage m;
    InitMessage(m);
    m.Subject = subject;
    m.From = "Ann Smith <ann@example.org>";
    m.FromName = "Ann Smith";
    m.FromAddress = "ann@example.org";
    m.To = to;
    m.CC = cc;
    m.Account = "Home";
    m.Date = EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 0, 0);
    *m.Body = body;
    for (const std::string& a : attachments) AddAttachment(m, a);
    TQDB* db = nullptr;
    EXPECT_TRUE(GetQDBForFile(Mailbox("Inbox"), db));
    TKey key;
    EXPECT_TRUE(AddMessage(*db, m, false, nullptr, key));
    ReleaseQDB(db);
    FreeMessage(m);
    return "Home://Inbox/" + key;
  }

  static TfrmCompose* Open(const ComposeSetup& setup, const std::string& subject = "") {
    auto* w = new TfrmCompose();
    EXPECT_TRUE(w->SetupMessage(setup, subject));
    return w;
  }
  static TfrmCompose* Reply(const std::string& ref, bool all = false) {
    ComposeSetup s;
    s.kind = ComposeKind::Reply;
    s.source_ref = ref;
    s.reply_all = all;
    return Open(s);
  }
  static TfrmCompose* NewTo(const std::string& to, const std::string& subject = "Plans") {
    ComposeSetup s;
    s.to = to;
    return Open(s, subject);
  }

  static void Pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
      QApplication::processEvents(QEventLoop::AllEvents, 10);
      QTest::qWait(5);
    }
  }
  static bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
      QApplication::processEvents(QEventLoop::AllEvents, 10);
      QTest::qWait(10);
    }
    return done();
  }

  // Answers the next modal message box with `button`, keeping its text.
  // `then` runs once it is answered (to answer a box that follows).
  void AnswerNextBox(QMessageBox::StandardButton button, std::function<void()> then = {}) {
    WhenModalOpens([this, button, then](QWidget* w) {
      if (auto* box = qobject_cast<QMessageBox*>(w)) {
        box_texts.push_back(S(box->text()));
        box_titles.push_back(S(box->windowTitle()));
        box->done(button);
      } else {
        w->close();
      }
      if (then) then();
    });
  }

  class TempDir dir;
  std::vector<std::string> box_texts;
  std::vector<std::string> box_titles;
};

}  // namespace qm
