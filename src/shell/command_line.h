#pragma once
// What the program was started with: a mailto: request or a file to send.
#include <string>
#include <vector>

namespace qm {

struct CommandLineInfo {
  bool has_command_line = false;
  std::string address;   // new-message address
  std::string subject;   // new-message subject
  std::string attach;    // attachment path
};

// `args` excludes the program name. "-newmail" in any case takes the next
// argument as a mailto: URL; any other argument is a file to attach (the last
// wins). Everything comes out in lower case, as the registered command passes it.
CommandLineInfo ParseCommandLine(const std::vector<std::string>& args);

// Drops the first 7 characters, lower-cases the rest and splits at the first
// "?subject=".
void SplitMailtoUrl(const std::string& url, std::string& address, std::string& subject);

}  // namespace qm
