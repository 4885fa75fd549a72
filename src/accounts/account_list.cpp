#include "accounts/account_list.h"

#include <algorithm>

#include "accounts/account_settings.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "shell/text_utils.h"

namespace qm {

StringList ListAccounts(bool hide_when_composing) {
  StringList names;
  if (MailDir.empty()) return names;
  for (const DirEntry& e : ListDirectory(MailDir)) {
    if (!e.is_directory || ExtractFileExt(e.name) == ".FLD") continue;
    if (hide_when_composing &&
        IniFile(AccountSettingsFile(e.name)).ReadBool("Server", "HideWhenComposing", false))
      continue;
    names.push_back(e.name);
  }
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    int c = CompareTextAscii(a, b);
    return c != 0 ? c < 0 : a < b;
  });
  return names;
}

std::string GetDefaultAccount() {
  std::string name = OptionsIni ? OptionsIni->ReadString("Options", "DefaultAccount", "") : "";
  // An account deleted since it was made the default falls back to the first one.
  if (!name.empty() && IsValidAccountName(name) && DirectoryExists(AccountDir(name))) return name;
  StringList all = ListAccounts(false);
  return all.empty() ? "" : all.front();
}

}  // namespace qm
