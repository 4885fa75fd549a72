#pragma once
// A task host for window tests: the real task and preview windows, with what
// would go to the main window recorded. Plus an account on the loopback
// Dovecot and what its Inbox holds.
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QThread>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "accounts/account_settings.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "test_support/test_servers.h"
#include "test_support_ui.h"
#include "transport/task_store.h"
#include "transport/task_ui.h"
#include "ui/preview_mail.h"
#include "ui/tasks_progress.h"
#include "ui/window_entry_points.h"
#include "ui/ui_thread.h"

namespace qm {

class UiTaskHost : public cTaskHost {
 public:
  void Synchronize(const std::function<void()>& fn) override { RunOnUiThread(fn); }
  void Post(std::function<void()> fn) override { PostToUiThread(std::move(fn)); }
  bool WorkingOffline() override { return false; }
  void SetWorkingOffline(bool) override {}
  bool AskYesNo(const std::string&, const std::string&) override { return true; }
  std::unique_ptr<cTaskWindowView> CreateTaskWindow() override {
    window = new TfrmTasksProgress;
    if (on_task_window) on_task_window(window);
    return MakeTasksProgressView(window);
  }
  void SetTasksRunning(bool running) override { tasks_running = running; }
  void SetTrayState(TTrayState state, const std::string& tip) override {
    tray = state;
    tray_tip = tip;
  }
  int NewMailCount() override { return new_mail; }
  void SetNewMailCount(int count) override { new_mail = count; }
  void SetMainStatusText(const std::string& text) override { status = text; }
  void RepaintMainWindow() override {}
  void SendAllUnsentMessages() override {}
  void HangUpAfterRun() override {}
  bool PromptPassword(const std::string&, const std::string&, std::string&) override { return false; }
  TSizePromptAnswer AskExceededSize(const cSizePromptInfo&) override { return TSizePromptAnswer::Fetch; }
  void PrintMessage(const cMailMessage&) override {}
  void PlayEventSound(const std::string& name, bool) override { sounds.push_back(name); }
  cPreviewWindowView* CreatePreviewWindow() override {
    cPreviewWindowView* view = CreatePreviewWindowView();
    preview = dynamic_cast<TfrmPreviewMail*>(view);
    return view;
  }
  void DestroyPreviewWindow(cPreviewWindowView* view) override { DestroyPreviewWindowView(view); }

  QPointer<TfrmTasksProgress> window;
  QPointer<TfrmPreviewMail> preview;
  std::function<void(TfrmTasksProgress*)> on_task_window;
  bool tasks_running = false;
  TTrayState tray = TTrayState::Normal;
  std::string tray_tip;
  int new_mail = 0;
  std::string status;
  StringList sounds;
};


// An account pointed at the loopback Dovecot, holding the server's lock
// while it lives so that parallel test processes take turns.
class DovecotAccount {
 public:
  ::testing::AssertionResult Open(const std::string& name) {
    ::testing::AssertionResult found = GetPop3TestServer(server_);
    if (!found) return found;
    lock_ = std::make_unique<ServerLock>(server_.maildir + "../quill-tests.lock");
    ClearMaildir(server_.maildir);
    name_ = name;
    cAccountSettings s;
    s.Email = name + "@example.test";
    s.POP3Addr = server_.host;
    s.POP3Port = std::to_string(server_.port);
    s.POP3UserName = server_.user;
    s.POP3Password = server_.password;
    s.POP3Timeout = "10";
    SaveAccount(name, s);
    return ::testing::AssertionSuccess();
  }
  ~DovecotAccount() {
    if (lock_) ClearMaildir(server_.maildir);
  }

  void Put(const std::string& subject, size_t body_bytes = 0) {
    std::string text = "From: Ann Smith <ann@example.test>\r\nTo: " + name_ + "@example.test\r\nSubject: " + subject +
                       "\r\nMessage-ID: <" + subject + "@example.test>\r\n" +
                       "Date: Thu, 10 Dec 2026 10:00:00 +0000\r\n\r\nBody of " + subject + "\r\n";
    for (size_t n = 0; n < body_bytes; n += 64) text += std::string(62, 'x') + "\r\n";
    AddMaildirMessage(server_.maildir, text);
  }
  // Messages Dovecot still serves.
  size_t OnServer() const {
    size_t n = 0;
    for (const char* sub : {"new/", "cur/"})
      for (const DirEntry& e : ListDirectory(server_.maildir + sub))
        if (!e.is_directory) ++n;
    return n;
  }
  std::multiset<std::string> InboxSubjects() const {
    std::multiset<std::string> out;
    std::string path = StandardMailboxPath(name_, "Inbox");
    if (!FileExists(path)) return out;
    TQDB* db = nullptr;
    if (!GetQDBForFile(path, db)) return out;
    for (int i = 0; i < db->Count(); ++i) {
      cMailMessage m;
      InitMessage(m);
      if (!GetMessage(*db, m, false, "", i)) break;
      out.insert(m.Subject);
      FreeMessage(m);
    }
    ReleaseQDB(db);
    return out;
  }

 private:
  Pop3TestServer server_;
  std::unique_ptr<ServerLock> lock_;
  std::string name_;
};

}  // namespace qm
