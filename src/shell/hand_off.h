#pragma once
// The request a second start hands to the running instance through Temp_info.ini.
#include <optional>
#include <string>

#include "shell/command_line.h"

namespace qm {

// Writes Msg/Address, Subject, Attach (each even when empty). Throws FileError.
void WriteHandOffFile(const std::string& path, const CommandLineInfo& info);

// Reads the request and deletes the file. nullopt when the file is gone.
std::optional<CommandLineInfo> TakeHandOffFile(const std::string& path);

}  // namespace qm
