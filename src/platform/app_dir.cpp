#include "platform/app_dir.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/file_system.h"

namespace qm {

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string HomeDir() {
  std::string h = Env("HOME");
  if (!h.empty()) return h;
  if (struct passwd* pw = getpwuid(getuid())) return pw->pw_dir;
  return "/tmp";
}

}  // namespace

std::string InstalledBinDir() {
#ifdef QUILL_INSTALL_BINDIR
  return IncludeTrailingSlash(QUILL_INSTALL_BINDIR);
#else
  return "";
#endif
}

std::string ResolveAppDirFrom(const std::string& quillmar_home, const std::string& exe_path,
                              const std::string& xdg_data_home, const std::string& home) {
  if (!quillmar_home.empty()) return IncludeTrailingSlash(quillmar_home);
  std::string exe_dir = ExtractFilePath(exe_path);
  // Also an installed program run by root, who could write there.
  bool installed = !exe_dir.empty() && exe_dir == InstalledBinDir();
  if (!exe_dir.empty() && !installed && ::access(exe_dir.c_str(), W_OK) == 0) return IncludeTrailingSlash(exe_dir);
  std::string base = !xdg_data_home.empty() ? xdg_data_home : IncludeTrailingSlash(home) + ".local/share";
  return IncludeTrailingSlash(base) + "torvane-quillmar/";
}

std::string ResolveAppDir() {
  return ResolveAppDirFrom(Env("QUILLMAR_HOME"), ExecutablePath(), Env("XDG_DATA_HOME"), HomeDir());
}

std::string UserConfigDir() {
  std::string v = Env("XDG_CONFIG_HOME");
  return IncludeTrailingSlash(v.empty() ? HomeDir() + "/.config" : v);
}

std::string UserDataDir() {
  std::string v = Env("XDG_DATA_HOME");
  return IncludeTrailingSlash(v.empty() ? HomeDir() + "/.local/share" : v);
}

}  // namespace qm
