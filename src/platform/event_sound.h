#pragma once
// Playing a sound file without waiting: the first of pw-play, paplay and
// aplay found on PATH is started detached; nothing happens when none is.
#include <functional>
#include <string>

namespace qm {

// The full path of the first player found in the directories of `path_list`
// (a PATH value); empty when none is there.
std::string FindSoundPlayer(const std::string& path_list);

// Starts the player on `file` and returns at once; false when no player was
// found, the file is empty or missing, or the process could not be started.
bool PlaySoundFile(const std::string& file);

// With `is_file` the name is the sound file; otherwise `resolve_key` turns
// the name into the file (the [Sounds] settings key with $APPDIR expanded).
bool PlayEventSound(const std::string& name, bool is_file,
                    const std::function<std::string(const std::string&)>& resolve_key = {});

}  // namespace qm
