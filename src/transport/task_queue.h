#pragma once
// The queue of the task window (TfrmTasksProgress): rows, queue state, the
// run of one task after another and the summary at the end of a run. The
// window's widgets are a cTaskWindowView; everything here runs on the UI
// thread.
#include <memory>
#include <string>
#include <vector>

#include "transport/task_ui.h"

namespace qm {

class cTask;

struct cTaskRow {
  std::string Server;
  std::string Type;
  std::string Name;
  int State = kTaskQueued;
  cTask* Task = nullptr;  // none once the task ran or was discarded
};

class cTaskQueue {
 public:
  explicit cTaskQueue(std::unique_ptr<cTaskWindowView> view);
  ~cTaskQueue();

  // Queue state, cleared when the window is created.
  bool StopRequested = false;
  int CurrentRow = -1;  // -1: idle
  int NewMessageCount = 0;
  int SentCount = 0;
  bool FetchDone = false;
  bool SendDone = false;
  bool HasErrors = false;

  cTaskWindowView& View() { return *view_; }
  const std::vector<cTaskRow>& Rows() const { return rows_; }

  // Adds the task's row (state 0) and returns its index.
  int AddTask(cTask* task);
  void SetRowState(int row, int state);
  void RunNextTask();
  void StopQueue();
  // btnStop: the run ends after the current task.
  void StopAtThisTask();
  // Builds the summary, plays the sounds, sets the tray and the status panel.
  void ShowRunSummary();
  // Closing the window: refused (false) while a task runs; otherwise the
  // window is destroyed and TasksWindow becomes none.
  bool Close();

  // "&Save to file...": the lines written (the view supplies its texts).
  StringList SavedLogLines(const StringList& log_lines, const StringList& error_lines) const;

 private:
  void DiscardUnrunTasks();
  std::unique_ptr<cTaskWindowView> view_;
  std::vector<cTaskRow> rows_;
};

// The single task window while it exists, else nullptr (UI thread).
extern cTaskQueue* TasksWindow;

// Creates TasksWindow through the host when none exists (shown and focused
// unless silent).
cTaskQueue& EnsureTasksWindow(bool silent);

// The text of the summary for a run (the first step of ShowRunSummary),
// given the main window's new-mail count before the run.
struct cRunSummary {
  std::string Text;
  bool ErrorsShown = false;      // the errors branch was taken
  bool PlayNewMail = false;
  bool PlayMailSent = false;
  int NewMailCount = 0;          // the count afterwards
};
cRunSummary BuildRunSummary(const cTaskQueue& q, int new_mail_count, bool suppress_errors);

}  // namespace qm
