#pragma once
// A fresh data directory with the process-wide paths pointed at it, and a
// recorder for what reaches ReportError.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "test_support/temp_dir.h"

namespace qm {

class RecordingErrorSink : public ErrorSink {
 public:
  void Report(const std::string& message, bool) override {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(message);
  }
  std::vector<std::string> messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> messages_;
};

class DataDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePaths(dir_.path());
    errors_ = std::make_shared<RecordingErrorSink>();
    previous_ = SetErrorSink(errors_);
  }
  void TearDown() override {
    SetErrorSink(previous_);
    ReleaseSettings();
  }
  std::vector<std::string> Errors() { return errors_->messages(); }

  // "class": the name TempDir also names the temporary-files path.
  class TempDir dir_;
  std::shared_ptr<RecordingErrorSink> errors_;
  std::shared_ptr<ErrorSink> previous_;
};

}  // namespace qm
