#include "transport/task_queue.h"

#include "platform/locale_format.h"
#include "shell/app_paths.h"
#include "transport/task.h"

namespace qm {

cTaskQueue* TasksWindow = nullptr;

namespace {

cTaskHost& Host() {
  cTaskHost* host = GetTaskHost();
  if (!host) throw std::logic_error("no task host installed");
  return *host;
}

bool SuppressErrors() { return OptionsIni && OptionsIni->ReadBool("Options", "SuppressErrors", false); }

constexpr const char* kAppTitle = "Torvane Quillmar";

}  // namespace

cTaskQueue& EnsureTasksWindow(bool silent) {
  if (TasksWindow) return *TasksWindow;
  cTaskHost& host = Host();
  auto* q = new cTaskQueue(host.CreateTaskWindow());
  TasksWindow = q;
  host.SetTasksRunning(true);
  host.SetTrayState(TTrayState::TasksRunning, "Tasks running");
  if (!silent) q->View().ShowWindow(true);
  return *q;
}

cTaskQueue::cTaskQueue(std::unique_ptr<cTaskWindowView> view) : view_(std::move(view)) {}

cTaskQueue::~cTaskQueue() {
  DiscardUnrunTasks();
  if (TasksWindow == this) TasksWindow = nullptr;
}

int cTaskQueue::AddTask(cTask* task) {
  cTaskRow row;
  row.Server = task->ServerName();
  row.Type = task->GetTaskType();
  row.Name = task->GetTaskName();
  row.Task = task;
  rows_.push_back(row);
  const int index = static_cast<int>(rows_.size()) - 1;
  view_->AddTaskRow(index, row.Server, row.Type, row.Name);
  view_->SetRowState(index, kTaskQueued);
  return index;
}

void cTaskQueue::SetRowState(int row, int state) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  rows_[row].State = state;
  view_->SetRowState(row, state);
}

void cTaskQueue::DiscardUnrunTasks() {
  for (cTaskRow& row : rows_) {
    delete row.Task;
    row.Task = nullptr;
  }
}

void cTaskQueue::RunNextTask() {
  if (rows_.empty()) return;
  if (CurrentRow < 0) {
    CurrentRow = 0;
  } else if (CurrentRow == static_cast<int>(rows_.size()) - 1 || StopRequested) {
    CurrentRow = -1;
    view_->SetStopEnabled(false);
    ShowRunSummary();
    DiscardUnrunTasks();
    view_->SetCurrentRow(-1);
    if (!HasErrors || SuppressErrors()) Close();
    return;
  } else {
    ++CurrentRow;
  }
  view_->SetCurrentRow(CurrentRow);
  cTask* task = rows_[CurrentRow].Task;
  rows_[CurrentRow].Task = nullptr;  // it frees itself when its thread ends
  if (task) task->Resume();
}

void cTaskQueue::StopQueue() {
  StopRequested = true;
  RunNextTask();
}

void cTaskQueue::StopAtThisTask() {
  StopRequested = true;
  view_->SetStopEnabled(false);
}

cRunSummary BuildRunSummary(const cTaskQueue& q, int new_mail_count, bool suppress_errors) {
  cRunSummary r;
  r.NewMailCount = new_mail_count;
  if (q.HasErrors && !suppress_errors) {
    r.Text = "Errors occured during task execution!";
    r.ErrorsShown = true;
    r.NewMailCount = 0;
    return r;
  }
  if (q.FetchDone || q.SendDone) {
    if (q.FetchDone) {
      if (q.NewMessageCount <= 0) {
        r.Text = "No new messages";
      } else {
        r.Text = std::to_string(q.NewMessageCount + new_mail_count) + " new message(s)";
        r.PlayNewMail = true;
        r.NewMailCount = new_mail_count + q.NewMessageCount;
      }
    }
    if (q.SendDone) {
      if (!r.Text.empty()) r.Text += ", ";
      r.Text += std::to_string(q.SentCount) + " messages(s) sent.";
      if (q.NewMessageCount == 0 || !q.FetchDone) r.PlayMailSent = true;
    }
  } else {
    r.Text = "Tasks done";
  }
  return r;
}

void cTaskQueue::ShowRunSummary() {
  cTaskHost& host = Host();
  const cRunSummary r = BuildRunSummary(*this, host.NewMailCount(), SuppressErrors());
  if (r.ErrorsShown) {
    host.PlayEventSound("MailErrorSound", false);
    host.SetTrayState(TTrayState::Errors, "Errors have occured");
  }
  if (r.PlayNewMail) host.PlayEventSound("NewMailSound", false);
  if (r.PlayMailSent) host.PlayEventSound("MailSentSound", false);
  host.SetNewMailCount(r.NewMailCount);
  if (!HasErrors) {
    if (r.NewMailCount <= 0) {
      host.SetNewMailCount(0);
      host.SetTrayState(TTrayState::Normal, kAppTitle);
    } else {
      host.SetTrayState(TTrayState::NewMail, std::to_string(r.NewMailCount) + " new email(s)");
    }
  }
  host.HangUpAfterRun();
  host.SetMainStatusText(" " + r.Text);
}

bool cTaskQueue::Close() {
  if (CurrentRow >= 0) return false;
  cTaskHost& host = Host();
  TasksWindow = nullptr;
  view_->CloseWindow();
  host.SetTasksRunning(false);
  delete this;
  return true;
}

StringList cTaskQueue::SavedLogLines(const StringList& log_lines, const StringList& error_lines) const {
  StringList out = {"Running tasks:"};
  for (const cTaskRow& row : rows_)
    out.push_back(row.Server + "\t" + row.Type + "\t" + row.Name + "\t" +
                  (row.State == kTaskRunning ? " [Running]" : ""));
  out.push_back("");
  out.push_back("Communications log:");
  out.insert(out.end(), log_lines.begin(), log_lines.end());
  out.push_back("");
  out.push_back("Errors log:");
  out.insert(out.end(), error_lines.begin(), error_lines.end());
  out.push_back("");
  const TDateTime now = Now();
  out.push_back("End of log file (" + FormatShortDate(now) + " " + FormatLongTime(now) + ")");
  return out;
}

}  // namespace qm
