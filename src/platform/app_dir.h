#pragma once
#include <string>

namespace qm {

// The data directory, ending in "/": QUILLMAR_HOME when set; else the
// executable's directory when it is writable; else
// $XDG_DATA_HOME/torvane-quillmar/ (default ~/.local/share/torvane-quillmar/).
std::string ResolveAppDir();

// The directory an installed client lives in ("" when unknown).
std::string InstalledBinDir();

// The same rule with its inputs given, for tests.
std::string ResolveAppDirFrom(const std::string& quillmar_home, const std::string& exe_path,
                              const std::string& xdg_data_home, const std::string& home);

// $XDG_CONFIG_HOME (default ~/.config), ending in "/".
std::string UserConfigDir();
// $XDG_DATA_HOME (default ~/.local/share), ending in "/".
std::string UserDataDir();

}  // namespace qm
