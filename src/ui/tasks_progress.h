#pragma once
// The task window: the queue's rows, status, progress, communications log
// and errors. The queue itself (transport/task_queue.h) drives it through
// cTaskWindowView.
#include <QWidget>
#include <memory>
#include <string>

#include "transport/task_ui.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QTreeWidget;

namespace qm {

class TfrmTasksProgress : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmTasksProgress(QWidget* parent = nullptr);
  ~TfrmTasksProgress() override;

  QLabel* lblRunning;
  QLabel* lblStatus;
  QTabWidget* pgPages;
  QWidget* tabTasks;
  QWidget* tabLog;
  QWidget* tabErrors;
  QTreeWidget* lstTasks;
  QTextEdit* edtLog;
  QPlainTextEdit* edtErrors;
  QProgressBar* pb;
  QPushButton* btnSaveToFile;
  QPushButton* btnStop;

  void btnStopClick();
  void btnSaveToFileClick();
  // Writes the saved-log layout to `path`; throws qm::FileError.
  void SaveLogToFile(const std::string& path);

  StringList LogLines() const;
  StringList ErrorLines() const;
  // The state icon shown for a row (kTaskQueued..kTaskFailed).
  int RowState(int row) const;

  // cTaskWindowView, forwarded by the queue's view object.
  void AddTaskRow(int row, const std::string& server, const std::string& type, const std::string& name);
  void SetRowState(int row, int state);
  void SetCurrentRow(int row);
  void AppendLogLine(const std::string& text, TColor colour);
  void AppendErrorLines(const StringList& lines);
  void ShowErrorsPage();
  void ShowWindow(bool focus);
  void BringToFrontAndFlash();
  // Saves the size and hides; the view object deletes the window later.
  void CloseWindow();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  bool closing_by_queue_ = false;
};

// The view the queue owns: forwards to the window and deletes it (later,
// outside the event being handled) when the queue lets it go.
std::unique_ptr<cTaskWindowView> MakeTasksProgressView(TfrmTasksProgress* window);

// The task window of the running queue, or null.
TfrmTasksProgress* CurrentTasksProgressWindow();

}  // namespace qm

namespace qm {

// PlayEventSound with the [Sounds] keys of Options.ini ($APPDIR expanded).
bool PlayEventSoundFromSettings(const std::string& name, bool is_file);

}  // namespace qm
