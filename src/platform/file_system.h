#pragma once
// File-system helpers over POSIX. Paths use "/"; a directory path that is
// "ending in a separator" ends in "/".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_lines.h"

namespace qm {

bool FileExists(const std::string& path);        // a regular file
bool DirectoryExists(const std::string& path);
bool PathExists(const std::string& path);        // anything
int64_t FileSizeOf(const std::string& path);     // -1 when missing

// Creates one directory level; false when it cannot be made.
bool CreateDir(const std::string& path);
// Creates the directory and every missing parent; false when it cannot.
bool ForceDirectories(const std::string& path);

// Whole-file read; throws FileError.
std::string ReadFileBytes(const std::string& path);
// Whole-file read; nullopt when it cannot be read.
std::optional<std::string> TryReadFileBytes(const std::string& path);

// Replaces a file's contents so that a crash leaves either the old or the new
// file: a temporary file in the same directory is written, flushed and renamed
// over the target. Throws FileError.
void WriteFileAtomically(const std::string& path, std::string_view data);

// Lines of a text file (empty list when missing or unreadable).
StringList LoadLinesFromFile(const std::string& path);
// Writes the lines joined with CR LF, atomically. Throws FileError.
void SaveLinesToFile(const std::string& path, const StringList& lines);

bool RemoveFile(const std::string& path);
bool RemoveDirectory(const std::string& path);            // empty directory only
bool RemoveDirectoryTree(const std::string& path);        // recursive, for good
bool RenamePath(const std::string& from, const std::string& to);  // no overwrite check
// Copies a file; false on failure.
bool CopyFileTo(const std::string& from, const std::string& to);

struct DirEntry {
  std::string name;
  bool is_directory = false;
};
// Entries of a directory without "." and "..", sorted by name.
std::vector<DirEntry> ListDirectory(const std::string& path);

// Path pieces.
std::string ExtractFilePath(const std::string& path);   // keeps the final "/"
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);    // with the dot, or ""
std::string ChangeFileExt(const std::string& path, const std::string& ext);
std::string IncludeTrailingSlash(const std::string& path);
std::string ExcludeTrailingSlash(const std::string& path);

// The system's temporary directory, ending in "/".
std::string SystemTempDir();
// Creates a new empty file with a unique name "<dir><prefix>XXXXXX<suffix>"
// exclusively and returns its path; throws FileError.
std::string CreateUniqueFile(const std::string& dir, const std::string& prefix,
                             const std::string& suffix = "");

// Full path of the running executable.
std::string ExecutablePath();

}  // namespace qm
