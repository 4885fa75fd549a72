#pragma once
// Collects reports instead of showing them; installed for the life of the object.
#include <mutex>
#include <string>
#include <vector>

#include "shell/report_error.h"

namespace qm {

class RecordingErrorSink : public ErrorSink {
 public:
  void Report(const std::string& message, bool log_it) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      messages_.push_back(message);
    }
    // Outside the lock: logging may itself report.
    if (log_it) LogReportedError(message);
  }
  std::vector<std::string> messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> messages_;
};

// Installs a RecordingErrorSink and restores the previous sink afterwards.
class ScopedErrorRecorder {
 public:
  ScopedErrorRecorder() : sink_(std::make_shared<RecordingErrorSink>()), previous_(SetErrorSink(sink_)) {}
  ~ScopedErrorRecorder() { SetErrorSink(previous_); }
  std::vector<std::string> messages() const { return sink_->messages(); }

 private:
  std::shared_ptr<RecordingErrorSink> sink_;
  std::shared_ptr<ErrorSink> previous_;
};

}  // namespace qm
