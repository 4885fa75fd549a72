#include "store/message_store.h"

#include <chrono>
#include <cstdint>
#include <exception>
#include <random>

#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "store/folder_tree.h"
#include "store/folder_tree_scan.h"
#include "store/mailbox_stats.h"
#include "store/ref_list.h"
#include "store/store_lock.h"
#include "store/store_ui.h"

namespace qm {

namespace {

std::string ErrorText(const std::exception& e) { return QuotedStr(e.what()); }

cFolderNode* NodeOf(const TQDB& db, cFolderNode* node) {
  return node ? node : FolderTree().FindNodeByPath(db.FileName());
}

std::mt19937& KeyRandom() {
  static std::mt19937 gen;
  return gen;
}

// The item's head up to the end of its first part (length, first text,
// date, reserved and size): the message list reads nothing more.
void ReadFirstPart(TQDB& db, std::string& item) {
  constexpr size_t kFixedAfterText = 16;
  db.GetHead(item, 1024);
  if (item.size() < 4) return;
  uint32_t t1 = 0;
  for (int i = 3; i >= 0; --i) t1 = (t1 << 8) | static_cast<unsigned char>(item[i]);
  const uint64_t need = 4ull + t1 + kFixedAfterText;
  if (need > item.size() && item.size() == 1024 && need < (1ull << 31)) db.GetHead(item, static_cast<size_t>(need));
}

}  // namespace

bool CreateEmptyMailbox(const std::string& path) {
  StoreLock lock;
  try {
    TQDB db;
    db.SetFileName(path);
    db.SetFileName("");
    return true;
  } catch (const std::exception& e) {
    ReportError(ErrorText(e) + " has occured when creating an empty mailbox.");
    return false;
  }
}

TKey NewMessageKey(TQDB& db) {
  StoreLock lock;
  std::mt19937& gen = KeyRandom();
  gen.seed(static_cast<std::mt19937::result_type>(
      std::chrono::steady_clock::now().time_since_epoch().count() ^
      std::chrono::system_clock::now().time_since_epoch().count()));
  std::uniform_int_distribution<int> pick(0, kMaxMessageKeys - 1);
  // Random draws find a free key at once unless the mailbox is nearly full;
  // then a walk from a random start visits every key once.
  for (int attempt = 0; attempt < 64; ++attempt) {
    TKey key = std::to_string(pick(gen));
    if (!db.KeyExists(key)) return key;
  }
  const int start = pick(gen);
  for (int i = 0; i < kMaxMessageKeys; ++i) {
    TKey key = std::to_string((start + i) % kMaxMessageKeys);
    if (!db.KeyExists(key)) return key;
  }
  return "";
}

bool AddMessage(TQDB& db, const cMailMessage& msg, bool refresh, cFolderNode* node, TKey& key) {
  StoreLock lock;
  key.clear();
  try {
    std::string item = EncodeMessage(msg);
    TKey fresh = NewMessageKey(db);
    if (fresh.empty()) {
      ReportError(QuotedStr("The mailbox is full: " + db.FileName()) + " has occured in AddMessage ()");
      return false;
    }
    db.Add(item, fresh);
    key = fresh;
    // Without a node for the file the counters cannot follow; the message is
    // stored all the same.
    node = NodeOf(db, node);
    if (node) {
      ++node->info.total;
      if (!msg.Read) ++node->info.unread;
    }
    if (refresh) {
      UpdateMailboxNode(node);
      if (IsMailboxShown(db)) {
        if (auto ui = GetStoreUi()) {
          ui->ListAddRow(cMsgNodeInfo{key, msg.Size, msg.Date}, msg);
          ui->ShowStatus(MailboxStatusText());
        }
      }
    }
    return true;
  } catch (const std::exception& e) {
    ReportError(ErrorText(e) + " has occured in AddMessage ()");
    return false;
  }
}

bool AddMessageToFile(const std::string& path, const cMailMessage& msg) {
  StoreLock lock;
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db)) return false;
  TKey key;
  bool ok = AddMessage(*db, msg, true, nullptr, key);
  ReleaseQDB(db);
  return ok;
}

bool GetMessage(TQDB& db, cMailMessage& msg, bool with_body, const TKey& key, int index) {
  StoreLock lock;
  try {
    if (index == -1) {
      if (!db.FindKey(key)) return false;
      index = db.ItemIndex();
    }
    db.GoTo(index);
    std::string item;
    if (with_body) db.Get(item);
    else ReadFirstPart(db, item);
    cMailMessage read;
    DecodeMessage(item, with_body, read);
    msg = read;
    return true;
  } catch (const std::exception& e) {
    ReportError(ErrorText(e) + " has occured in GetMessage ()");
    return false;
  }
}

bool ChangeMessage(TQDB& db, const cMailMessage& msg, const TKey& key, bool refresh) {
  StoreLock lock;
  try {
    if (!db.FindKey(key)) return false;
    db.Change(EncodeMessage(msg));
    if (refresh && IsMailboxShown(db))
      if (auto ui = GetStoreUi()) ui->ListRefreshRow(key, msg);
    return true;
  } catch (const std::exception& e) {
    ReportError(ErrorText(e) + " has occured while changing a message");
    return false;
  }
}

bool DeleteMessage(TQDB& db, const TKey& key, bool ask_attachments) {
  StoreLock lock;
  try {
    if (!db.FindKey(key)) return false;
    if (ask_attachments) {
      cMailMessage msg;
      if (GetMessage(db, msg, true, key)) {
        if (auto ui = GetStoreUi()) {
          StoreUnlock unlock;
          ui->DeleteAttachmentsOf(msg);
        }
        FreeMessage(msg);
      }
      // Another thread may have moved the engine on while the window was up.
      if (!db.FindKey(key)) return false;
    }
    db.Delete();
    return true;
  } catch (const std::exception& e) {
    ReportError(ErrorText(e) + " has occured while deleting a message");
    return false;
  }
}

bool MoveMessage(TQDB& source, TQDB& target, cFolderNode* source_node, TKey& new_key, bool refresh, bool move,
                 const TKey& key, cFolderNode* target_node, bool pack_source) {
  StoreLock lock;
  new_key.clear();
  cMailMessage msg;
  try {
    if (!GetMessage(source, msg, true, key)) {
      std::string text = "Could not fetch message body in MoveMessage ()!\r\nKey: " + key + "\r\n\r\n";
      try {
        for (const TKey& k : source.GetKeys()) text += k + "\r\n";
      } catch (const std::exception&) {
      }
      ReportError(text);
      return false;
    }
    // The target copy first: when it cannot be stored the source keeps the
    // message.
    if (!AddMessage(target, msg, refresh, target_node, new_key)) {
      FreeMessage(msg);
      return false;
    }
    bool moved = true;
    if (move) {
      source_node = NodeOf(source, source_node);
      // Should the source copy stay behind, the message is in both mailboxes
      // and the caller hears that the move did not happen.
      moved = DeleteMessage(source, key, false);
      if (moved) {
        if (source_node) {
          --source_node->info.total;
          if (!msg.Read) --source_node->info.unread;
        }
        if (refresh) {
          if (IsMailboxShown(source))
            if (auto ui = GetStoreUi()) {
              ui->ListRemoveRow(key);
              ui->ShowStatus(MailboxStatusText());
            }
          UpdateMailboxNode(source_node);
        }
      }
    }
    FreeMessage(msg);
    if (pack_source) source.Pack();
    return moved;
  } catch (const std::exception& e) {
    FreeMessage(msg);
    ReportError(ErrorText(e) + " has occured in MoveMessage ()");
    return false;
  }
}

bool MoveMessageBetweenFiles(const std::string& source_path, const std::string& target_path, const TKey& key,
                             TKey& new_key, bool refresh, bool move) {
  StoreLock lock;
  new_key.clear();
  TQDB* source = nullptr;
  TQDB* target = nullptr;
  if (!GetQDBForFile(source_path, source)) return false;
  if (!GetQDBForFile(target_path, target)) {
    ReleaseQDB(source);
    return false;
  }
  bool ok = MoveMessage(*source, *target, FolderTree().FindNodeByPath(source_path), new_key, refresh, move, key,
                        FolderTree().FindNodeByPath(target_path));
  ReleaseQDB(target);
  ReleaseQDB(source);
  return ok;
}

bool CompressMailbox(TQDB& db) {
  StoreLock lock;
  try {
    db.Compress();
    return true;
  } catch (const std::exception& e) {
    ReportError(ErrorText(e) + " has occured while compressing a mailbox");
    return false;
  }
}

void SetMailboxPassword(TQDB& db, const std::string& password) {
  StoreLock lock;
  db.SetPassword(password.substr(0, 255));
}

bool RedirectMessage(cMailMessage msg, const std::string& account, const std::string& recipient, bool send_now) {
  StoreLock lock;
  if (!IsPlainName(account)) {
    ReportError(QuotedStr("There is no account " + QuotedStr(account)) + " has occured while redirecting a message");
    return false;
  }
  msg.CC.clear();
  msg.BCC.clear();
  msg.To = recipient;
  cFolderNode* node = FindStandardMailbox(account, "Unsent");
  const std::string path = node ? node->info.path : MailDir + account + "/Unsent" + kMailboxExt;
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db)) return false;
  TKey key;
  bool ok = AddMessage(*db, msg, true, node, key);
  ReleaseQDB(db);
  if (ok && send_now)
    if (auto starter = GetMailTaskStarter()) starter->StartSendTask(account, path, StringList{key});
  return ok;
}

}  // namespace qm
