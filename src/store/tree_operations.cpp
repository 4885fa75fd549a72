#include "store/tree_operations.h"

#include <cerrno>
#include <cstring>
#include <exception>

#include "platform/file_system.h"
#include "platform/trash.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"
#include "store/folder_tree.h"
#include "store/folder_tree_scan.h"
#include "store/mailbox_stats.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "store/store_lock.h"
#include "store/store_ui.h"

namespace qm {

namespace {

void Report(const std::string& text, const char* where) { ReportError(QuotedStr(text) + where); }

bool CaseLess(const std::string& a, const std::string& b) {
  int c = CompareTextAscii(a, b);
  return c != 0 ? c < 0 : a < b;
}

bool IsStandardNode(const cFolderNode* node) {
  return node && node->IsMailbox() && node->Parent() && node->Parent()->info.kind == fnkAccount &&
         IsStandardMailboxName(node->caption);
}

// Where a new child goes so the scan order holds: standard mailboxes, then
// mailboxes, then folders, each sorted ignoring case.
int SortedIndex(const cFolderNode* parent, uint8_t kind, const std::string& caption, const cFolderNode* skip) {
  const auto& children = parent->Children();
  int index = 0;
  for (const auto& child : children) {
    const cFolderNode* c = child.get();
    if (c == skip) continue;
    bool before;
    if (IsStandardNode(c)) before = true;
    else if (kind == fnkMailbox) before = c->IsMailbox() && CaseLess(c->caption, caption);
    else before = c->IsMailbox() || CaseLess(c->caption, caption);
    if (!before) break;
    ++index;
  }
  return index;
}

// Re-bases the paths of a node's branch after its directory moved.
void RebasePaths(cFolderNode* node, const std::string& old_prefix, const std::string& new_prefix) {
  FolderTree().ForEach([&](cFolderNode& n) {
    if (node->Contains(&n) && n.info.path.compare(0, old_prefix.size(), old_prefix) == 0)
      n.info.path = new_prefix + n.info.path.substr(old_prefix.size());
  });
}

bool Ask(const std::string& text, const std::string& title) {
  std::shared_ptr<StoreUi> ui = GetStoreUi();
  if (!ui) return false;
  StoreUnlock unlock;
  return ui->AskYesNo(text, title);
}

bool InUse(const std::string& path, const char* where) {
  if (!RefList().HoldsPathUnder(path)) return false;
  Report("The mailbox " + path + " is in use", where);
  return true;
}

// The disk name of a folder or mailbox node with a caption.
std::string DiskName(const cFolderNode* node, const std::string& caption) {
  return caption + (node->IsMailbox() ? kMailboxExt : kFolderExt);
}

std::string ParentDir(const cFolderNode* node) {
  return node->Parent() ? node->Parent()->info.path : MailDir;
}

// Renames `from` to `to`, refusing to replace anything.
bool RenameOnDisk(const std::string& from, const std::string& to, const char* where) {
  if (!PathExists(ExcludeTrailingSlash(from))) {
    Report("Cannot find " + ExcludeTrailingSlash(from), where);
    return false;
  }
  if (PathExists(ExcludeTrailingSlash(to))) {
    Report("Cannot rename " + ExcludeTrailingSlash(from) + " to " + ExcludeTrailingSlash(to) +
               ": the name already exists",
           where);
    return false;
  }
  if (!RenamePath(from, to)) {
    Report("Cannot rename " + ExcludeTrailingSlash(from) + " to " + ExcludeTrailingSlash(to) + ": " +
               std::strerror(errno),
           where);
    return false;
  }
  return true;
}

constexpr const char* kWhereNewFolder = " has occured while creating a folder";
constexpr const char* kWhereNewMailbox = " has occured while creating a mailbox";
constexpr const char* kWhereRename = " has occured while renaming";
constexpr const char* kWhereMove = " has occured while moving";
constexpr const char* kWhereDelete = " has occured while deleting";
constexpr const char* kWhereEmpty = " has occured while emptying a mailbox";

}  // namespace

cFolderNode* ParentForNewNode(cFolderNode* selected) {
  StoreLock lock;
  if (selected && selected->IsMailbox()) return selected->Parent();
  return selected;
}

cFolderNode* NewFolder(cFolderNode* selected, const std::string& name) {
  StoreLock lock;
  cFolderNode* parent = ParentForNewNode(selected);
  if (!parent) return nullptr;
  if (!IsPlainName(name)) {
    Report("The name " + QuotedStr(name) + " cannot be used for a folder", kWhereNewFolder);
    return nullptr;
  }
  const std::string dir = parent->info.path + name + kFolderExt;
  if (PathExists(dir) || !CreateDir(dir)) {
    Report("Cannot create the directory " + dir + ": " + (PathExists(dir) ? "it already exists" : std::strerror(errno)),
           kWhereNewFolder);
    return nullptr;
  }
  return FolderTree().AddChild(parent, fnkFolder, name, dir + "/", kIconFolder,
                               SortedIndex(parent, fnkFolder, name, nullptr));
}

cFolderNode* NewMailbox(cFolderNode* selected, const std::string& name) {
  StoreLock lock;
  cFolderNode* parent = ParentForNewNode(selected);
  if (!parent) return nullptr;
  if (!IsPlainName(name)) {
    Report("The name " + QuotedStr(name) + " cannot be used for a mailbox", kWhereNewMailbox);
    return nullptr;
  }
  const std::string path = parent->info.path + name + kMailboxExt;
  if (PathExists(path) || FolderTree().FindNodeByPath(path)) {
    Report("The mailbox " + path + " already exists", kWhereNewMailbox);
    return nullptr;
  }
  if (!CreateEmptyMailbox(path)) return nullptr;
  cFolderNode* node = FolderTree().AddChild(parent, fnkMailbox, name, path, kIconMailbox,
                                            SortedIndex(parent, fnkMailbox, name, nullptr));
  parent->expanded = true;
  FolderTree().NotifyChanged(*parent);
  return node;
}

bool RenameNode(cFolderNode* node, const std::string& new_caption) {
  StoreLock lock;
  if (!node || (node->info.kind != fnkFolder && node->info.kind != fnkMailbox) || IsStandardNode(node)) return false;
  if (!IsPlainName(new_caption)) {
    Report("The name " + QuotedStr(new_caption) + " cannot be used", kWhereRename);
    return false;
  }
  if (new_caption == node->caption) return true;
  ReleaseCurrentMailbox();
  const std::string old_path = node->info.path;
  if (InUse(old_path, kWhereRename)) return false;
  const std::string new_path =
      ParentDir(node) + DiskName(node, new_caption) + (node->IsMailbox() ? "" : "/");
  if (!RenameOnDisk(old_path, new_path, kWhereRename)) return false;

  cFolderNode* parent = node->Parent();
  node->caption = new_caption;
  node->info.path = new_path;
  FolderTree().MoveNode(node, parent, SortedIndex(parent, node->info.kind, new_caption, node));
  if (!node->IsMailbox()) {
    FolderTree().RemoveChildren(node);
    ScanDirectoryIntoNode(node, false);
    node->expanded = true;
  }
  FolderTree().NotifyChanged(*node);
  return true;
}

bool MoveNodeTo(cFolderNode* node, cFolderNode* target) {
  StoreLock lock;
  if (!node || !target || (node->info.kind != fnkFolder && node->info.kind != fnkMailbox) || IsStandardNode(node))
    return false;
  if (target->IsMailbox()) return false;
  if (node->Contains(target)) {
    Report("A folder cannot be moved into itself", kWhereMove);
    return false;
  }
  if (node->Parent() == target) return true;
  ReleaseCurrentMailbox();
  const std::string old_path = node->info.path;
  if (InUse(old_path, kWhereMove)) return false;
  const std::string new_path = target->info.path + DiskName(node, node->caption) + (node->IsMailbox() ? "" : "/");
  if (!RenameOnDisk(old_path, new_path, kWhereMove)) return false;

  RebasePaths(node, old_path, new_path);
  FolderTree().MoveNode(node, target, SortedIndex(target, node->info.kind, node->caption, node));
  if (!node->IsMailbox()) {
    FolderTree().RemoveChildren(node);
    ScanDirectoryIntoNode(node, false);
  }
  FolderTree().NotifyChanged(*node);
  return true;
}

bool DeleteNode(cFolderNode* node, bool ask) {
  StoreLock lock;
  if (!node || node->info.kind == fnkRoot || IsStandardNode(node)) return false;
  const std::string quoted = QuotedStr(node->caption);
  if (ask) {
    const std::string text = node->info.kind == fnkAccount
                                 ? "Are you certain you wish to permanently erase the server " + quoted + "?"
                                 : "Are you certain you wish to permanently erase " + quoted + "?";
    if (!Ask(text, "Delete " + quoted)) return false;
  }
  const std::string path = node->info.path;
  ReleaseCurrentMailbox();
  if (InUse(path, kWhereDelete)) return false;
  if (node->IsMailbox()) {
    if (FileExists(path) && !RemoveFile(path)) {
      Report("Cannot delete " + path + ": " + std::strerror(errno), kWhereDelete);
      return false;
    }
  } else {
    std::string error;
    if (DirectoryExists(path) && !MoveToTrash(path, &error)) {
      Report(error, kWhereDelete);
      return false;
    }
  }
  FolderTree().RemoveNode(node);
  FolderTree().Select(FolderTree().FirstNode());
  return true;
}

bool EmptyMailbox(cFolderNode* node, bool ask) {
  StoreLock lock;
  if (!node || !node->IsMailbox()) return false;
  if (ask) {
    const std::string quoted = QuotedStr(node->caption);
    if (!Ask("Are you certain you wish to empty the mailbox " + quoted + "?", "Empty " + quoted)) return false;
  }
  const std::string path = node->info.path;
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db)) return false;
  std::shared_ptr<StoreUi> ui = GetStoreUi();
  for (int i = db->Count() - 1; i >= 0; --i) {
    cMailMessage msg;
    if (i >= db->Count() || !GetMessage(*db, msg, false, "", i)) break;
    if (msg.HasAttachments && ui) {
      cMailMessage whole;
      if (GetMessage(*db, whole, true, "", i)) {
        StoreUnlock unlock;
        ui->DeleteAttachmentsOf(whole);
      }
      FreeMessage(whole);
    }
    FreeMessage(msg);
  }
  bool ok = true;
  try {
    db->SetFileName("");
    if (FileExists(path) && !RemoveFile(path)) {
      Report("Cannot delete " + path + ": " + std::strerror(errno), kWhereEmpty);
      ok = false;
    }
    if (ok) ok = CreateEmptyMailbox(path);
  } catch (const std::exception& e) {
    Report(e.what(), kWhereEmpty);
    ok = false;
  }
  // Every holder keeps a usable engine, emptied or not.
  try {
    db->SetFileName(path);
  } catch (const std::exception& e) {
    Report(e.what(), kWhereEmpty);
    ok = false;
  }
  ReleaseQDB(db);
  if (ok) {
    node->info.unread = 0;
    node->info.total = 0;
  }
  UpdateMailboxNode(node);
  if (FolderTree().Selected() == node && ui) ui->ListReload();
  return ok;
}

cMailboxListing OpenMailboxInList(cFolderNode* node) {
  StoreLock lock;
  cMailboxListing listing;
  if (!node || !node->IsMailbox()) return listing;
  if (!OpenCurrentMailbox(node->info.path)) return listing;
  TQDB& db = *CurrentMailbox;
  const int count = db.Count();
  listing.rows.reserve(count);
  int unread = 0;
  for (int i = 0; i < count; ++i) {
    cMessageListRow row;
    if (!GetMessage(db, row.msg, false, "", i)) break;
    row.info = cMsgNodeInfo{db.Key(), row.msg.Size, row.msg.Date};
    if (!row.msg.Read) ++unread;
    listing.rows.push_back(std::move(row));
  }
  node->info.unread = unread;
  node->info.total = count;
  UpdateMailboxNode(node);
  ShowMailboxStatus();
  listing.ok = true;
  listing.window_caption = "Torvane Quillmar - [" + node->caption + "]";
  return listing;
}

int MarkMessages(const StringList& keys, bool read) {
  StoreLock lock;
  TQDB* db = CurrentMailbox;
  if (!db) return 0;
  cFolderNode* node = FolderTree().FindNodeByPath(db->FileName());
  std::shared_ptr<StoreUi> ui = GetStoreUi();
  int changed = 0;
  for (const std::string& key : keys) {
    cMailMessage msg;
    if (!GetMessage(*db, msg, true, key)) continue;
    if (msg.Read != read) {
      msg.Read = read;
      if (ChangeMessage(*db, msg, key, false)) {
        ++changed;
        if (ui && IsMailboxShown(*db)) ui->ListRefreshRow(key, msg);
      }
    }
    FreeMessage(msg);
  }
  if (node && changed > 0) {
    node->info.unread += read ? -changed : changed;
    if (node->info.unread < 0) node->info.unread = 0;
    UpdateMailboxNode(node);
    ShowMailboxStatus();
  }
  return changed;
}

int MoveSelectedMessages(const StringList& keys, cFolderNode* target, bool move) {
  StoreLock lock;
  TQDB* source = CurrentMailbox;
  if (!source || !target || !target->IsMailbox()) return 0;
  cFolderNode* source_node = FolderTree().FindNodeByPath(source->FileName());
  TQDB* db = nullptr;
  if (!GetQDBForFile(target->info.path, db)) return 0;
  std::shared_ptr<StoreUi> ui = GetStoreUi();
  int done = 0;
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    TKey new_key;
    // One pack at the end instead of one per message.
    if (!MoveMessage(*source, *db, source_node, new_key, false, move, *it, target, false)) continue;
    ++done;
    if (move && ui && IsMailboxShown(*source)) ui->ListRemoveRow(*it);
  }
  ReleaseQDB(db);
  if (done > 0) {
    try {
      source->Pack();
    } catch (const std::exception& e) {
      Report(e.what(), " has occured in MoveMessage ()");
    }
  }
  UpdateMailboxNode(source_node);
  UpdateMailboxNode(target);
  ShowMailboxStatus();
  return done;
}

bool StartFetchOnAccount(const std::string& account, bool force, bool silent, bool ask_to_go_online) {
  if (!IsPlainName(account) || !DirectoryExists(MailDir + account)) return false;
  if (!force && IniFile(MailDir + account + "/Settings.ini").ReadBool("Server", "DoNotCheckMail", false))
    return false;
  std::shared_ptr<MailTaskStarter> starter = GetMailTaskStarter();
  if (!starter) return false;
  starter->StartFetchTask(account, silent, ask_to_go_online);
  return true;
}

bool SendUnsentOfAccount(const std::string& account) {
  StoreLock lock;
  if (!IsPlainName(account) || !DirectoryExists(MailDir + account)) return false;
  cFolderNode* node = FindStandardMailbox(account, "Unsent");
  const std::string path = node ? node->info.path : MailDir + account + "/Unsent" + kMailboxExt;
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db)) return false;
  StringList keys;
  if (db->Count() > 0) {
    try {
      db->GetKeys(keys);
    } catch (const std::exception& e) {
      Report(e.what(), " has occured while listing the unsent messages");
    }
  }
  ReleaseQDB(db);
  if (keys.empty()) return false;
  std::shared_ptr<MailTaskStarter> starter = GetMailTaskStarter();
  if (!starter) return false;
  starter->StartSendTask(account, path, keys);
  return true;
}

}  // namespace qm
