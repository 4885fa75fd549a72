#include <cstdio>
#include <exception>
#include <map>

#include "app/cli/cli_command.h"
#include "platform/app_dir.h"
#include "shell/app_paths.h"

namespace qm::cli {

namespace {

struct Entry {
  std::string usage;
  CommandFn fn;
};

std::map<std::string, Entry>& Commands() {
  static std::map<std::string, Entry> commands;
  return commands;
}

void PrintUsage() {
  std::fprintf(stderr, "usage: quillmar-cli COMMAND ...\n");
  for (const auto& [name, e] : Commands()) std::fprintf(stderr, "  %s\n", e.usage.c_str());
}

}  // namespace

CommandRegistration::CommandRegistration(const char* name, const char* usage, CommandFn fn) {
  Commands()[name] = Entry{usage, std::move(fn)};
}

int UsageError(const std::string& text) {
  std::fprintf(stderr, "quillmar-cli: %s\n", text.c_str());
  return 2;
}

bool OpenDataDirectory() {
  try {
    InitialisePaths(ResolveAppDir());
    return true;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quillmar-cli: %s\n", e.what());
    return false;
  }
}

}  // namespace qm::cli

int main(int argc, char** argv) {
  using namespace qm::cli;
  if (argc < 2) {
    PrintUsage();
    return 2;
  }
  auto it = Commands().find(argv[1]);
  if (it == Commands().end()) {
    PrintUsage();
    return 2;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  try {
    return it->second.fn(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quillmar-cli: %s\n", e.what());
    return 1;
  }
}
