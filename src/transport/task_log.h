#pragma once
// The task log files POP3.log and SMTP.log: the banner each task starts
// with and the line that begins a log emptied for being too large.
#include <cstdint>
#include <string>

#include "platform/date_time.h"
#include "platform/text_lines.h"

namespace qm {

// A log strictly larger than this is emptied when a task of its type starts.
constexpr int64_t kTaskLogSizeLimit = 102400;

std::string TaskLogResetLine(TDateTime now);

// Asterisk line, date and time, server, type, task, asterisk line and an
// empty line (joined with CR LF after every line).
StringList TaskLogBanner(TDateTime now, const std::string& server, const std::string& type,
                         const std::string& task);

}  // namespace qm
