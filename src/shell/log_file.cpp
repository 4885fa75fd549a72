#include "shell/log_file.h"

#include <exception>

#include "platform/file_system.h"
#include "platform/locale_format.h"
#include "shell/report_error.h"

namespace qm {

std::string LogResetLine() { return FormatShortDate(Now()) + " - Log File Size exceeds - flushed"; }

bool AppendToLogFile(const std::string& path, const StringList& lines) {
  try {
    StringList out;
    if (FileExists(path)) {
      std::string data = ReadFileBytes(path);
      if (static_cast<int64_t>(data.size()) > kLogSizeLimit) {
        out.push_back(LogResetLine());
      } else {
        out = SplitLines(data);
      }
    }
    out.push_back(std::string(35, '*'));
    TDateTime now = Now();
    // Written with its own line end inside, so an empty line follows it.
    out.push_back("DATE: " + FormatShortDate(now) + " " + FormatShortTime(now) + "\r\n");
    for (const auto& l : lines) out.push_back(l);
    WriteFileAtomically(path, JoinLines(out));
    return true;
  } catch (const std::exception& e) {
    ReportErrorWithoutLog(QuotedStr(e.what()) + " has occured while appending contents to the logfile: " +
                          QuotedStr(path));
  } catch (...) {
    ReportErrorWithoutLog(QuotedStr("Unknown error") + " has occured while appending contents to the logfile: " +
                          QuotedStr(path));
  }
  return false;
}

}  // namespace qm
