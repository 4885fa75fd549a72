#pragma once
// cTask: one network operation on its own worker thread. The thread is
// created suspended and started by the queue (task_queue.h); the task frees
// itself when its body returns. A task touches windows only through the
// host: it waits for every hand-over, except for log lines and progress,
// which it queues and goes on.
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "transport/lite_socket.h"
#include "transport/task_ui.h"
#include "transport/task_view_feed.h"

namespace qm {

class TQDB;
class cTaskQueue;

class cTask {
 public:
  cTask();
  virtual ~cTask();
  cTask(const cTask&) = delete;
  cTask& operator=(const cTask&) = delete;

  // Creator side (UI thread), in this order: SetTaskParams, the derived
  // task's setters, QueueTask. QueueTask may free the task (refused).
  void SetTaskParams(const std::string& server_name, bool silent, bool ask_to_go_online);
  void QueueTask();
  // Whether the task may run: asks to go online when working offline and
  // `ask_to_go_online` (UI thread).
  bool CheckOnline(bool ask_to_go_online);

  virtual std::string GetTaskName() const = 0;
  virtual std::string GetTaskType() const = 0;

  const std::string& ServerName() const { return server_name_; }
  bool Silent() const { return silent_; }
  bool AskToGoOnline() const { return ask_to_go_online_; }
  bool Failed() const { return failed_; }
  int TaskRow() const { return task_row_; }

  // Queue side: starts the suspended thread (once).
  void Resume();

  // --- Called by the running task on its worker thread ----------------------
  void UpdateStatusMessage(const std::string& text);
  void LogLine(const std::string& text, TColor colour);
  void ReportTaskError(const std::string& text);
  void SetProgressPosition(int position);
  void SetProgressMaximum(int maximum);
  void SetTaskState(int state);
  // The mailbox open for this task until FinishTask; nullptr when it cannot
  // be opened (the store has reported why).
  TQDB* GetTaskMailbox(const std::string& path);
  void AttachSocketEvents();
  void FinishTask();

  // The log file of a type: AppDir + type + ".log".
  static std::string LogFilePath(const std::string& type);

  // Tasks whose thread has started and not yet ended (the queue waits for
  // none; tests and the console host wait for the last one to go).
  static int LiveThreads();
  static bool WaitForThreads(int timeout_ms);

 protected:
  // The thread body: RunTask, and FinishTask if the work left without it.
  virtual void Execute();
  // The work. The base part prepares the task; derived tasks call it first
  // and end with FinishTask on every path.
  virtual bool RunTask();

  // After a connection that failed: a certificate refused by the checks is
  // shown to the user, who may trust it for the account's `section` server
  // ("POP3" or "SMTP"); the next run then gets through.
  void OfferRefusedCertificate(const std::string& section);

  // Runs on the UI thread and waits (the host's Synchronize).
  void Synchronize(const std::function<void()>& fn);
  cTaskHost& Host();

  // Owned; created by the derived task, destroyed by FinishTask.
  std::unique_ptr<TLiteSocket> socket_;
  // The mailboxes this task opened, by path.
  const std::map<std::string, TQDB*>& OpenMailboxes() const { return open_mailboxes_; }
  bool Finished() const { return finished_; }

 private:
  friend class cTaskQueue;
  void ThreadBody();
  void OpenLogFile();
  void WriteLogText(const std::string& text);
  void CloseLogFile();
  // Hands what the feed has gathered to the UI thread without waiting.
  void PostFeed();

  std::string status_message_;
  std::string error_message_;
  int task_row_ = -1;
  bool silent_ = false;
  bool logging_enabled_ = false;
  bool ask_to_go_online_ = true;
  bool may_run_ = false;
  std::FILE* log_file_ = nullptr;
  std::map<std::string, TQDB*> open_mailboxes_;
  cTaskQueue* task_window_ = nullptr;
  // Log lines and progress on their way to the task window.
  std::shared_ptr<cTaskViewFeed> feed_;
  std::string server_name_;
  bool failed_ = false;

  bool started_ = false;
  bool finished_ = false;
};

}  // namespace qm
