#include "transport/task.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/file_system.h"
#include "platform/locale_format.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "transport/task_log.h"
#include "transport/task_queue.h"
#include "transport/task_store.h"

namespace qm {

namespace {

std::mutex g_live_mutex;
std::condition_variable g_live_cv;
int g_live_threads = 0;

cTaskHost* g_host = nullptr;

}  // namespace

cTaskHost* GetTaskHost() { return g_host; }
void SetTaskHost(cTaskHost* host) { g_host = host; }

cTask::cTask() : feed_(std::make_shared<cTaskViewFeed>()) {}

cTask::~cTask() {
  // A task discarded before it ran still owns what it was given.
  CloseLogFile();
}

void cTask::SetTaskParams(const std::string& server_name, bool silent, bool ask_to_go_online) {
  server_name_ = server_name;
  silent_ = silent;
  ask_to_go_online_ = ask_to_go_online;
}

bool cTask::CheckOnline(bool ask_to_go_online) {
  cTaskHost& host = Host();
  if (!host.WorkingOffline()) return true;
  if (!ask_to_go_online) return false;
  if (host.AskYesNo("You are now working offline. Return to online mode?", "Working offline")) {
    host.SetWorkingOffline(false);
    return true;
  }
  return false;
}

void cTask::QueueTask() {
  failed_ = false;
  may_run_ = CheckOnline(ask_to_go_online_);
  if (!may_run_) {
    delete this;
    return;
  }
  if (TasksWindow && TasksWindow->HasErrors) {
    // The errors of the last run are still shown: nothing runs until the
    // user has closed the window.
    TasksWindow->View().BringToFrontAndFlash();
    delete this;
    return;
  }
  cTaskQueue& q = EnsureTasksWindow(silent_);
  task_window_ = &q;
  feed_->SetView(&q.View());
  task_row_ = q.AddTask(this);
  if (q.CurrentRow < 0) q.RunNextTask();
}

void cTask::Resume() {
  if (started_) return;
  started_ = true;
  {
    std::lock_guard<std::mutex> lock(g_live_mutex);
    ++g_live_threads;
  }
  std::thread([this] { ThreadBody(); }).detach();
}

void cTask::ThreadBody() {
  Execute();
  delete this;
  std::lock_guard<std::mutex> lock(g_live_mutex);
  --g_live_threads;
  g_live_cv.notify_all();
}

int cTask::LiveThreads() {
  std::lock_guard<std::mutex> lock(g_live_mutex);
  return g_live_threads;
}

bool cTask::WaitForThreads(int timeout_ms) {
  std::unique_lock<std::mutex> lock(g_live_mutex);
  return g_live_cv.wait_for(lock, std::chrono::milliseconds(timeout_ms), [] { return g_live_threads == 0; });
}

void cTask::Execute() {
  std::string escaped;
  try {
    RunTask();
  } catch (const std::exception& e) {
    escaped = e.what();
    if (escaped.empty()) escaped = "Unknown error";
  } catch (...) {
    escaped = "Unknown error";
  }
  // Nothing may leave the thread body: an exception there ends the process.
  try {
    if (!escaped.empty()) ReportTaskError(QuotedStr(escaped) + " has occured in cTask.Execute ()");
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured in cTask.Execute ()");
  } catch (...) {
  }
  try {
    if (!finished_) FinishTask();
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured in cTask.FinishTask ()");
  } catch (...) {
  }
}

static cTaskHost& RequireHost() {
  if (!g_host) throw std::logic_error("no task host installed");
  return *g_host;
}

cTaskHost& cTask::Host() { return RequireHost(); }

void cTask::Synchronize(const std::function<void()>& fn) { Host().Synchronize(fn); }

std::string cTask::LogFilePath(const std::string& type) { return AppDir + type + ".log"; }

bool cTask::RunTask() {
  SetTaskState(kTaskRunning);
  open_mailboxes_.clear();
  SetProgressPosition(0);
  logging_enabled_ = OptionsIni && OptionsIni->ReadBool("Logging", GetTaskType(), false);
  if (!logging_enabled_) return true;
  OpenLogFile();
  if (logging_enabled_) {
    WriteLogText(JoinLines(TaskLogBanner(Now(), server_name_, GetTaskType(), GetTaskName())));
  }
  return true;
}

void cTask::OpenLogFile() {
  const std::string path = LogFilePath(GetTaskType());
  log_file_ = std::fopen(path.c_str(), "ab");
  if (!log_file_) {
    // The task runs on without its log file.
    logging_enabled_ = false;
    ReportError(QuotedStr(std::strerror(errno)) + " has occured while opening the task log " + QuotedStr(path));
    return;
  }
  if (FileSizeOf(path) > kTaskLogSizeLimit) {
    std::FILE* emptied = std::freopen(path.c_str(), "wb", log_file_);
    log_file_ = emptied;
    if (!log_file_) {
      logging_enabled_ = false;
      return;
    }
    WriteLogText(TaskLogResetLine(Now()) + "\r\n");
  }
}

void cTask::WriteLogText(const std::string& text) {
  if (!logging_enabled_ || !log_file_) return;
  if (std::fwrite(text.data(), 1, text.size(), log_file_) != text.size() || std::fflush(log_file_) != 0) {
    // A log that cannot be written never stops the task.
    CloseLogFile();
    logging_enabled_ = false;
  }
}

void cTask::CloseLogFile() {
  if (log_file_) {
    std::fclose(log_file_);
    log_file_ = nullptr;
  }
}

void cTask::UpdateStatusMessage(const std::string& text) {
  status_message_ = text;
  std::string failure;
  Synchronize([&] {
    Host().SetMainStatusText(" " + status_message_);
    if (!task_window_) return;
    try {
      task_window_->View().SetStatusText(status_message_);
    } catch (const std::exception& e) {
      failure = e.what();
      if (failure.empty()) failure = "Unknown error";
    }
  });
  if (!failure.empty()) ReportTaskError(QuotedStr(failure) + " has occured in cTask.UpdateStatusMessage ()");
}

void cTask::LogLine(const std::string& text, TColor colour) {
  if (feed_->AddLine(text, colour)) PostFeed();
  WriteLogText(text + "\r\n");
}

void cTask::PostFeed() {
  Host().Post([feed = feed_] { feed->Deliver(); });
}

void cTask::ReportTaskError(const std::string& text) {
  error_message_ = text;
  const TDateTime now = Now();
  StringList lines = {"The following error has occured:",
                      "  Time: " + FormatShortDate(now) + " " + FormatShortTime(now),
                      "Server: " + server_name_,
                      "  Type: " + GetTaskType(),
                      "  Task: " + GetTaskName(),
                      "",
                      error_message_,
                      "******** ---------------- ********",
                      ""};
  Synchronize([&] {
    if (!task_window_) return;
    task_window_->View().AppendErrorLines(lines);
    task_window_->SetRowState(task_row_, kTaskFailed);
    task_window_->HasErrors = true;
  });
  failed_ = true;
}

void cTask::SetProgressPosition(int position) {
  if (feed_->SetPosition(position)) PostFeed();
}

void cTask::SetProgressMaximum(int maximum) {
  if (feed_->SetMaximum(maximum)) PostFeed();
}

void cTask::SetTaskState(int state) {
  Synchronize([&] {
    if (task_window_) task_window_->SetRowState(task_row_, state);
  });
}

TQDB* cTask::GetTaskMailbox(const std::string& path) {
  auto it = open_mailboxes_.find(path);
  if (it != open_mailboxes_.end()) return it->second;
  TQDB* qdb = TaskOpenMailbox(path);
  if (qdb) open_mailboxes_.emplace(path, qdb);
  return qdb;
}

void cTask::AttachSocketEvents() {
  if (!socket_) return;
  socket_->OnReadFromSocket = [this](TLiteSocket&, const std::string& text) { LogLine(text, kLogGreen); };
  socket_->OnWriteToSocket = [this](TLiteSocket&, const std::string& text) { LogLine(text, kLogBlue); };
  socket_->OnError = [this](TLiteSocket&, ErrorTypes type, const std::string& text) {
    ReportTaskError("(Type " + std::to_string(static_cast<int>(type)) + ") " + text);
  };
}

void cTask::FinishTask() {
  if (finished_) return;
  finished_ = true;
  try {
    SetProgressPosition(0);
  } catch (...) {
  }
  CloseLogFile();
  logging_enabled_ = false;
  try {
    socket_.reset();
  } catch (...) {
  }
  for (auto& [path, qdb] : open_mailboxes_) TaskSaveAndRelease(qdb);
  open_mailboxes_.clear();
  if (!failed_) SetTaskState(kTaskDone);
  // The run may end here and the window go with it: nothing of this task
  // reaches the window afterwards.
  Synchronize([&] {
    // Whatever is still gathered is shown before the window lets go of the task.
    feed_->Deliver();
    feed_->SetView(nullptr);
    cTaskQueue* window = task_window_;
    task_window_ = nullptr;
    if (!window) return;
    if (failed_) {
      window->View().ShowErrorsPage();
      window->StopQueue();
    } else {
      window->RunNextTask();
    }
  });
}

}  // namespace qm
