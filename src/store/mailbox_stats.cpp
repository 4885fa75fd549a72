#include "store/mailbox_stats.h"

#include <charconv>
#include <exception>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"
#include "store/folder_tree.h"
#include "store/store_lock.h"
#include "store/store_ui.h"
#include "store/tqdb.h"

namespace qm {

namespace {

bool ParseCount(const std::string& text, int32_t& out) {
  std::string t = TrimBlanks(text);
  if (t.empty()) return false;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
  return ec == std::errc() && end == t.data() + t.size() && out >= 0;
}

}  // namespace

cMailboxStatsCache LoadMailboxStats() {
  cMailboxStatsCache cache;
  const std::string file = MailboxesFile();
  if (!FileExists(file)) return cache;
  StringList lines = LoadLinesFromFile(file);
  for (size_t i = 0; i + 2 < lines.size(); i += 3) {
    cMailboxCounts counts;
    if (lines[i].empty() || !ParseCount(lines[i + 1], counts.unread) || !ParseCount(lines[i + 2], counts.total))
      continue;
    cache[LowerCaseAscii(MailDir + lines[i])] = counts;
  }
  return cache;
}

bool SaveMailboxStats() {
  StoreLock lock;
  StringList lines;
  FolderTree().ForEach([&](cFolderNode& node) {
    if (!node.IsMailbox()) return;
    std::string rel = node.info.path;
    if (rel.compare(0, MailDir.size(), MailDir) == 0) rel.erase(0, MailDir.size());
    lines.push_back(rel);
    lines.push_back(std::to_string(node.info.unread));
    lines.push_back(std::to_string(node.info.total));
  });
  try {
    SaveLinesToFile(MailboxesFile(), lines);
    return true;
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured while saving the mailbox counters");
    return false;
  }
}

void UpdateMailboxNode(cFolderNode* node) {
  StoreLock lock;
  if (!node || !node->IsMailbox()) return;
  FolderTree().NotifyChanged(*node, node->info.unread > 0);
}

std::string MailboxStatusText() {
  StoreLock lock;
  cFolderNode* node = FolderTree().Selected();
  if (!node || !node->IsMailbox()) return "";
  return " " + std::to_string(node->info.total) + " Total message(s), " + std::to_string(node->info.unread) +
         " unread";
}

void ShowMailboxStatus() {
  StoreLock lock;
  if (auto ui = GetStoreUi()) ui->ShowStatus(MailboxStatusText());
}

bool IsMailboxShown(const TQDB& db) {
  StoreLock lock;
  cFolderNode* node = FolderTree().Selected();
  return node && node->IsMailbox() && !db.FileName().empty() && node->info.path == db.FileName();
}

}  // namespace qm
