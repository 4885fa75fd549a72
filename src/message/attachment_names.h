#pragma once
// Safe, unique file names for attachments and temporary files.
#include <string>

namespace qm {

// Drops directory parts (after the last "/" or "\"), ".." sequences and
// control characters, trims blanks, and shortens names too long for the
// file system (keeping the extension). A name of dots only becomes "".
std::string SanitizeAttachmentName(const std::string& name);

// Creates a new empty file in AttachmentsDir for the (sanitized) name and
// returns its path: the name itself, else "stem (n).ext" for n = 1, 2, ...
// An empty name becomes "No name". The file is created exclusively, so two
// callers never get the same path. Throws qm::FileError.
std::string MakeUniqueAttachmentPath(const std::string& name);

// Creates a new empty file TempDir + "Temp" + 0..9999 + ".tmp" exclusively
// and returns its path. Throws qm::FileError.
std::string MakeTempFileName();

}  // namespace qm
