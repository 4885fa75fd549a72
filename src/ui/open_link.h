#pragma once
// Opening a link from a message or a window: the custom browser when the user
// chose one, otherwise the desktop's handler.
#include <string>

namespace qm {

// Browser/UseCustom true: runs Browser/Path with the link as its one
// argument, detached. Otherwise the desktop opens the link. Returns whether a
// program was started.
bool OpenLinkWithBrowser(const std::string& link);

// The same, for callers that do not care (declared with the window entry points).
void OpenLink(const std::string& link);

// Asks the desktop to open a local file or directory.
bool OpenWithShell(const std::string& path);

}  // namespace qm
