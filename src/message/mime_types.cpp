#include "message/mime_types.h"

#include <cstdlib>

#include "platform/file_system.h"
#include "shell/text_utils.h"

namespace qm {

namespace {

bool IsFieldSpace(char c) { return c == ' ' || c == '\t'; }

// The type that one mime.types file gives the extension (without its dot),
// or "" when it names none. Lines are "type ext ext ..."; "#" starts a comment.
std::string LookUp(const std::string& file, const std::string& ext) {
  for (const std::string& raw : LoadLinesFromFile(file)) {
    std::string_view line(raw);
    if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    std::string type;
    size_t pos = 0;
    bool first = true;
    while (pos < line.size()) {
      while (pos < line.size() && IsFieldSpace(line[pos])) ++pos;
      size_t end = pos;
      while (end < line.size() && !IsFieldSpace(line[end])) ++end;
      if (end == pos) break;
      std::string_view field = line.substr(pos, end - pos);
      if (first) {
        type = std::string(field);
        first = false;
      } else if (SameTextAscii(field, ext)) {
        return type;
      }
      pos = end;
    }
  }
  return {};
}

}  // namespace

StringList MimeTypeFiles() {
  StringList files{"/etc/mime.types"};
  if (const char* home = std::getenv("HOME"); home && *home)
    files.push_back(IncludeTrailingSlash(home) + ".mime.types");
  return files;
}

std::string GetMimeTypeForFile(const std::string& path) {
  return GetMimeTypeForFile(path, MimeTypeFiles());
}

std::string GetMimeTypeForFile(const std::string& path, const StringList& type_files) {
  std::string ext = ExtractFileExt(path);
  if (ext.size() > 1) {
    ext.erase(0, 1);
    for (const std::string& file : type_files) {
      std::string type = LookUp(file, ext);
      if (!type.empty()) return type;
    }
  }
  return kDefaultMimeType;
}

}  // namespace qm
