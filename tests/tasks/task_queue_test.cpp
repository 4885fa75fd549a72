// The queue: order, stop, failures, refusals, silent windows, escaping
// exceptions and the hand-over of status, log and errors.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/file_system.h"
#include "tasks/task_test_support.h"
#include "transport/task_queue.h"

namespace qm {
namespace {

using ::testing::ElementsAre;

class TaskQueueTest : public TaskTest {};

TEST_F(TaskQueueTest, TasksRunOneAfterAnotherInQueueOrder) {
  // The first task waits for a moment: the others must not overtake it.
  Queue("A", [this](ScriptedTask& t) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Note("A")(t);
  });
  Queue("B", Note("B"), "SMTP");
  Queue("C", Note("C"));
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_THAT(Order(), ElementsAre("A", "B", "C"));
  TaskWindowRecord& w = host_->Window();
  ASSERT_EQ(w.rows.size(), 3u);
  EXPECT_EQ(w.rows[1].server, "B");
  EXPECT_EQ(w.rows[1].type, "SMTP");
  EXPECT_EQ(w.rows[1].name, "Send mail");
  for (int r = 0; r < 3; ++r) EXPECT_THAT(w.States(r), ElementsAre(kTaskQueued, kTaskRunning, kTaskDone));
  EXPECT_THAT(w.current_rows, ElementsAre(0, 1, 2, -1));
  EXPECT_EQ(w.closed, 1);
  EXPECT_EQ(TasksWindow, nullptr);
  EXPECT_FALSE(host_->tasks_running);
  EXPECT_EQ(host_->main_status.back(), " Tasks done");
  EXPECT_EQ(host_->hang_ups, 1);
}

TEST_F(TaskQueueTest, StopAtThisTaskEndsTheRunAfterTheCurrentTask) {
  const int destroyed_before = ScriptedTask::destroyed;
  Queue("A", [this](ScriptedTask& t) {
    t.Synchronize([] { TasksWindow->StopAtThisTask(); });
    Note("A")(t);
  });
  Queue("B", Note("B"));
  Queue("C", Note("C"));
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_THAT(Order(), ElementsAre("A"));
  TaskWindowRecord& w = host_->Window();
  EXPECT_EQ(w.LastState(0), kTaskDone);
  EXPECT_THAT(w.States(1), ElementsAre(kTaskQueued));
  EXPECT_THAT(w.States(2), ElementsAre(kTaskQueued));
  EXPECT_GE(w.stop_disabled, 1);
  EXPECT_EQ(w.closed, 1);
  // The two that never ran are discarded with the run.
  EXPECT_EQ(ScriptedTask::destroyed - destroyed_before, 3);
}

TEST_F(TaskQueueTest, AFailedTaskStopsTheRunAndKeepsTheErrorsShown) {
  Queue("A", [](ScriptedTask& t) { t.ReportTaskError("Could not connect!"); });
  Queue("B", Note("B"));
  Queue("C", Note("C"));
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_TRUE(Order().empty());
  ASSERT_NE(TasksWindow, nullptr);
  EXPECT_TRUE(TasksWindow->HasErrors);
  TaskWindowRecord& w = host_->Window();
  EXPECT_EQ(w.LastState(0), kTaskFailed);
  EXPECT_THAT(w.States(1), ElementsAre(kTaskQueued));
  EXPECT_EQ(w.errors_page, 1);
  EXPECT_EQ(w.closed, 0);
  ASSERT_EQ(w.errors.size(), 9u);
  EXPECT_EQ(w.errors[0], "The following error has occured:");
  EXPECT_EQ(w.errors[1].rfind("  Time: ", 0), 0u);
  EXPECT_THAT(std::vector<std::string>(w.errors.begin() + 2, w.errors.end()),
              ElementsAre("Server: A", "  Type: POP3", "  Task: Fetch mail", "", "Could not connect!",
                          "******** ---------------- ********", ""));
  EXPECT_EQ(host_->main_status.back(), " Errors occured during task execution!");
  EXPECT_TRUE(host_->SoundPlayed("MailErrorSound"));
  EXPECT_EQ(host_->tray.back().first, TTrayState::Errors);

  // While the errors are shown no task is accepted: no row, the window flashes.
  const int destroyed_before = ScriptedTask::destroyed;
  Queue("D", Note("D"));
  EXPECT_EQ(w.rows.size(), 3u);
  EXPECT_EQ(w.flashed, 1);
  EXPECT_EQ(ScriptedTask::destroyed - destroyed_before, 1);

  // Closing the window lets the next run start.
  EXPECT_TRUE(TasksWindow->Close());
  Queue("E", Note("E"));
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_THAT(Order(), ElementsAre("E"));
  EXPECT_EQ(host_->windows.size(), 2u);
}

TEST_F(TaskQueueTest, SuppressErrorsClosesTheWindowAfterAFailure) {
  OptionsIni->WriteBool("Options", "SuppressErrors", true);
  Queue("A", [](ScriptedTask& t) { t.ReportTaskError("Invalid server settings!"); });
  Queue("B", Note("B"));
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_TRUE(Order().empty());
  EXPECT_EQ(TasksWindow, nullptr);
  EXPECT_EQ(host_->Window().closed, 1);
  EXPECT_EQ(host_->main_status.back(), " Tasks done");
  EXPECT_FALSE(host_->SoundPlayed("MailErrorSound"));
}

TEST_F(TaskQueueTest, SilentTasksShowTheWindowOnlyWhenTheyFail) {
  Queue("A", Note("A"), "POP3", /*silent=*/true);
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(host_->Window(0).shown, 0);
  EXPECT_EQ(host_->Window(0).errors_page, 0);

  Queue("B", [](ScriptedTask& t) { t.ReportTaskError("Could not connect!"); }, "POP3", true);
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(host_->Window(1).shown, 0);
  EXPECT_EQ(host_->Window(1).errors_page, 1);

  host_->windows.clear();
  TasksWindow->Close();
  Queue("C", Note("C"), "POP3", false);
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(host_->Window(0).shown, 1);
}

TEST_F(TaskQueueTest, OfflineRefusals) {
  struct Case {
    bool ask;
    bool yes;
    size_t questions;
    bool runs;
  };
  for (const Case& c : {Case{false, true, 0, false}, Case{true, false, 1, false}, Case{true, true, 1, true}}) {
    SCOPED_TRACE(testing::Message() << "ask " << c.ask << " yes " << c.yes);
    host_->offline = true;
    host_->answer_yes = c.yes;
    host_->questions.clear();
    host_->windows.clear();
    order_.clear();
    Queue("A", Note("A"), "POP3", false, c.ask);
    ASSERT_TRUE(host_->RunQueued());
    EXPECT_EQ(host_->questions.size(), c.questions);
    if (c.questions) {
      EXPECT_EQ(host_->questions[0], "Working offline: You are now working offline. Return to online mode?");
    }
    EXPECT_EQ(Order().size(), c.runs ? 1u : 0u);
    // A refused task gets no row: no window is even created.
    EXPECT_EQ(host_->windows.size(), c.runs ? 1u : 0u);
    EXPECT_EQ(host_->offline, !c.runs);
  }
}

TEST_F(TaskQueueTest, UserChecksWhileOfflineAskOncePerTask) {
  host_->offline = true;
  host_->answer_yes = false;
  Queue("A", Note("A"));
  Queue("B", Note("B"));
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(host_->questions.size(), 2u);
  EXPECT_TRUE(Order().empty());
}

TEST_F(TaskQueueTest, AnEscapingExceptionIsReportedAndTheTaskStillFinishes) {
  int release_marker = 0;
  Queue("A", [&](ScriptedTask&) {
    release_marker = 1;
    throw std::runtime_error("List index out of bounds (3)");
  });
  ASSERT_TRUE(host_->RunQueued());
  ASSERT_EQ(release_marker, 1);
  TaskWindowRecord& w = host_->Window();
  EXPECT_EQ(w.LastState(0), kTaskFailed);
  ASSERT_GE(w.errors.size(), 7u);
  EXPECT_EQ(w.errors[6], "'List index out of bounds (3)' has occured in cTask.Execute ()");
  EXPECT_EQ(w.errors_page, 1);
  EXPECT_EQ(cTask::LiveThreads(), 0);
}

TEST_F(TaskQueueTest, StatusAndLogHandOvers) {
  Queue("A", [](ScriptedTask& t) {
    t.UpdateStatusMessage("Connecting...");
    t.LogLine("+OK Dovecot ready.", kLogGreen);
  });
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_THAT(host_->Window().statuses, ElementsAre("Connecting..."));
  EXPECT_EQ(host_->main_status.front(), " Connecting...");
  EXPECT_TRUE(host_->Window().LogHas("+OK Dovecot ready."));
  EXPECT_EQ(host_->Window().log[0].second, kLogGreen);
}

TEST_F(TaskQueueTest, LogLinesAndProgressGoOutWithoutWaitingAndArriveInOrder) {
  std::atomic<bool> started{false}, emitted{false};
  Queue("A", [&](ScriptedTask& t) {
    started = true;
    t.SetProgressMaximum(500);
    for (int i = 0; i < 500; ++i) {
      t.LogLine("line " + std::to_string(i), kLogGreen);
      t.SetProgressPosition(i + 1);
    }
    emitted = true;
    t.UpdateStatusMessage("Done");  // waits for the interface thread
    t.LogLine("after the status", kLogBlack);
  });
  ASSERT_TRUE(host_->Loop().RunUntil([&] { return started.load(); }, 20000));
  // Nobody serves the interface thread now: the worker still gets through.
  for (int waited = 0; !emitted && waited < 20000; waited += 5)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(emitted) << "a log line or progress step waited for the interface thread";
  ASSERT_TRUE(host_->RunQueued());
  const TaskWindowRecord& w = host_->Window();
  ASSERT_EQ(w.log.size(), 501u);
  for (int i = 0; i < 500; ++i) ASSERT_EQ(w.log[static_cast<size_t>(i)].first, "line " + std::to_string(i));
  EXPECT_EQ(w.log.back().first, "after the status");
  EXPECT_THAT(w.statuses, ElementsAre("Done"));
  EXPECT_EQ(w.progress_max, 500);
  EXPECT_EQ(w.progress_position, 0) << "the finished task sets the bar back";
  EXPECT_EQ(w.LastState(0), kTaskDone);
}

TEST_F(TaskQueueTest, AFailingStatusLabelIsReportedAndTheTaskGoesOn) {
  Queue("A", [this](ScriptedTask& t) {
    t.UpdateStatusMessage("Logged in");
    Note("after")(t);
  });
  // Hand-overs wait for the loop, so the fault is in place before the first.
  host_->Window().status_throws = true;
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_THAT(Order(), ElementsAre("after"));
  ASSERT_GE(host_->Window().errors.size(), 7u);
  EXPECT_EQ(host_->Window().errors[6],
            "'Canvas does not allow drawing' has occured in cTask.UpdateStatusMessage ()");
}

TEST_F(TaskQueueTest, AFailingLogViewIsClearedAndTheLineAppendedAgain) {
  Queue("B", [](ScriptedTask& t) {
    t.LogLine("first", kLogBlack);
    t.LogLine("second", kLogBlue);
  });
  host_->Window().log_throws = 1;
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(host_->Window().log_cleared, 1);
  // The failed append is made again after clearing; nothing is reported.
  ASSERT_EQ(host_->Window().log.size(), 2u);
  EXPECT_EQ(host_->Window().log[0].first, "first");
  EXPECT_TRUE(host_->Window().errors.empty());
  EXPECT_EQ(host_->Window().LastState(0), kTaskDone);
}

TEST_F(TaskQueueTest, ClosingIsRefusedWhileATaskRuns) {
  std::atomic<bool> release{false};
  Queue("A", [&](ScriptedTask&) {
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  EXPECT_FALSE(TasksWindow->Close());
  release = true;
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(TasksWindow, nullptr);
}

TEST_F(TaskQueueTest, SavedLogMarksTheRunningTask) {
  std::atomic<bool> release{false};
  Queue("Home", [&](ScriptedTask&) {
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  Queue("Work", Note("W"), "SMTP");
  // Wait until the first row is running.
  host_->Loop().RunUntil([&] { return host_->Window().LastState(0) == kTaskRunning; }, 10000);
  StringList lines = TasksWindow->SavedLogLines({"+OK"}, {});
  release = true;
  ASSERT_TRUE(host_->RunQueued());
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(lines[0], "Running tasks:");
  EXPECT_EQ(lines[1], "Home\tPOP3\tFetch mail\t [Running]");
  EXPECT_EQ(lines[2], "Work\tSMTP\tSend mail\t");
  EXPECT_THAT(std::vector<std::string>(lines.begin() + 3, lines.begin() + 8),
              ElementsAre("", "Communications log:", "+OK", "", "Errors log:"));
  EXPECT_EQ(lines.back().rfind("End of log file (", 0), 0u);
}

}  // namespace
}  // namespace qm
