#pragma once
// Everything a task changes outside itself happens on the user-interface
// thread. These interfaces are that side: the task window's widgets, the
// preview window's widgets, and the application around the tasks (main
// window, dialogs, the hand-over to the UI thread). The Qt windows implement
// them; the console host and the tests implement them without windows.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/date_time.h"
#include "platform/text_lines.h"
#include "store/mail_message.h"
#include "transport/certificate_info.h"

namespace qm {

// 24-bit RGB, red in the low byte.
using TColor = uint32_t;
constexpr TColor kLogBlack = 0x000000;
constexpr TColor kLogGreen = 0x008000;  // red 0, green 128, blue 0
constexpr TColor kLogBlue = 0xFF0000;   // red 0, green 0, blue 255

// TaskState, shown as a row's icon.
enum : int { kTaskQueued = 0, kTaskRunning = 1, kTaskDone = 2, kTaskFailed = 3 };

// The task window's widgets. Called on the UI thread only.
class cTaskWindowView {
 public:
  virtual ~cTaskWindowView() = default;
  // lstTasks: a new row (server, type, task name) at `row` (0-based).
  virtual void AddTaskRow(int row, const std::string& server, const std::string& type,
                          const std::string& name) = 0;
  // Normal and selected icon of the row.
  virtual void SetRowState(int row, int state) = 0;
  // Repaints the list with `row` drawn bold; -1 when no row runs.
  virtual void SetCurrentRow(int row) = 0;
  // lblStatus; may throw when the label cannot be updated.
  virtual void SetStatusText(const std::string& text) = 0;
  // edtLog: appends a line in a colour; may throw (the view is then cleared).
  virtual void AppendLogLine(const std::string& text, TColor colour) = 0;
  virtual void ClearLog() = 0;
  // edtErrors: appends the lines.
  virtual void AppendErrorLines(const StringList& lines) = 0;
  virtual void SetProgressPosition(int position) = 0;
  virtual void SetProgressMaximum(int maximum) = 0;
  // Selects tabErrors, shows the window and brings it to the front.
  virtual void ShowErrorsPage() = 0;
  // Shows the window, focused when `focus`.
  virtual void ShowWindow(bool focus) = 0;
  // Brings the window to the front and flashes its taskbar button.
  virtual void BringToFrontAndFlash() = 0;
  // btnStop.
  virtual void SetStopEnabled(bool enabled) = 0;
  // The window closes itself (end of a run without errors to show).
  virtual void CloseWindow() = 0;
};

// One row of the preview window's list.
struct cPreviewRow {
  int Number = 0;  // the server's message number
  std::string Subject;
  std::string FromName;
  std::string To;
  std::string DateText;
  std::string SizeText;
  int Size = 0;
  TDateTime Date = 0;
};

// The preview window's widgets. Called on the UI thread only.
class cPreviewWindowView {
 public:
  virtual ~cPreviewWindowView() = default;
  virtual void SetAccount(const std::string& account) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void BeginUpdate() = 0;  // list repainting suspended
  virtual void EndUpdate() = 0;    // resumed; the list sorts itself
  virtual void AddRow(const cPreviewRow& row) = 0;
  virtual void SetStats(const std::string& text) = 0;  // lblStats
  virtual void ShowAndFocus() = 0;
};

// Answers of the size prompt; closing the window counts as Fetch.
enum class TSizePromptAnswer { SkipIt, Fetch, EraseFromServer };

struct cSizePromptInfo {
  int ThresholdKB = 0;
  std::string From;
  std::string Subject;
  std::string To;
  TDateTime Date = 0;
  int Size = 0;
};

// Tray indicator states of the main window.
enum class TTrayState { Normal, TasksRunning, NewMail, Errors };

// The application around the tasks. Synchronize may be called on any thread;
// every other member is called on the UI thread (inside Synchronize when a
// worker needs it).
class cTaskHost {
 public:
  virtual ~cTaskHost() = default;

  // Runs `fn` on the UI thread and returns once it has run; runs it at once
  // when called on the UI thread. Exceptions of `fn` pass to the caller.
  virtual void Synchronize(const std::function<void()>& fn) = 0;
  // Runs `fn` on the UI thread after what was handed over before it, without
  // waiting for it. Hosts without a queue of their own run it as Synchronize.
  virtual void Post(std::function<void()> fn) { Synchronize(fn); }

  // Offline mode of the main window.
  virtual bool WorkingOffline() = 0;
  virtual void SetWorkingOffline(bool offline) = 0;
  // Yes/No question with the question icon; true on Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;

  // The task window; the host owns nothing of it until it is returned.
  virtual std::unique_ptr<cTaskWindowView> CreateTaskWindow() = 0;
  // The main window's flag that refuses closing while the task window exists.
  virtual void SetTasksRunning(bool running) = 0;
  virtual void SetTrayState(TTrayState state, const std::string& tool_tip) = 0;
  // The main window's new-mail count (shown by the tray).
  virtual int NewMailCount() = 0;
  virtual void SetNewMailCount(int count) = 0;
  // The main window's status text panel.
  virtual void SetMainStatusText(const std::string& text) = 0;
  virtual void RepaintMainWindow() = 0;
  // The main window's command "Send all unsent messages".
  virtual void SendAllUnsentMessages() = 0;
  // Part of the end of a run: the dial-up hang-up decision.
  virtual void HangUpAfterRun() = 0;

  // A masked text prompt; false when cancelled.
  virtual bool PromptPassword(const std::string& title, const std::string& text, std::string& value) = 0;
  // TfrmExceededSizePrompt, modal.
  virtual TSizePromptAnswer AskExceededSize(const cSizePromptInfo& info) = 0;
  // Prints a message on the default printer.
  virtual void PrintMessage(const cMailMessage& msg) = 0;
  // Plays a named sound of [Sounds] or, with `is_file`, a sound file; returns at once.
  virtual void PlayEventSound(const std::string& name, bool is_file) = 0;
  // A server's certificate failed verification: shows its details and asks
  // whether to trust it for the account. True when the user trusts it; a
  // host without that question trusts nothing.
  virtual bool AskTrustCertificate(const cCertificateInfo& info) {
    (void)info;
    return false;
  }

  // A new preview window; it belongs to the UI (the user closes it) unless
  // DestroyPreviewWindow is called.
  virtual cPreviewWindowView* CreatePreviewWindow() = 0;
  virtual void DestroyPreviewWindow(cPreviewWindowView* window) = 0;
};

// The process-wide host the tasks talk to (the application sets it at start).
cTaskHost* GetTaskHost();
void SetTaskHost(cTaskHost* host);

}  // namespace qm
