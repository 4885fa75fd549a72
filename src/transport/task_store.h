#pragma once
// What the tasks use of the mailbox store, in one place: the store's own
// operations, called with its lock held where a task needs a sequence of
// engine calls to stay whole.
#include <string>

#include "platform/text_lines.h"
#include "store/mail_message.h"

namespace qm {

class TQDB;

// MailDir + account + "/" + name + ".zqf" (the standard mailboxes).
std::string StandardMailboxPath(const std::string& account, const std::string& name);

// GetQDBForFile; nullptr on failure (reported by the store).
TQDB* TaskOpenMailbox(const std::string& path);
// Save, then ReleaseQDB. Never throws; failures are reported.
void TaskSaveAndRelease(TQDB* qdb);
// Writes the mailbox file now so that what was added survives a crash.
// Throws the engine's error.
void TaskFlushMailbox(TQDB* qdb);
// AddMessage with refresh and no mailbox node.
bool TaskAddMessage(TQDB* qdb, cMailMessage& msg);
// GetMessage by key with body.
bool TaskGetMessage(TQDB* qdb, const std::string& key, cMailMessage& msg);
// MoveMessageBetweenFiles with refresh and move on.
bool TaskMoveMessageBetweenFiles(const std::string& source, const std::string& target,
                                 const std::string& key);
// AddMessageToFile.
bool TaskAddMessageToFile(const std::string& path, cMailMessage& msg);
// Sets Answered on the message a reference names; nothing when it is gone.
void TaskMarkAnswered(const std::string& message_ref);
// RedirectMessage without sending now.
void TaskRedirectMessage(const cMailMessage& msg, const std::string& account,
                         const std::string& recipient);
// The keys of a mailbox file (empty when it cannot be opened).
StringList TaskMailboxKeys(const std::string& path);

}  // namespace qm
