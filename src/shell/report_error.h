#pragma once
// The one way caught failures reach the user and Errors.txt.
#include <memory>
#include <string>

namespace qm {

// Where reports go. The UI installs a sink that shows the error window on its
// thread; without one, reports are logged and printed to standard error.
class ErrorSink {
 public:
  virtual ~ErrorSink() = default;
  // Called on any thread. `log_it` is false for reports raised by the log
  // writer itself, so a log that cannot be written does not report forever.
  virtual void Report(const std::string& message, bool log_it) = 0;
};

// Installs the sink (nullptr restores the default); returns the previous one.
std::shared_ptr<ErrorSink> SetErrorSink(std::shared_ptr<ErrorSink> sink);

// Never throws; may be called on any thread.
void ReportError(const std::string& message);

// Appends the report to Errors.txt when `Logging` / `Errors` is on.
// The UI sink calls this just before it shows the window.
void LogReportedError(const std::string& message);

// 'text' in single quotes with inner single quotes doubled.
std::string QuotedStr(const std::string& text);

// Internal: a report from the log writer, never logged again.
void ReportErrorWithoutLog(const std::string& message);

}  // namespace qm
