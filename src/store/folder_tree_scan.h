#pragma once
// Building the folder tree from the mail directory, and finding nodes in it.
//
// Layout under MailDir: a subdirectory whose extension is not ".FLD" is an
// account; "<name>.FLD/" anywhere is a folder; "<name>.zqf" is a mailbox; an
// account's Inbox, Unsent, Unfinished, Sent Items and Trash are its standard
// mailboxes. Names compare exactly, letter case included.
#include <string>

#include "platform/text_lines.h"
#include "store/folder_tree.h"

namespace qm {

inline constexpr const char* kRootCaption = "Quillmar";
inline constexpr const char* kFolderExt = ".FLD";
inline constexpr const char* kMailboxExt = ".zqf";

// The five standard mailboxes in tree order.
const StringList& StandardMailboxNames();
bool IsStandardMailboxName(const std::string& name);
// Icon of a mailbox called `name` directly under an account.
int StandardMailboxIcon(const std::string& name);

// A name usable as one path element: not empty, not "." or "..", no "/"
// and no zero byte.
bool IsPlainName(const std::string& name);

// Clears the tree and builds it from the disk with the counters cached in
// Mailboxes.txt; then asks for an account when there is none and selects
// the default account's Inbox (Options / OpenDefaultInbox, default on) or
// the first node.
void BuildFolderTree();

// Scans a directory into a node: mailboxes first, then folders each with its
// own scan, both sorted ignoring case. With `standard_names` the five
// standard mailbox files are skipped (they are added by the account).
void ScanDirectoryIntoNode(cFolderNode* node, bool standard_names);

// Adds an account node under the root with its five standard mailboxes and
// then what its directory holds.
cFolderNode* AddAccountNode(const std::string& account);

// The standard mailbox node of an account: FindNodeByPath of
// MailDir + account + "/" + name + ".zqf".
cFolderNode* FindStandardMailbox(const std::string& account, const std::string& name);
// The account whose branch holds the node, or "" (root, local folders).
std::string AccountOfNode(const cFolderNode* node);

// The account names of the mail directory (kept here as the tree sees them;
// the accounts library has the same lists for its callers).
struct cTreeAccounts {
  // Subdirectories of MailDir whose extension is not ".FLD", sorted ignoring
  // case; with the switch, those whose Settings.ini has Server /
  // HideWhenComposing on are left out.
  static StringList ListAccounts(bool hide_when_composing);
  // Options / DefaultAccount when it names an existing account, else the
  // first account, else "".
  static std::string GetDefaultAccount();
};

}  // namespace qm
