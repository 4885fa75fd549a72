#pragma once
// Message references: one text naming a stored message anywhere in the
// tree, e.g. 'Home://Projects/Old/1234' (account, folders, mailbox, key) or
// 'Projects/Old/5' for a mailbox outside the accounts.
#include <string>

namespace qm {

class cFolderNode;

// The reference of the message `key` in the mailbox node (empty when the
// node is not a mailbox).
std::string MakeMessageRef(const cFolderNode* node, const std::string& key);

// The mailbox path and key a reference names. False for a reference with
// too few parts, an empty or unsafe element (".", "..", a zero byte), or an
// account that does not exist; the path always lies inside MailDir.
bool ParseMessageRef(const std::string& ref, std::string& mailbox_path, std::string& key);

}  // namespace qm
