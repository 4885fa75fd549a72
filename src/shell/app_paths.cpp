#include "shell/app_paths.h"

#include <cerrno>

#include "platform/file_error.h"
#include "platform/file_system.h"
#include "shell/text_utils.h"

namespace qm {

std::string AppDir;
std::string MailDir;
std::string ContactsDir;
std::string TempDir;
std::string SignaturesDir;
std::string AttachmentsDir;
std::string MainToolbarFile;
std::string AddressBookToolbarFile;
std::unique_ptr<IniFile> OptionsIni;
std::unique_ptr<IniFile> SignaturesIni;

std::string ContactsFile() { return AppDir + "Contacts.ini"; }
std::string MailboxesFile() { return AppDir + "Mailboxes.txt"; }
std::string ErrorLogFile() { return AppDir + "Errors.txt"; }
std::string HandOffFile() { return AppDir + "Temp_info.ini"; }

std::string ExpandAppDir(const std::string& value) {
  return ReplaceAll(value, "$APPDIR", ExcludeTrailingSlash(AppDir));
}

void InitialisePaths(const std::string& app_dir) {
  AppDir = IncludeTrailingSlash(app_dir);
  OptionsIni = std::make_unique<IniFile>(AppDir + "Options.ini");
  SignaturesIni = std::make_unique<IniFile>(AppDir + "Signatures.ini");
  MainToolbarFile = AppDir + "MainWindowToolbar.ini";
  AddressBookToolbarFile = AppDir + "AddressBookToolbar.ini";

  struct Location {
    const char* key;
    std::string* target;
  };
  // Read in this order ...
  const Location read_order[] = {{"Mail", &MailDir},
                                 {"Contacts", &ContactsDir},
                                 {"Temp", &TempDir},
                                 {"Signatures", &SignaturesDir},
                                 {"Attachments", &AttachmentsDir}};
  for (const auto& l : read_order) *l.target = OptionsIni->ReadString("Locations", l.key, AppDir + l.key);
  // ... and resolved and created in this one.
  const Location make_order[] = {{"Contacts", &ContactsDir},
                                 {"Mail", &MailDir},
                                 {"Temp", &TempDir},
                                 {"Signatures", &SignaturesDir},
                                 {"Attachments", &AttachmentsDir}};
  for (const auto& l : make_order) {
    std::string v = ExpandAppDir(*l.target);
    if (!v.empty() && v.back() == '/' && v.size() > 1) v.pop_back();
    if (!DirectoryExists(v) && !ForceDirectories(v))
      throw FileError::FromErrno("Cannot create the directory", v, errno);
    *l.target = IncludeTrailingSlash(v);
  }
}

void ReleaseSettings() {
  OptionsIni.reset();
  SignaturesIni.reset();
}

}  // namespace qm
