#pragma once
// Messages in mailboxes: keys, storing, reading, changing, deleting and
// moving records, with the folder tree's counters kept in step and the main
// window refreshed (through StoreUi) when asked. Every operation holds the
// store lock, catches its own errors, reports them through ReportError and
// returns false; none throws.
#include <string>

#include "store/mail_message.h"
#include "store/tqdb.h"

namespace qm {

class cFolderNode;

// Keys are the decimal text of 0..24999, so a mailbox holds at most this many.
inline constexpr int kMaxMessageKeys = 25000;

// Creates an empty mailbox file (an existing one is written back unchanged).
bool CreateEmptyMailbox(const std::string& path);

// A key not yet in the mailbox; empty when every key is taken.
TKey NewMessageKey(TQDB& db);

// Stores a new message under a fresh key (returned in `key`). `node` is the
// mailbox's tree node, or null to look it up by the engine's file name.
bool AddMessage(TQDB& db, const cMailMessage& msg, bool refresh, cFolderNode* node, TKey& key);
// Opens the file, stores the message with refresh, releases the file.
bool AddMessageToFile(const std::string& path, const cMailMessage& msg);

// Reads a message by key (index -1) or by position. A missing key returns
// false without a report. `msg` is replaced by the record read.
bool GetMessage(TQDB& db, cMailMessage& msg, bool with_body, const TKey& key, int index = -1);

// Rewrites the message stored under `key`; a missing key returns false.
bool ChangeMessage(TQDB& db, const cMailMessage& msg, const TKey& key, bool refresh);

// Deletes the message; with `ask_attachments` the delete-attachments
// behaviour runs first. Counters and list rows are the caller's business.
// True when the message was there and is gone.
bool DeleteMessage(TQDB& db, const TKey& key, bool ask_attachments);

// Copies (move off) or moves one message between open mailboxes. The copy
// is stored in the target first; the source copy is deleted only after that
// succeeded, so a failure never loses the message (when only the delete
// fails, the message is in both and the result is false). The source is packed
// afterwards (also when copying); a caller moving many messages may pass
// `pack_source` false and pack once at the end.
bool MoveMessage(TQDB& source, TQDB& target, cFolderNode* source_node, TKey& new_key, bool refresh, bool move,
                 const TKey& key, cFolderNode* target_node, bool pack_source = true);
bool MoveMessageBetweenFiles(const std::string& source_path, const std::string& target_path, const TKey& key,
                             TKey& new_key, bool refresh, bool move);

// The mailbox menu's commands on an open engine: Compress, and the password
// that takes effect when the file is next written back (empty: none).
bool CompressMailbox(TQDB& db);
void SetMailboxPassword(TQDB& db, const std::string& password);

// Queues a copy of the message for `recipient` in the account's Unsent
// mailbox; with `send_now` a send task for it starts at once.
bool RedirectMessage(cMailMessage msg, const std::string& account, const std::string& recipient, bool send_now);

}  // namespace qm
