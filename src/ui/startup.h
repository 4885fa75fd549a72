#pragma once
// The program's entry sequence.
#include <string>
#include <vector>

namespace qm {

// Runs start-up and the event loop; returns the process exit status.
int RunQuillmar(int argc, char** argv);

// Turns what a desktop passes into what the command line expects: the desktop
// entry runs "-newmail %u" for files too, so a non-mailto argument after
// "-newmail" is a file to attach (a file:// URL becomes its path).
std::vector<std::string> NormaliseDesktopArguments(std::vector<std::string> args);

}  // namespace qm
