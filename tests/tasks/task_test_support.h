#pragma once
// A fresh data directory, the recording task host and a task whose work is
// a test's lambda.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "tasks/recording_task_host.h"
#include "test_support/recording_error_sink.h"
#include "test_support/temp_dir.h"
#include "transport/task.h"

namespace qm {

class ScriptedTask : public cTask {
 public:
  ScriptedTask(std::string type, std::string name, std::function<void(ScriptedTask&)> work)
      : type_(std::move(type)), name_(std::move(name)), work_(std::move(work)) {}
  ~ScriptedTask() override { ++destroyed; }
  std::string GetTaskName() const override { return name_; }
  std::string GetTaskType() const override { return type_; }
  using cTask::Synchronize;
  static std::atomic<int> destroyed;

 protected:
  bool RunTask() override {
    cTask::RunTask();
    if (work_) work_(*this);
    FinishTask();
    return true;
  }

 private:
  std::string type_, name_;
  std::function<void(ScriptedTask&)> work_;
};

inline std::atomic<int> ScriptedTask::destroyed{0};

class TaskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePaths(dir_.path());
    errors_ = std::make_shared<RecordingErrorSink>();
    previous_ = SetErrorSink(errors_);
    host_ = std::make_unique<RecordingTaskHost>();
  }
  void TearDown() override {
    host_.reset();
    SetErrorSink(previous_);
  }

  // Queues a task (UI thread: the test's) for the server name.
  ScriptedTask* Queue(const std::string& server, std::function<void(ScriptedTask&)> work,
                      const std::string& type = "POP3", bool silent = false, bool ask = true) {
    auto* t = new ScriptedTask(type, type == "SMTP" ? "Send mail" : "Fetch mail", std::move(work));
    t->SetTaskParams(server, silent, ask);
    t->QueueTask();
    return t;
  }
  // Records the order in which work ran (called on worker threads).
  std::function<void(ScriptedTask&)> Note(const std::string& what) {
    return [this, what](ScriptedTask&) {
      std::lock_guard<std::mutex> lock(order_mutex_);
      order_.push_back(what);
    };
  }
  std::vector<std::string> Order() {
    std::lock_guard<std::mutex> lock(order_mutex_);
    return order_;
  }

  class TempDir dir_;
  std::shared_ptr<RecordingErrorSink> errors_;
  std::shared_ptr<ErrorSink> previous_;
  std::unique_ptr<RecordingTaskHost> host_;
  std::mutex order_mutex_;
  std::vector<std::string> order_;
};

}  // namespace qm
