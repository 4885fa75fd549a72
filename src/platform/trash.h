#pragma once
// The desktop's trash (the freedesktop.org home trash):
// $XDG_DATA_HOME/Trash (default ~/.local/share/Trash) with files/ holding
// the trashed entries and info/<name>.trashinfo recording where each came
// from and when.
#include <string>

namespace qm {

// The home trash directory, ending in "/".
std::string HomeTrashDir();

// Moves a file or a whole directory tree into the trash under a name not yet
// used there. False with `error` set when it cannot; the entry is then left
// where it was.
bool MoveToTrash(const std::string& path, std::string* error = nullptr);

}  // namespace qm
