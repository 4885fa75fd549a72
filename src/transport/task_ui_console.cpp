#include "transport/task_ui_console.h"

#include "transport/send_mail_task.h"
#include "transport/task.h"
#include "transport/task_queue.h"

namespace qm {

namespace {

class cConsoleTaskWindow : public cTaskWindowView {
 public:
  explicit cConsoleTaskWindow(cConsoleTaskHost& host) : host_(host) {}
  void AddTaskRow(int, const std::string& server, const std::string& type, const std::string& name) override {
    host_.Out() << "Queued: " << server << " (" << type << ") " << name << "\n";
  }
  void SetRowState(int, int state) override {
    if (state == kTaskFailed) host_.CountError();
  }
  void SetCurrentRow(int) override {}
  void SetStatusText(const std::string&) override {}
  void AppendLogLine(const std::string& text, TColor) override {
    if (host_.verbose) host_.Out() << "  " << text << (text.empty() || text.back() != '\n' ? "\n" : "");
  }
  void ClearLog() override {}
  void AppendErrorLines(const StringList& lines) override {
    for (const std::string& l : lines) host_.Err() << l << "\n";
    host_.Err().flush();
  }
  void SetProgressPosition(int) override {}
  void SetProgressMaximum(int) override {}
  void ShowErrorsPage() override {}
  void ShowWindow(bool) override {}
  void BringToFrontAndFlash() override {}
  void SetStopEnabled(bool) override {}
  void CloseWindow() override {}

 private:
  cConsoleTaskHost& host_;
};

class cConsolePreviewWindow : public cPreviewWindowView {
 public:
  explicit cConsolePreviewWindow(std::ostream& out) : out_(out) {}
  void SetAccount(const std::string&) override {}
  void SetCaption(const std::string& caption) override { out_ << caption << "\n"; }
  void BeginUpdate() override {}
  void EndUpdate() override {}
  void AddRow(const cPreviewRow& row) override {
    out_ << row.Number << "\t" << row.DateText << "\t" << row.SizeText << "\t" << row.FromName << "\t"
         << row.Subject << "\n";
  }
  void SetStats(const std::string& text) override { out_ << text << "\n"; }
  void ShowAndFocus() override {}

 private:
  std::ostream& out_;
};

}  // namespace

cConsoleTaskHost::cConsoleTaskHost(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

cConsoleTaskHost::~cConsoleTaskHost() = default;

void cConsoleTaskHost::Synchronize(const std::function<void()>& fn) { loop_.Invoke(fn); }

void cConsoleTaskHost::Post(std::function<void()> fn) { loop_.Post(std::move(fn)); }

bool cConsoleTaskHost::RunUntilIdle(int timeout_ms) {
  loop_.RunUntil([] { return TasksWindow == nullptr || TasksWindow->CurrentRow < 0; }, timeout_ms);
  cTask::WaitForThreads(timeout_ms);
  // Closes a window kept open for its errors, so a later run may start.
  if (TasksWindow) TasksWindow->Close();
  return errors_ == 0;
}

bool cConsoleTaskHost::AskYesNo(const std::string& text, const std::string& caption) {
  err_ << caption << ": " << text << " (answered No: nobody to ask)\n";
  return false;
}

std::unique_ptr<cTaskWindowView> cConsoleTaskHost::CreateTaskWindow() {
  return std::make_unique<cConsoleTaskWindow>(*this);
}

void cConsoleTaskHost::SetMainStatusText(const std::string& text) {
  std::string t = text;
  if (!t.empty() && t[0] == ' ') t.erase(0, 1);
  // Progress texts repeat; print each change once.
  if (t == last_status_ || t.empty()) return;
  last_status_ = t;
  out_ << t << "\n";
  out_.flush();
}

void cConsoleTaskHost::SendAllUnsentMessages() { qm::SendAllUnsentMessages(); }

bool cConsoleTaskHost::PromptPassword(const std::string& title, const std::string&, std::string&) {
  err_ << title << ": the account has no stored POP3 password and there is nobody to ask; "
       << "store one in its Settings.ini\n";
  return false;
}

TSizePromptAnswer cConsoleTaskHost::AskExceededSize(const cSizePromptInfo& info) {
  const char* what = size_answer == TSizePromptAnswer::SkipIt            ? "skipped"
                     : size_answer == TSizePromptAnswer::EraseFromServer ? "erased from the server"
                                                                          : "fetched";
  out_ << "Message exceeds permitted size (" << info.Size << " bytes, maximum " << info.ThresholdKB
       << " KB): " << info.Subject << " - " << what << "\n";
  return size_answer;
}

bool cConsoleTaskHost::AskTrustCertificate(const cCertificateInfo& info) {
  err_ << info.Reason << "\n"
       << CertificateDescription(info) << "Not trusted: nobody to ask. To trust it, set TrustedCertificate="
       << info.Details.Fingerprint << " in [" << info.Section << "] of the account's Settings.ini\n";
  return false;
}

void cConsoleTaskHost::PrintMessage(const cMailMessage& msg) {
  err_ << "Printing is not available here; not printed: " << msg.Subject << "\n";
}

cPreviewWindowView* cConsoleTaskHost::CreatePreviewWindow() {
  previews_.push_back(std::make_unique<cConsolePreviewWindow>(out_));
  return previews_.back().get();
}

void cConsoleTaskHost::DestroyPreviewWindow(cPreviewWindowView* window) {
  for (auto it = previews_.begin(); it != previews_.end(); ++it)
    if (it->get() == window) {
      previews_.erase(it);
      return;
    }
}

}  // namespace qm
