#pragma once
// A task host for tests: the test's own thread is the UI thread (a
// cTaskUiLoop it pumps), and everything the tasks hand over is recorded.
// Records are written on the UI thread only, so the test reads them safely
// once the run has ended.
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "transport/task.h"
#include "transport/task_queue.h"
#include "transport/task_ui.h"
#include "transport/task_ui_loop.h"

namespace qm {

struct TaskWindowRecord {
  struct Row {
    std::string server, type, name;
    std::vector<int> states;
  };
  std::vector<Row> rows;
  std::vector<std::string> statuses;
  std::vector<std::pair<std::string, TColor>> log;
  StringList errors;
  std::vector<int> current_rows;
  int progress_max = 0;
  int progress_position = 0;
  int shown = 0;
  int errors_page = 0;
  int flashed = 0;
  int closed = 0;
  int stop_disabled = 0;
  int log_cleared = 0;
  // Faults to inject.
  bool status_throws = false;
  int log_throws = 0;  // the next n appends throw

  std::vector<int> States(int row) const { return rows.at(row).states; }
  int LastState(int row) const { return rows.at(row).states.empty() ? -1 : rows.at(row).states.back(); }
  bool LogHas(const std::string& text) const {
    for (const auto& [line, colour] : log)
      if (line == text) return true;
    return false;
  }
};

struct PreviewRecord {
  std::string account, caption, stats;
  std::vector<cPreviewRow> rows;
  bool updating = false;
  bool shown = false;
  bool destroyed = false;
};

class RecordingTaskHost : public cTaskHost {
 public:
  RecordingTaskHost() { SetTaskHost(this); }
  ~RecordingTaskHost() override {
    RunQueued(20000);
    if (TasksWindow) TasksWindow->Close();
    SetTaskHost(nullptr);
  }

  // Pumps the UI loop until the run has ended and every task thread is gone.
  bool RunQueued(int timeout_ms = 60000) {
    bool ended = loop_.RunUntil([] { return TasksWindow == nullptr || TasksWindow->CurrentRow < 0; }, timeout_ms);
    return cTask::WaitForThreads(timeout_ms) && ended;
  }
  cTaskUiLoop& Loop() { return loop_; }

  // Scripted answers.
  bool offline = false;
  bool answer_yes = false;
  std::optional<std::string> password_answer;
  std::deque<TSizePromptAnswer> size_answers;
  // Run instead of the window's "Send all unsent messages".
  std::function<void()> on_send_all_unsent;

  // What happened.
  std::vector<std::string> questions;
  std::vector<std::string> password_prompts;
  std::vector<cSizePromptInfo> size_prompts;
  std::vector<std::string> printed;
  std::vector<std::pair<std::string, bool>> sounds;
  std::vector<std::string> main_status;
  std::vector<std::pair<TTrayState, std::string>> tray;
  std::vector<std::shared_ptr<TaskWindowRecord>> windows;
  std::vector<std::shared_ptr<PreviewRecord>> previews;
  int repaints = 0;
  int send_all_unsent = 0;
  int hang_ups = 0;
  int new_mail = 0;
  bool tasks_running = false;

  TaskWindowRecord& Window(size_t i = 0) { return *windows.at(i); }

  void Synchronize(const std::function<void()>& fn) override { loop_.Invoke(fn); }
  void Post(std::function<void()> fn) override { loop_.Post(std::move(fn)); }
  bool WorkingOffline() override { return offline; }
  void SetWorkingOffline(bool value) override { offline = value; }
  bool AskYesNo(const std::string& text, const std::string& caption) override {
    questions.push_back(caption + ": " + text);
    return answer_yes;
  }
  std::unique_ptr<cTaskWindowView> CreateTaskWindow() override {
    windows.push_back(std::make_shared<TaskWindowRecord>());
    return std::make_unique<View>(windows.back());
  }
  void SetTasksRunning(bool running) override { tasks_running = running; }
  void SetTrayState(TTrayState state, const std::string& tip) override { tray.emplace_back(state, tip); }
  int NewMailCount() override { return new_mail; }
  void SetNewMailCount(int count) override { new_mail = count; }
  void SetMainStatusText(const std::string& text) override { main_status.push_back(text); }
  void RepaintMainWindow() override { ++repaints; }
  void SendAllUnsentMessages() override {
    ++send_all_unsent;
    if (on_send_all_unsent) on_send_all_unsent();
  }
  void HangUpAfterRun() override { ++hang_ups; }
  bool PromptPassword(const std::string& title, const std::string& text, std::string& value) override {
    password_prompts.push_back(title + ": " + text);
    if (!password_answer) return false;
    value = *password_answer;
    return true;
  }
  TSizePromptAnswer AskExceededSize(const cSizePromptInfo& info) override {
    size_prompts.push_back(info);
    if (size_answers.empty()) return TSizePromptAnswer::Fetch;
    TSizePromptAnswer a = size_answers.front();
    size_answers.pop_front();
    return a;
  }
  void PrintMessage(const cMailMessage& msg) override { printed.push_back(msg.Subject); }
  void PlayEventSound(const std::string& name, bool is_file) override { sounds.emplace_back(name, is_file); }
  // A finished preview window is the user's until closed; the host keeps it
  // until the test ends.
  cPreviewWindowView* CreatePreviewWindow() override {
    previews.push_back(std::make_shared<PreviewRecord>());
    preview_windows_.push_back(std::make_unique<Preview>(previews.back()));
    return preview_windows_.back().get();
  }
  void DestroyPreviewWindow(cPreviewWindowView* window) override {
    static_cast<Preview*>(window)->record->destroyed = true;
    std::erase_if(preview_windows_, [window](const auto& w) { return w.get() == window; });
  }

  bool SoundPlayed(const std::string& name) const {
    for (const auto& s : sounds)
      if (s.first == name) return true;
    return false;
  }

 private:
  std::vector<std::unique_ptr<cPreviewWindowView>> preview_windows_;

  class View : public cTaskWindowView {
   public:
    explicit View(std::shared_ptr<TaskWindowRecord> r) : r_(std::move(r)) {}
    void AddTaskRow(int, const std::string& server, const std::string& type, const std::string& name) override {
      r_->rows.push_back({server, type, name, {}});
    }
    void SetRowState(int row, int state) override { r_->rows.at(row).states.push_back(state); }
    void SetCurrentRow(int row) override { r_->current_rows.push_back(row); }
    void SetStatusText(const std::string& text) override {
      if (r_->status_throws) throw std::runtime_error("Canvas does not allow drawing");
      r_->statuses.push_back(text);
    }
    void AppendLogLine(const std::string& text, TColor colour) override {
      if (r_->log_throws > 0) {
        --r_->log_throws;
        throw std::runtime_error("Out of system resources");
      }
      r_->log.emplace_back(text, colour);
    }
    void ClearLog() override {
      ++r_->log_cleared;
      r_->log.clear();
    }
    void AppendErrorLines(const StringList& lines) override {
      r_->errors.insert(r_->errors.end(), lines.begin(), lines.end());
    }
    void SetProgressPosition(int position) override { r_->progress_position = position; }
    void SetProgressMaximum(int maximum) override { r_->progress_max = maximum; }
    void ShowErrorsPage() override { ++r_->errors_page; }
    void ShowWindow(bool) override { ++r_->shown; }
    void BringToFrontAndFlash() override { ++r_->flashed; }
    void SetStopEnabled(bool enabled) override {
      if (!enabled) ++r_->stop_disabled;
    }
    void CloseWindow() override { ++r_->closed; }

   private:
    std::shared_ptr<TaskWindowRecord> r_;
  };

  class Preview : public cPreviewWindowView {
   public:
    explicit Preview(std::shared_ptr<PreviewRecord> r) : record(std::move(r)) {}
    void SetAccount(const std::string& a) override { record->account = a; }
    void SetCaption(const std::string& c) override { record->caption = c; }
    void BeginUpdate() override { record->updating = true; }
    void EndUpdate() override { record->updating = false; }
    void AddRow(const cPreviewRow& row) override { record->rows.push_back(row); }
    void SetStats(const std::string& text) override { record->stats = text; }
    void ShowAndFocus() override { record->shown = true; }
    std::shared_ptr<PreviewRecord> record;
  };

  cTaskUiLoop loop_;
};

}  // namespace qm
