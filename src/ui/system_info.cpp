#include "ui/system_info.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "message/product_info.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"

namespace qm {

namespace {

// Seconds since boot from /proc/uptime; 0 when it cannot be read.
double UptimeSeconds() {
  std::string text = TryReadFileBytes("/proc/uptime").value_or("");
  return text.empty() ? 0.0 : std::strtod(text.c_str(), nullptr);
}

}  // namespace

std::string GetSystemInfoText() {
  struct utsname u {};
  if (uname(&u) != 0) u = {};
  char buf[256];
  std::string lines;
  auto line = [&lines](const std::string& text) { lines += text + "\r\n"; };

  line("\r\n ==================== System info ==================== ");
  std::snprintf(buf, sizeof buf, "%s version %.2f (%s)", kProductName, kProductVersion, kProductRelease);
  line(buf);
  line("");
  // No Windows directories here: the system's own places stand in for them.
  line("Windows Dir: /etc");
  line("System Dir:  /usr/lib");
  line("\r\nQuillmar folder locations:");
  line("App folder:\t" + AppDir);
  line("Mail:         \t" + MailDir);
  line("Contacts:  \t" + ContactsDir);
  line("Signatures:\t" + SignaturesDir);
  line("Temp dir:  \t" + TempDir + "\r\n");
  line(std::string("Platform: ") + u.sysname);
  line(std::string("Platform version: ") + u.release + " (build: " + u.version + ")");
  line(std::string("Additional info: ") + u.machine);
  std::snprintf(buf, sizeof buf, "Computer uptime: %.2f hours.", UptimeSeconds() / 3600.0);
  line(buf);
  line("Number of processors: " + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)));
  line("");
  return lines.substr(0, lines.size() - 2);
}

}  // namespace qm
