#pragma once
// MIME types of attachment files by their extension.
#include <string>

#include "platform/text_lines.h"

namespace qm {

inline constexpr char kDefaultMimeType[] = "application/octet-stream";

// The type files consulted in order: /etc/mime.types, then ~/.mime.types.
StringList MimeTypeFiles();

// The type registered for the file's extension (compared without regard to
// case) in the first type file that names it; "application/octet-stream"
// when none does or the path has no extension.
std::string GetMimeTypeForFile(const std::string& path);
std::string GetMimeTypeForFile(const std::string& path, const StringList& type_files);

}  // namespace qm
