#pragma once
// Process-wide locations and settings objects, set once at start-up.
#include <memory>
#include <string>

#include "shell/ini_file.h"

namespace qm {

extern std::string AppDir;          // each ends in "/"
extern std::string MailDir;
extern std::string ContactsDir;
extern std::string TempDir;
extern std::string SignaturesDir;
extern std::string AttachmentsDir;
extern std::string MainToolbarFile;
extern std::string AddressBookToolbarFile;

extern std::unique_ptr<IniFile> OptionsIni;
extern std::unique_ptr<IniFile> SignaturesIni;

// Files in AppDir.
std::string ContactsFile();     // Contacts.ini
std::string MailboxesFile();    // Mailboxes.txt
std::string ErrorLogFile();     // Errors.txt
std::string HandOffFile();      // Temp_info.ini

// Replaces "$APPDIR" by AppDir without its trailing "/".
std::string ExpandAppDir(const std::string& value);

// Sets AppDir (a "/" is appended when missing), opens the settings objects,
// resolves the five locations and creates missing directories (parents too).
// Throws qm::FileError naming the path when a directory cannot be made.
void InitialisePaths(const std::string& app_dir);

// Releases the settings objects (the main window's close does this).
void ReleaseSettings();

}  // namespace qm
