#include "platform/event_sound.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

extern char** environ;

namespace qm {

namespace {
bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}
}  // namespace

std::string FindSoundPlayer(const std::string& path_list) {
  static const char* const kPlayers[] = {"pw-play", "paplay", "aplay"};
  std::vector<std::string> dirs;
  size_t start = 0;
  while (start <= path_list.size()) {
    size_t colon = path_list.find(':', start);
    if (colon == std::string::npos) colon = path_list.size();
    std::string dir = path_list.substr(start, colon - start);
    if (!dir.empty()) dirs.push_back(dir);
    start = colon + 1;
  }
  for (const char* player : kPlayers)
    for (const std::string& dir : dirs) {
      std::string candidate = dir + (dir.back() == '/' ? "" : "/") + player;
      if (IsExecutableFile(candidate)) return candidate;
    }
  return "";
}

bool PlaySoundFile(const std::string& file) {
  if (file.empty() || ::access(file.c_str(), R_OK) != 0) return false;
  const char* path_env = std::getenv("PATH");
  std::string player = FindSoundPlayer(path_env ? path_env : "");
  if (player.empty()) return false;

  // Double fork: the player is re-parented to init, so it never becomes a
  // zombie of ours and we never wait for the sound to end.
  pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    ::setsid();
    pid_t grandchild = ::fork();
    if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
    int devnull = ::open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      ::dup2(devnull, 0);
      ::dup2(devnull, 1);
      ::dup2(devnull, 2);
    }
    char* argv[] = {const_cast<char*>(player.c_str()), const_cast<char*>(file.c_str()), nullptr};
    ::execve(player.c_str(), argv, environ);
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool PlayEventSound(const std::string& name, bool is_file,
                    const std::function<std::string(const std::string&)>& resolve_key) {
  if (is_file) return PlaySoundFile(name);
  if (!resolve_key) return false;
  return PlaySoundFile(resolve_key(name));
}

}  // namespace qm
