#pragma once
// PlayEventSound's choice of file: a rule's sound file as given, or the
// [Sounds] key of Options.ini with "$APPDIR" expanded. The host plays it.
#include <string>

namespace qm {

// Empty when the key is missing or empty (then nothing is played).
std::string EventSoundFile(const std::string& name, bool is_file);

}  // namespace qm
