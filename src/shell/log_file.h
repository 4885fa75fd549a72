#pragma once
// Text logs that restart once they pass a fixed size.
#include <cstdint>
#include <string>

#include "platform/text_lines.h"

namespace qm {

constexpr int64_t kLogSizeLimit = 102400;

// The first line of a log that was emptied for being too large.
std::string LogResetLine();

// Appends an entry (asterisk line, DATE line, the lines) to the log at `path`,
// emptying it first when it is strictly larger than kLogSizeLimit. The file is
// rewritten whole. A failure is reported (once; it is not logged again) and
// false returned.
bool AppendToLogFile(const std::string& path, const StringList& lines);

}  // namespace qm
