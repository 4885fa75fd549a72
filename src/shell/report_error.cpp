#include "shell/report_error.h"

#include <cstdio>
#include <mutex>

#include "shell/app_paths.h"
#include "shell/log_file.h"

namespace qm {

namespace {

std::mutex g_sink_mutex;
std::shared_ptr<ErrorSink> g_sink;

std::shared_ptr<ErrorSink> CurrentSink() {
  std::lock_guard<std::mutex> lock(g_sink_mutex);
  return g_sink;
}

void Deliver(const std::string& message, bool log_it) {
  try {
    if (auto sink = CurrentSink()) {
      sink->Report(message, log_it);
      return;
    }
    if (log_it) LogReportedError(message);
    std::fprintf(stderr, "Quillmar - Error: %s\n", message.c_str());
  } catch (...) {
    // Reporting must never raise.
  }
}

}  // namespace

std::shared_ptr<ErrorSink> SetErrorSink(std::shared_ptr<ErrorSink> sink) {
  std::lock_guard<std::mutex> lock(g_sink_mutex);
  std::swap(g_sink, sink);
  return sink;
}

void ReportError(const std::string& message) { Deliver(message, true); }

void ReportErrorWithoutLog(const std::string& message) { Deliver(message, false); }

void LogReportedError(const std::string& message) {
  try {
    if (!OptionsIni || AppDir.empty()) return;
    if (!OptionsIni->ReadBool("Logging", "Errors", true)) return;
    AppendToLogFile(AppDir + "Errors.txt", {message});
  } catch (...) {
  }
}

std::string QuotedStr(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  out += '\'';
  return out;
}

}  // namespace qm
