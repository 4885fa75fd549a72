#include "ui/main_task_host.h"
#include "ui/ras_hangup_countdown.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <exception>

#include "ui/certificate_prompt.h"
#include "ui/generic_prompt_dialog.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"
#include "ui/ui_thread.h"

namespace qm {

namespace {

TrayState TrayOf(TTrayState s) {
  switch (s) {
    case TTrayState::Normal: return TrayState::Normal;
    case TTrayState::TasksRunning: return TrayState::TasksRunning;
    case TTrayState::NewMail: return TrayState::NewMail;
    case TTrayState::Errors: return TrayState::Errors;
  }
  return TrayState::Normal;
}

class TMainTaskHost : public cTaskHost {
 public:
  explicit TMainTaskHost(TfrmMain* main) : main_(main) {}

  void Synchronize(const std::function<void()>& fn) override { RunOnUiThread(fn); }
  void Post(std::function<void()> fn) override { PostToUiThread(std::move(fn)); }

  bool WorkingOffline() override { return main_->WorkingOffline(); }
  void SetWorkingOffline(bool offline) override { main_->SetWorkingOffline(offline); }
  bool AskYesNo(const std::string& text, const std::string& caption) override {
    return QMessageBox::question(main_, Q(caption), Q(text), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  }
  std::unique_ptr<cTaskWindowView> CreateTaskWindow() override { return CreateTaskWindowView(); }
  void SetTasksRunning(bool running) override { main_->SetTasksRunning(running); }
  void SetTrayState(TTrayState state, const std::string& tool_tip) override {
    main_->SetTrayState(TrayOf(state), Q(tool_tip), false);
  }
  int NewMailCount() override { return main_->NewMailCount(); }
  void SetNewMailCount(int count) override { main_->SetNewMailCount(count); }
  void SetMainStatusText(const std::string& text) override { main_->SetStatusText(Q(text)); }
  void RepaintMainWindow() override { main_->update(); }
  void SendAllUnsentMessages() override { main_->Command("mnuTools_SendAllUnsent")->trigger(); }
  void HangUpAfterRun() override { qm::HangUpAfterRun(main_); }
  bool PromptPassword(const std::string& title, const std::string& text, std::string& value) override {
    TfrmGenericPromptDialog dialog("POP3 Prompt", Q(title), Q(text), true, main_);
    auto [ok, typed] = RunPrompt(dialog, value);
    if (ok) value = typed;
    return ok;
  }
  TSizePromptAnswer AskExceededSize(const cSizePromptInfo& info) override { return AskExceededSizePrompt(info); }
  bool AskTrustCertificate(const cCertificateInfo& info) override { return AskTrustCertificatePrompt(info); }
  void PrintMessage(const cMailMessage& msg) override { qm::PrintMessage(msg); }
  void PlayEventSound(const std::string& name, bool is_file) override { PlayNamedSound(name, is_file); }
  cPreviewWindowView* CreatePreviewWindow() override { return CreatePreviewWindowView(); }
  void DestroyPreviewWindow(cPreviewWindowView* window) override { DestroyPreviewWindowView(window); }

 private:
  TfrmMain* main_;
};

}  // namespace

std::unique_ptr<cTaskHost> InstallMainTaskHost(TfrmMain* main) {
  if (GetTaskHost()) return nullptr;
  auto host = std::make_unique<TMainTaskHost>(main);
  SetTaskHost(host.get());
  return host;
}

}  // namespace qm
