#include "transport/uidl_list.h"

#include "accounts/account_settings.h"
#include "platform/file_system.h"
#include "shell/text_utils.h"

namespace qm {

std::string UIDLFile(const std::string& account) { return AccountDir(account) + "UIDL.txt"; }

StringList LoadUIDLList(const std::string& account) {
  const std::string path = UIDLFile(account);
  if (!FileExists(path)) return {};
  return LoadLinesFromFile(path);
}

void SaveUIDLList(const std::string& account, const StringList& uidls) {
  WriteFileAtomically(UIDLFile(account), JoinLines(uidls));
}

int FindUIDL(const StringList& known, const std::string& uidl) {
  for (size_t i = 0; i < known.size(); ++i)
    if (SameTextAscii(known[i], uidl)) return static_cast<int>(i);
  return -1;
}

}  // namespace qm
