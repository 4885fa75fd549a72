#pragma once
// The disk side of the folder tree's commands, and the entry points the
// main window calls for the mailbox it shows. Each changes the disk and the
// tree together, holds the store lock, and reports its failures (returning
// false or null) without throwing. A failed rename or move leaves the node
// with its old caption and path.
#include <string>
#include <vector>

#include "platform/text_lines.h"
#include "store/mail_message.h"
#include "store/store_ui.h"

namespace qm {

class cFolderNode;

// The node new folders and mailboxes go under: the selected node, or a
// selected mailbox's parent.
cFolderNode* ParentForNewNode(cFolderNode* selected);

// Creates parent + name + ".FLD" and its node. Null when the name is not a
// plain file name or the directory cannot be made (it exists, say).
cFolderNode* NewFolder(cFolderNode* selected, const std::string& name);
// Creates an empty parent + name + ".zqf" and its node; the parent is
// expanded. Null when the mailbox exists already or cannot be made.
cFolderNode* NewMailbox(cFolderNode* selected, const std::string& name);

// Renames a folder or a mailbox that is not a standard one. Releases the
// current mailbox first. Refused (false) when the new name exists, the old
// one is gone, or a mailbox there is open elsewhere.
bool RenameNode(cFolderNode* node, const std::string& new_caption);
// Moves a folder or a non-standard mailbox into the directory of a folder,
// an account or the root, keeping its file name. A folder cannot move into
// itself or below itself.
bool MoveNodeTo(cFolderNode* node, cFolderNode* target);

// Deletes a mailbox file for good, or moves a folder or an account to the
// desktop's trash, after the question when `ask`. The first node is then
// selected. False when declined or when it fails.
bool DeleteNode(cFolderNode* node, bool ask);
// Empties a mailbox (after its question when `ask`), offering to delete each
// message's attachments; every holder keeps a usable engine.
bool EmptyMailbox(cFolderNode* node, bool ask);

// One row of the message list with the message's first part.
struct cMessageListRow {
  cMsgNodeInfo info;
  cMailMessage msg;  // first part only: no lists
};
struct cMailboxListing {
  bool ok = false;
  std::vector<cMessageListRow> rows;
  std::string window_caption;  // "Torvane Quillmar - [" + caption + "]"
};
// Opens the mailbox node as CurrentMailbox and reads every message's first
// part (stopping at the first failure); the node's counters are recounted.
cMailboxListing OpenMailboxInList(cFolderNode* node);

// Marks messages of CurrentMailbox read or unread; only those that change
// are rewritten. Returns how many changed; the node's unread count follows.
int MarkMessages(const StringList& keys, bool read);

// Copies or moves messages of CurrentMailbox to a mailbox node, last key
// first; moved rows leave the list. Returns how many succeeded.
int MoveSelectedMessages(const StringList& keys, cFolderNode* target, bool move);

// Starts a fetch task for the account unless its Server / DoNotCheckMail is
// on and `force` is off. True when a task was started.
bool StartFetchOnAccount(const std::string& account, bool force, bool silent, bool ask_to_go_online);
// Starts a send task on the account's Unsent mailbox when it holds messages.
bool SendUnsentOfAccount(const std::string& account);

}  // namespace qm
