#pragma once
// Unread and total counters of the mailbox nodes: their cache across runs
// (Mailboxes.txt in AppDir), the node captions and the status line.
#include <cstdint>
#include <map>
#include <string>

namespace qm {

class cFolderNode;
class TQDB;

struct cMailboxCounts {
  int32_t unread = 0;
  int32_t total = 0;
};

// Mailboxes.txt read into (lower-cased MailDir + relative path) -> counts.
// A missing file gives an empty cache; groups whose count lines are not
// decimal numbers (or a trailing short group) are skipped.
using cMailboxStatsCache = std::map<std::string, cMailboxCounts>;
cMailboxStatsCache LoadMailboxStats();

// Writes Mailboxes.txt from every mailbox node of the tree (display order),
// replacing the file. False with a report when it cannot be written.
bool SaveMailboxStats();

// The node's caption and counter columns changed: tell the tree (and let it
// scroll the node into view when it has unread messages).
void UpdateMailboxNode(cFolderNode* node);

// " %d Total message(s), %d unread" for the selected mailbox node, else "".
std::string MailboxStatusText();
// Puts that text on the status line.
void ShowMailboxStatus();

// True when `db` is the mailbox of the selected tree node (the one shown).
bool IsMailboxShown(const TQDB& db);

}  // namespace qm
