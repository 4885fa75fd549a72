#include "store/message_ref.h"

#include <vector>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "store/folder_tree.h"
#include "store/folder_tree_scan.h"
#include "store/store_lock.h"

namespace qm {

namespace {

constexpr const char* kAccountMark = "://";

std::vector<std::string> SplitAtSlash(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t slash = text.find('/', start);
    parts.push_back(text.substr(start, slash - start));
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return parts;
}

}  // namespace

std::string MakeMessageRef(const cFolderNode* node, const std::string& key) {
  StoreLock lock;
  if (!node || !node->IsMailbox()) return "";
  std::string path;
  const cFolderNode* n = node;
  for (; n && n->info.kind != fnkRoot && n->info.kind != fnkAccount; n = n->Parent())
    path = n->caption + "/" + path;
  if (n && n->info.kind == fnkAccount) path = n->caption + kAccountMark + path;
  return path + key;
}

bool ParseMessageRef(const std::string& ref, std::string& mailbox_path, std::string& key) {
  mailbox_path.clear();
  key.clear();
  std::string dir = MailDir;
  std::string rest = ref;
  size_t mark = ref.find(kAccountMark);
  if (mark != std::string::npos) {
    std::string account = ref.substr(0, mark);
    // A folder of the root is not an account.
    if (!IsPlainName(account) || ExtractFileExt(account) == kFolderExt || !DirectoryExists(MailDir + account))
      return false;
    dir += account + "/";
    rest = ref.substr(mark + 3);
  }
  std::vector<std::string> parts = SplitAtSlash(rest);
  if (parts.size() < 2) return false;
  for (const std::string& p : parts)
    if (!IsPlainName(p)) return false;
  for (size_t i = 0; i + 2 < parts.size(); ++i) dir += parts[i] + kFolderExt + "/";
  mailbox_path = dir + parts[parts.size() - 2] + kMailboxExt;
  key = parts.back();
  return true;
}

}  // namespace qm
