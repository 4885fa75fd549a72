#include "transport/task_log.h"

#include "platform/locale_format.h"

namespace qm {

std::string TaskLogResetLine(TDateTime now) {
  return " -= Logfile exceeds maximum size, resetting contents (" + FormatShortDate(now) + " " +
         FormatLongTime(now) + ") -=";
}

StringList TaskLogBanner(TDateTime now, const std::string& server, const std::string& type,
                         const std::string& task) {
  const std::string stars(40, '*');
  return {stars,
          FormatLongDate(now) + " " + FormatShortTime(now),
          "Server: " + server,
          "  Type: " + type,
          "  Task: " + task,
          stars,
          ""};
}

}  // namespace qm
