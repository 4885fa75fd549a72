// The task window driven by the real queue and real worker threads, with a
// recording host in place of the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QThread>
#include <QTreeWidget>
#include <atomic>
#include <set>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "test_support/temp_dir.h"
#include "test_support_ui.h"
#include "ui_task_host.h"
#include "transport/fetch_mail_task.h"
#include "transport/task.h"
#include "transport/task_queue.h"
#include "ui/exceeded_size_prompt.h"
#include "ui/message_properties.h"
#include "ui/qt_text.h"
#include "ui/tasks_progress.h"
#include "ui/window_entry_points.h"

namespace qm {
namespace {

// A task that logs, stores `stored` messages or fails, and can be held at
// its start until released.
class ScriptedTask : public cTask {
 public:
  ScriptedTask(std::string type, std::string name, int stored, bool fail, std::atomic<bool>* hold = nullptr)
      : type_(std::move(type)), name_(std::move(name)), stored_(stored), fail_(fail), hold_(hold) {}
  std::string GetTaskName() const override { return name_; }
  std::string GetTaskType() const override { return type_; }

 protected:
  bool RunTask() override {
    cTask::RunTask();
    UpdateStatusMessage("Working on " + name_);
    SetProgressMaximum(10);
    SetProgressPosition(4);
    LogLine("+OK ready", kLogGreen);
    LogLine("USER ann", kLogBlue);
    while (hold_ && hold_->load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (fail_) {
      ReportTaskError("(Type 2) Connection refused");
    } else if (type_ == "POP3") {
      Synchronize([&] {
        TasksWindow->NewMessageCount += stored_;
        TasksWindow->FetchDone = true;
      });
    }
    FinishTask();
    return !fail_;
  }

 private:
  std::string type_, name_;
  int stored_;
  bool fail_;
  std::atomic<bool>* hold_;
};

class TasksWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePaths(dir.path());
    SetTaskHost(&host);
  }
  void TearDown() override {
    hold = false;
    cTask::WaitForThreads(5000);
    if (TasksWindow && TasksWindow->CurrentRow < 0) TasksWindow->Close();
    QApplication::processEvents();
    SetTaskHost(nullptr);
    ReleaseSettings();
  }
  static bool WaitFor(const std::function<bool()>& done, int ms = 5000) { return WaitUntil(done, ms); }
  static void Queue(cTask* task, const std::string& server, bool silent = false) {
    task->SetTaskParams(server, silent, true);
    task->QueueTask();
  }

  class TempDir dir;
  UiTaskHost host;
  std::atomic<bool> hold{false};
};

TEST_F(TasksWindowTest, FetchAddsToTheNewMailCount) {
  host.new_mail = 2;
  Queue(new ScriptedTask("POP3", "Fetch mail", 3, false), "Home");
  ASSERT_TRUE(host.window);
  EXPECT_EQ(host.window->windowTitle(), "Tasks progress");
  EXPECT_TRUE(host.tasks_running);
  ASSERT_TRUE(WaitFor([&] { return TasksWindow == nullptr; }));
  EXPECT_EQ(host.status, " 5 new message(s)");
  EXPECT_EQ(host.new_mail, 5);
  EXPECT_EQ(host.tray, TTrayState::NewMail);
  EXPECT_EQ(host.tray_tip, "5 new email(s)");
  EXPECT_EQ(host.sounds, StringList{"NewMailSound"});
  EXPECT_FALSE(host.tasks_running);
  // The window closed itself and goes away.
  EXPECT_TRUE(WaitFor([&] { return host.window.isNull(); }));
}

TEST_F(TasksWindowTest, RealFetchOfThreeWithTwoWaiting) {
  DovecotAccount account;
  ASSERT_TRUE(account.Open("Home"));
  for (const char* s : {"one", "two", "three"}) account.Put(s);
  host.new_mail = 2;
  // What the window showed while the task ran.
  std::set<std::string> statuses;
  int most_log_lines = 0;
  host.on_task_window = [&](TfrmTasksProgress* w) {
    QObject::connect(w->edtLog->document(), &QTextDocument::contentsChanged, w, [&, w] {
      most_log_lines = std::max(most_log_lines, w->edtLog->document()->blockCount());
      statuses.insert(S(w->lblStatus->text()));
    });
  };
  auto* task = new cPOP3Task_FetchMail();
  task->SetTaskParams("Home", false, true);
  task->QueueTask();
  ASSERT_TRUE(host.window);
  QPointer<TfrmTasksProgress> w = host.window;
  EXPECT_EQ(w->lstTasks->topLevelItem(0)->text(0).trimmed(), "Home");
  EXPECT_EQ(w->lstTasks->topLevelItem(0)->text(1).trimmed(), "POP3");
  ASSERT_TRUE(WaitFor([&] { return TasksWindow == nullptr; }, 20000));
  EXPECT_EQ(host.status, " 5 new message(s)");
  EXPECT_EQ(host.new_mail, 5);
  EXPECT_EQ(host.tray, TTrayState::NewMail);
  EXPECT_EQ(host.tray_tip, "5 new email(s)");
  EXPECT_EQ(host.sounds, StringList{"NewMailSound"});
  EXPECT_EQ(account.InboxSubjects(), (std::multiset<std::string>{"one", "two", "three"}));
  EXPECT_EQ(account.OnServer(), 0u);
  // The dialogue went through the window's log, a line at a time.
  EXPECT_GT(most_log_lines, 10);
  EXPECT_TRUE(statuses.count("Fetching message #3 out of 3")) << "status never showed the last message";
  EXPECT_TRUE(WaitFor([&] { return w.isNull(); }));
}

TEST_F(TasksWindowTest, FailedRunStaysOnTheErrorsPage) {
  host.new_mail = 4;
  Queue(new ScriptedTask("POP3", "Fetch mail", 0, true), "Home");
  Queue(new ScriptedTask("SMTP", "Send mail", 0, false), "Home");
  ASSERT_TRUE(WaitFor([&] { return TasksWindow && TasksWindow->CurrentRow < 0 && TasksWindow->HasErrors; }));
  ASSERT_TRUE(host.window);
  TfrmTasksProgress* w = host.window;
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->pgPages->currentWidget(), w->tabErrors);
  EXPECT_EQ(host.status, " Errors occured during task execution!");
  EXPECT_EQ(host.sounds, StringList{"MailErrorSound"});
  EXPECT_EQ(host.tray, TTrayState::Errors);
  EXPECT_EQ(host.new_mail, 0);
  EXPECT_EQ(w->RowState(0), kTaskFailed);
  EXPECT_EQ(w->RowState(1), kTaskQueued) << "the second task never ran";
  StringList errors = w->ErrorLines();
  ASSERT_GE(errors.size(), 8u);
  EXPECT_EQ(errors[0], "The following error has occured:");
  EXPECT_NE(std::find(errors.begin(), errors.end(), "(Type 2) Connection refused"), errors.end());
  EXPECT_FALSE(w->btnStop->isEnabled());

  // A new task is refused while the errors are shown.
  Queue(new ScriptedTask("POP3", "Fetch mail", 1, false), "Other");
  EXPECT_EQ(w->lstTasks->topLevelItemCount(), 2);

  // The user closes it.
  w->close();
  EXPECT_EQ(TasksWindow, nullptr);
  EXPECT_FALSE(host.tasks_running);
  EXPECT_TRUE(WaitFor([&] { return host.window.isNull(); }));
}

TEST_F(TasksWindowTest, RunningRowIsBoldAndTheWindowWillNotClose) {
  hold = true;
  Queue(new ScriptedTask("POP3", "Fetch mail", 0, false, &hold), "Home");
  Queue(new ScriptedTask("SMTP", "Send mail", 0, false), "Work");
  ASSERT_TRUE(WaitFor([&] { return host.window && host.window->lblStatus->text() == "Working on Fetch mail"; }));
  TfrmTasksProgress* w = host.window;
  ASSERT_TRUE(WaitFor([&] { return w->LogLines().size() == 2; }));
  EXPECT_EQ(w->RowState(0), kTaskRunning);
  EXPECT_TRUE(w->lstTasks->topLevelItem(0)->font(0).bold());
  EXPECT_FALSE(w->lstTasks->topLevelItem(1)->font(0).bold());
  EXPECT_EQ(w->pb->maximum(), 10);
  EXPECT_EQ(w->pb->value(), 4);
  // Log lines keep their colours.
  QTextBlock first = w->edtLog->document()->begin();
  EXPECT_EQ(first.text(), "+OK ready");
  EXPECT_EQ(first.begin().fragment().charFormat().foreground().color(), QColor(0, 128, 0));
  EXPECT_EQ(first.next().begin().fragment().charFormat().foreground().color(), QColor(0, 0, 255));

  // Closing is refused while the task runs.
  w->close();
  EXPECT_NE(TasksWindow, nullptr);
  EXPECT_TRUE(w->isVisible());

  // Saving now marks the running task.
  std::string path = dir.path() + "log.txt";
  w->SaveLogToFile(path);
  StringList lines = LoadLinesFromFile(path);
  ASSERT_EQ(lines.size(), 11u) << JoinLines(lines);
  EXPECT_EQ(lines[0], "Running tasks:");
  EXPECT_EQ(lines[1], "Home\tPOP3\tFetch mail\t [Running]");
  EXPECT_EQ(lines[2], "Work\tSMTP\tSend mail\t");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "Communications log:");
  EXPECT_EQ(lines[5], "+OK ready");
  EXPECT_EQ(lines[6], "USER ann");
  EXPECT_EQ(lines[7], "");
  EXPECT_EQ(lines[8], "Errors log:");
  EXPECT_EQ(lines[9], "");
  EXPECT_EQ(lines[10].rfind("End of log file (", 0), 0u);
  EXPECT_EQ(lines[10].back(), ')');
  EXPECT_EQ(ReadFileBytes(path).substr(0, 16), "Running tasks:\r\n");

  // "Stop at this task": the second task never runs.
  w->btnStop->click();
  EXPECT_FALSE(w->btnStop->isEnabled());
  hold = false;
  ASSERT_TRUE(WaitFor([&] { return TasksWindow == nullptr; }));
  EXPECT_EQ(host.status, " No new messages");
}

TEST_F(TasksWindowTest, SilentTaskShowsTheWindowOnlyOnFailure) {
  Queue(new ScriptedTask("POP3", "Fetch mail", 0, false), "Home", true);
  ASSERT_TRUE(host.window);
  QPointer<TfrmTasksProgress> quiet = host.window;
  EXPECT_FALSE(quiet->isVisible());
  ASSERT_TRUE(WaitFor([&] { return TasksWindow == nullptr; }));
  EXPECT_TRUE(WaitFor([&] { return quiet.isNull(); }));

  Queue(new ScriptedTask("POP3", "Fetch mail", 0, true), "Home", true);
  ASSERT_TRUE(WaitFor([&] { return TasksWindow && TasksWindow->CurrentRow < 0; }));
  EXPECT_TRUE(host.window->isVisible());
  EXPECT_EQ(host.window->pgPages->currentWidget(), host.window->tabErrors);
}

TEST_F(TasksWindowTest, SizeIsRestoredAndSaved) {
  OptionsIni->WriteInteger("TasksWindow", "Width", 520);
  OptionsIni->WriteInteger("TasksWindow", "Height", 410);
  Queue(new ScriptedTask("POP3", "Fetch mail", 0, true), "Home");
  ASSERT_TRUE(WaitFor([&] { return TasksWindow && TasksWindow->CurrentRow < 0; }));
  TfrmTasksProgress* w = host.window;
  EXPECT_EQ(w->size(), QSize(520, 410));
  w->resize(600, 450);
  w->close();
  EXPECT_EQ(OptionsIni->ReadInteger("TasksWindow", "Width", 0), 600);
  EXPECT_EQ(OptionsIni->ReadInteger("TasksWindow", "Height", 0), 450);
}

TEST(ExceededSizePromptTest, ButtonsAnswerAndClosingFetches) {
  cSizePromptInfo info;
  info.ThresholdKB = 100;
  info.From = "Ann <ann@example.org>";
  info.Subject = "Big scan";
  info.Size = 204800;
  struct Case {
    const char* button;
    TSizePromptAnswer answer;
  } cases[] = {{"btnSkip", TSizePromptAnswer::SkipIt},
               {"btnFetch", TSizePromptAnswer::Fetch},
               {"btnErase", TSizePromptAnswer::EraseFromServer},
               {nullptr, TSizePromptAnswer::Fetch}};
  for (const Case& c : cases) {
    std::string title, size;
    WhenModalOpens([&](QWidget* w) {
      title = S(w->windowTitle());
      size = S(w->findChild<QLineEdit*>("edtSize")->text());
      if (c.button)
        w->findChild<QPushButton*>(c.button)->click();
      else
        w->close();
    });
    EXPECT_EQ(AskExceededSizePrompt(info), c.answer) << (c.button ? c.button : "closed");
    EXPECT_EQ(title, "Message exceeds permitted size");
    EXPECT_EQ(size, "204800 bytes");
  }
}

}  // namespace
}  // namespace qm
