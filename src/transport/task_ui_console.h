#pragma once
// A task host without windows: the calling thread is the UI thread (a
// cTaskUiLoop), status lines and errors go to text streams, and questions
// are answered from settings or refused. Used by quillmar-cli.
#include <atomic>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "transport/task_ui.h"
#include "transport/task_ui_loop.h"

namespace qm {

class cConsoleTaskHost : public cTaskHost {
 public:
  cConsoleTaskHost(std::ostream& out, std::ostream& err);
  ~cConsoleTaskHost() override;

  // The oversized-message answer (there is nobody to ask).
  TSizePromptAnswer size_answer = TSizePromptAnswer::Fetch;
  // Echo the communications log too.
  bool verbose = false;

  // Runs queued tasks until the run has ended and every task thread is gone.
  // True when no task reported an error.
  bool RunUntilIdle(int timeout_ms);
  int ErrorCount() const { return errors_; }

  void Synchronize(const std::function<void()>& fn) override;
  void Post(std::function<void()> fn) override;
  bool WorkingOffline() override { return false; }
  void SetWorkingOffline(bool) override {}
  bool AskYesNo(const std::string& text, const std::string& caption) override;
  std::unique_ptr<cTaskWindowView> CreateTaskWindow() override;
  void SetTasksRunning(bool running) override { tasks_running_ = running; }
  void SetTrayState(TTrayState, const std::string&) override {}
  int NewMailCount() override { return new_mail_; }
  void SetNewMailCount(int count) override { new_mail_ = count; }
  void SetMainStatusText(const std::string& text) override;
  void RepaintMainWindow() override {}
  void SendAllUnsentMessages() override;
  void HangUpAfterRun() override {}
  bool PromptPassword(const std::string& title, const std::string& text, std::string& value) override;
  TSizePromptAnswer AskExceededSize(const cSizePromptInfo& info) override;
  void PrintMessage(const cMailMessage& msg) override;
  // Shows the certificate and trusts nothing: the user decides by storing
  // its fingerprint in the account's settings.
  bool AskTrustCertificate(const cCertificateInfo& info) override;
  void PlayEventSound(const std::string&, bool) override {}
  cPreviewWindowView* CreatePreviewWindow() override;
  void DestroyPreviewWindow(cPreviewWindowView* window) override;

  // Called by the console task window.
  void CountError() { ++errors_; }
  std::ostream& Out() { return out_; }
  std::ostream& Err() { return err_; }

 private:
  std::ostream& out_;
  std::ostream& err_;
  cTaskUiLoop loop_;
  bool tasks_running_ = false;
  int new_mail_ = 0;
  int errors_ = 0;
  std::string last_status_;
  // Preview windows nobody closes here.
  std::vector<std::unique_ptr<cPreviewWindowView>> previews_;
};

}  // namespace qm
