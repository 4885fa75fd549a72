#pragma once
// Sub-commands of quillmar-cli register themselves here, one file each.
#include <functional>
#include <string>
#include <vector>

namespace qm::cli {

// Receives the arguments after the command word; returns the exit status.
using CommandFn = std::function<int(const std::vector<std::string>& args)>;

struct CommandRegistration {
  CommandRegistration(const char* name, const char* usage, CommandFn fn);
};

// Prints to standard error and returns 2.
int UsageError(const std::string& text);

// Initialises the data directory for commands that need it (QUILLMAR_HOME or
// the default); false with a message on standard error when it cannot.
bool OpenDataDirectory();

}  // namespace qm::cli
