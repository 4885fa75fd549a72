#pragma once
// A data directory with the process-wide paths pointed at it, recording
// fakes for the windows and the task framework, and the store's global
// state reset after each test.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "store/folder_tree.h"
#include "store/mail_message.h"
#include "store/ref_list.h"
#include "store/store_ui.h"
#include "test_support/recording_error_sink.h"
#include "test_support/temp_dir.h"

namespace qm {

class RecordingStoreUi : public StoreUi {
 public:
  void ListAddRow(const cMsgNodeInfo& row, const cMailMessage& msg) override {
    Log("add " + row.Key + " " + msg.Subject);
  }
  void ListRefreshRow(const std::string& key, const cMailMessage& msg) override {
    Log("refresh " + key + (msg.Read ? " read" : " unread"));
  }
  void ListRemoveRow(const std::string& key) override { Log("remove " + key); }
  void ListReload() override { Log("reload"); }
  void ShowStatus(const std::string& text) override { Log("status" + text); }
  bool AskMailboxPassword(std::string& password) override {
    std::function<void()> during;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++password_prompts;
      during = while_prompting;
      if (passwords.empty()) return false;
      password = passwords.front();
      passwords.pop_front();
    }
    if (during) during();
    return true;
  }
  void DeleteAttachmentsOf(const cMailMessage& msg) override {
    std::string text = "attachments " + msg.Subject + ":";
    if (msg.Attachments)
      for (const auto& a : *msg.Attachments) text += " " + a;
    Log(text);
  }
  bool AskYesNo(const std::string& text, const std::string& title) override {
    Log("ask [" + title + "] " + text);
    return answer_yes;
  }
  void OpenAddAccount() override { Log("add account"); }

  std::vector<std::string> Events() {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
  }
  void ClearEvents() {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.clear();
  }

  std::deque<std::string> passwords;  // answers of the password prompt; none left = cancel
  int password_prompts = 0;
  std::function<void()> while_prompting;
  bool answer_yes = true;

 private:
  void Log(const std::string& e) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(e);
  }
  std::mutex mutex_;
  std::vector<std::string> events_;
};

class RecordingTaskStarter : public MailTaskStarter {
 public:
  void StartFetchTask(const std::string& account, bool silent, bool ask) override {
    calls.push_back("fetch " + account + (silent ? " silent" : "") + (ask ? " ask" : ""));
  }
  void StartSendTask(const std::string& account, const std::string& path, const StringList& keys) override {
    std::string text = "send " + account + " " + ExtractFileName(path);
    for (const auto& k : keys) text += " " + k;
    calls.push_back(text);
  }
  std::vector<std::string> calls;
};

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePaths(dir_.path());
    SetStoreUi(ui_);
    SetMailTaskStarter(tasks_);
  }
  void TearDown() override {
    CloseAllMailboxes();
    FolderTree().Clear();
    SetStoreUi(nullptr);
    SetMailTaskStarter(nullptr);
    ReleaseSettings();
  }
  std::vector<std::string> Errors() const { return errors_.messages(); }

  static cMailMessage Message(const std::string& subject, bool read = false) {
    cMailMessage m;
    InitMessage(m);
    m.Subject = subject;
    m.Read = read;
    m.From = "Ann <ann@example.org>";
    m.FromName = "Ann";
    m.FromAddress = "ann@example.org";
    m.Size = static_cast<int32_t>(100 + subject.size());
    m.Body->push_back("Body of " + subject);
    return m;
  }

  class TempDir dir_;
  ScopedErrorRecorder errors_;
  std::shared_ptr<RecordingStoreUi> ui_ = std::make_shared<RecordingStoreUi>();
  std::shared_ptr<RecordingTaskStarter> tasks_ = std::make_shared<RecordingTaskStarter>();
};

}  // namespace qm
