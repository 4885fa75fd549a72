#pragma once
// The desktop side of being the mail client: a desktop entry that handles
// mailto: and accepts files, and the user's default for x-scheme-handler/mailto.
#include <string>

namespace qm {

constexpr const char* kDesktopEntryName = "torvane-quillmar.desktop";

// $XDG_DATA_HOME/applications/torvane-quillmar.desktop
std::string DesktopEntryPath();
// $XDG_CONFIG_HOME/mimeapps.list
std::string MimeAppsListPath();

// The entry's text for an executable path.
std::string DesktopEntryText(const std::string& exe_path);

// Writes the entry and makes it the default for mailto. Throws FileError.
void RegisterDesktopEntry(const std::string& exe_path);

// Whether mimeapps.list names our entry as the mailto handler.
bool IsDefaultMailtoHandler();

}  // namespace qm
