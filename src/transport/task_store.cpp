#include "transport/task_store.h"

#include <exception>

#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "store/message_ref.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "store/store_lock.h"
#include "store/tqdb.h"

namespace qm {

std::string StandardMailboxPath(const std::string& account, const std::string& name) {
  return MailDir + account + "/" + name + ".zqf";
}

TQDB* TaskOpenMailbox(const std::string& path) {
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db)) return nullptr;
  return db;
}

void TaskSaveAndRelease(TQDB* qdb) {
  if (!qdb) return;
  StoreLock lock;
  try {
    if (qdb->FileAssigned()) qdb->Save();
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured while saving the mailbox " + QuotedStr(qdb->FileName()));
  }
  ReleaseQDB(qdb);
}

void TaskFlushMailbox(TQDB* qdb) {
  StoreLock lock;
  if (qdb->FileAssigned()) qdb->Flush();
}

bool TaskAddMessage(TQDB* qdb, cMailMessage& msg) {
  TKey key;
  return AddMessage(*qdb, msg, true, nullptr, key);
}

bool TaskGetMessage(TQDB* qdb, const std::string& key, cMailMessage& msg) {
  return GetMessage(*qdb, msg, true, key, -1);
}

bool TaskMoveMessageBetweenFiles(const std::string& source, const std::string& target, const std::string& key) {
  TKey new_key;
  return MoveMessageBetweenFiles(source, target, key, new_key, true, true);
}

bool TaskAddMessageToFile(const std::string& path, cMailMessage& msg) { return AddMessageToFile(path, msg); }

void TaskMarkAnswered(const std::string& message_ref) {
  std::string path;
  std::string key;
  if (!ParseMessageRef(message_ref, path, key)) return;
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db)) return;
  cMailMessage msg;
  if (GetMessage(*db, msg, true, key, -1)) {
    msg.Answered = true;
    ChangeMessage(*db, msg, key, true);
  }
  FreeMessage(msg);
  ReleaseQDB(db);
}

void TaskRedirectMessage(const cMailMessage& msg, const std::string& account, const std::string& recipient) {
  RedirectMessage(msg, account, recipient, false);
}

StringList TaskMailboxKeys(const std::string& path) {
  StringList keys;
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db)) return keys;
  {
    StoreLock lock;
    try {
      keys = db->GetKeys();
    } catch (const std::exception& e) {
      ReportError(QuotedStr(e.what()) + " has occured while listing the mailbox " + QuotedStr(path));
    }
  }
  ReleaseQDB(db);
  return keys;
}

}  // namespace qm
