#include "store/folder_tree_scan.h"

#include <sys/stat.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "shell/text_utils.h"
#include "store/mailbox_stats.h"
#include "store/store_lock.h"
#include "store/store_ui.h"

namespace qm {

namespace {

// Counters read at the start of a build; consumed by the nodes they match.
cMailboxStatsCache* g_stats = nullptr;

bool CaseLess(const std::string& a, const std::string& b) {
  int c = CompareTextAscii(a, b);
  return c != 0 ? c < 0 : a < b;
}

void TakeCachedCounts(cFolderNode* node) {
  if (!g_stats || !node) return;
  auto it = g_stats->find(LowerCaseAscii(node->info.path));
  if (it == g_stats->end()) return;
  node->info.unread = it->second.unread;
  node->info.total = it->second.total;
  g_stats->erase(it);
}

cFolderNode* AddMailboxNode(cFolderNode* parent, const std::string& caption, int icon, int index = -1) {
  cFolderNode* node =
      FolderTree().AddChild(parent, fnkMailbox, caption, parent->info.path + caption + kMailboxExt, icon, index);
  TakeCachedCounts(node);
  return node;
}

}  // namespace

const StringList& StandardMailboxNames() {
  static const StringList names{"Inbox", "Unsent", "Unfinished", "Sent Items", "Trash"};
  return names;
}

bool IsStandardMailboxName(const std::string& name) {
  const auto& names = StandardMailboxNames();
  return std::find(names.begin(), names.end(), name) != names.end();
}

int StandardMailboxIcon(const std::string& name) {
  if (name == "Inbox") return kIconInbox;
  if (name == "Unsent") return kIconUnsent;
  if (name == "Sent Items") return kIconSentItems;
  if (name == "Unfinished") return kIconUnfinished;
  if (name == "Trash") return kIconTrash;
  return kIconMailbox;
}

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

namespace {

// Directories of the branch being scanned, so that a link back up the tree
// is listed once and not followed round.
using DirIds = std::vector<std::pair<dev_t, ino_t>>;

bool EnterDirectory(const std::string& path, DirIds& branch) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  for (const auto& id : branch)
    if (id.first == st.st_dev && id.second == st.st_ino) return false;
  branch.emplace_back(st.st_dev, st.st_ino);
  return true;
}

void ScanInto(cFolderNode* node, bool standard_names, DirIds& branch);

}  // namespace

void ScanDirectoryIntoNode(cFolderNode* node, bool standard_names) {
  StoreLock lock;
  if (!node) return;
  DirIds branch;
  for (cFolderNode* n = node->Parent(); n; n = n->Parent()) {
    struct stat st;
    if (::stat(n->info.path.c_str(), &st) == 0) branch.emplace_back(st.st_dev, st.st_ino);
  }
  ScanInto(node, standard_names, branch);
}

namespace {

void ScanInto(cFolderNode* node, bool standard_names, DirIds& branch) {
  if (!EnterDirectory(node->info.path, branch)) return;
  StringList mailboxes, folders;
  for (const DirEntry& e : ListDirectory(node->info.path)) {
    const std::string ext = ExtractFileExt(e.name);
    if (e.is_directory) {
      if (ext == kFolderExt && e.name.size() > 4) folders.push_back(e.name);
    } else if (ext == kMailboxExt && e.name.size() > 4) {
      if (standard_names && IsStandardMailboxName(e.name.substr(0, e.name.size() - 4))) continue;
      mailboxes.push_back(e.name);
    }
  }
  std::sort(mailboxes.begin(), mailboxes.end(), CaseLess);
  std::sort(folders.begin(), folders.end(), CaseLess);
  for (const std::string& m : mailboxes) AddMailboxNode(node, m.substr(0, m.size() - 4), kIconMailbox);
  for (const std::string& f : folders) {
    cFolderNode* folder =
        FolderTree().AddChild(node, fnkFolder, f.substr(0, f.size() - 4), node->info.path + f + "/", kIconFolder);
    ScanInto(folder, false, branch);
  }
  branch.pop_back();
}

}  // namespace

cFolderNode* AddAccountNode(const std::string& account) {
  StoreLock lock;
  cFolderNode* root = FolderTree().Root();
  if (!root || !IsPlainName(account)) return nullptr;
  cFolderNode* node = FolderTree().AddChild(root, fnkAccount, account, MailDir + account + "/", kIconAccount);
  for (const std::string& name : StandardMailboxNames()) AddMailboxNode(node, name, StandardMailboxIcon(name));
  ScanDirectoryIntoNode(node, true);
  return node;
}

void BuildFolderTree() {
  StoreLock lock;
  cMailboxStatsCache stats = LoadMailboxStats();
  g_stats = &stats;
  cFolderNode* root = FolderTree().SetRoot(MailDir, kRootCaption);
  ScanDirectoryIntoNode(root, false);
  const StringList accounts = cTreeAccounts::ListAccounts(false);
  for (const std::string& account : accounts) AddAccountNode(account);
  g_stats = nullptr;

  if (accounts.empty()) {
    if (auto ui = GetStoreUi()) {
      StoreUnlock unlock;
      ui->OpenAddAccount();
    }
  }
  cFolderNode* select = nullptr;
  if (!OptionsIni || OptionsIni->ReadBool("Options", "OpenDefaultInbox", true)) {
    std::string account = cTreeAccounts::GetDefaultAccount();
    if (!account.empty()) select = FindStandardMailbox(account, "Inbox");
  }
  FolderTree().Select(select ? select : FolderTree().FirstNode());
}

cFolderNode* FindStandardMailbox(const std::string& account, const std::string& name) {
  return FolderTree().FindNodeByPath(MailDir + account + "/" + name + kMailboxExt);
}

std::string AccountOfNode(const cFolderNode* node) {
  StoreLock lock;
  if (!node) return "";
  while (node->Parent() && node->Parent()->Parent()) node = node->Parent();
  if (!node->Parent() || node->info.kind != fnkAccount) return "";
  return node->caption;
}

StringList cTreeAccounts::ListAccounts(bool hide_when_composing) {
  StringList names;
  if (MailDir.empty()) return names;
  for (const DirEntry& e : ListDirectory(MailDir)) {
    if (!e.is_directory || ExtractFileExt(e.name) == kFolderExt) continue;
    if (hide_when_composing &&
        IniFile(MailDir + e.name + "/Settings.ini").ReadBool("Server", "HideWhenComposing", false))
      continue;
    names.push_back(e.name);
  }
  std::stable_sort(names.begin(), names.end(), CaseLess);
  return names;
}

std::string cTreeAccounts::GetDefaultAccount() {
  std::string name = OptionsIni ? OptionsIni->ReadString("Options", "DefaultAccount", "") : "";
  // A default account deleted since falls back to the first one.
  if (!name.empty() && IsPlainName(name) && DirectoryExists(MailDir + name)) return name;
  StringList all = ListAccounts(false);
  return all.empty() ? "" : all.front();
}

}  // namespace qm
