#pragma once
// The "&Computer info" text of the compose window's Insert menu.
#include <string>

namespace qm {

// The product line, the system's directories, Quillmar's locations, the
// kernel as platform, the uptime in hours and the processor count; lines
// joined with CR LF.
std::string GetSystemInfoText();

}  // namespace qm
