#include "transport/dialup_hangup.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>

#include "platform/text_lines.h"
#include "shell/report_error.h"

extern char** environ;

namespace qm {

namespace {

std::mutex g_mutex;
bool g_available = false;
std::string g_program;

std::string FindOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path) return {};
  std::string all(path);
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(':', start);
    if (end == std::string::npos) end = all.size();
    std::string dir = all.substr(start, end - start);
    if (dir.empty()) dir = ".";
    std::string candidate = dir + "/" + name;
    struct stat st {};
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
      return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace

bool LoadRasLibrary() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_program = FindOnPath("nmcli");
  g_available = !g_program.empty();
  return g_available;
}

bool RasAvailable() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_available;
}

const std::string& RasProgram() { return g_program; }

int RunProgramCapture(const std::string& program, const std::vector<std::string>& args, std::string& output) {
  output.clear();
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return -1;
  }
  char buf[4096];
  for (;;) {
    ssize_t n = read(fds[0], buf, sizeof buf);
    if (n > 0) {
      output.append(buf, static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  close(fds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> SplitTerseLine(const std::string& line) {
  std::vector<std::string> fields(1);
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\\' && i + 1 < line.size()) {
      fields.back() += line[++i];
    } else if (c == ':') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

bool IsDialUpType(const std::string& type) {
  static const char* const kTypes[] = {"gsm", "cdma", "pppoe", "ppp", "bluetooth", "adsl"};
  for (const char* t : kTypes)
    if (type == t) return true;
  return false;
}

bool EnumDialUpConnections(std::vector<cDialUpConnection>& out) {
  out.clear();
  std::string program;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_available) return false;
    program = g_program;
  }
  std::string text;
  int rc = RunProgramCapture(program, {"-t", "-f", "UUID,TYPE,NAME", "connection", "show", "--active"}, text);
  if (rc != 0) return false;
  for (const std::string& line : SplitLines(text)) {
    if (line.empty()) continue;
    std::vector<std::string> f = SplitTerseLine(line);
    if (f.size() < 3) continue;
    // Older versions name the type by its setting ("802-3-ethernet", "gsm").
    if (!IsDialUpType(f[1])) continue;
    out.push_back({f[0], f[2], f[1]});
  }
  return true;
}

void HangUpNow() {
  try {
    if (!RasAvailable()) return;
    std::vector<cDialUpConnection> lines;
    if (!EnumDialUpConnections(lines) || lines.size() != 1) return;
    std::string ignored;
    int rc = RunProgramCapture(RasProgram(), {"connection", "down", "uuid", lines[0].uuid}, ignored);
    if (rc != 0)
      throw std::runtime_error("Could not hang up the connection " + lines[0].name + " (nmcli status " +
                               std::to_string(rc) + ")");
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured while going offline.");
  }
}

}  // namespace qm
