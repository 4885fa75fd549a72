#pragma once
// Shared, reference-counted mailbox engines: one open TQDB per mailbox file,
// handed to every holder (the main window, tasks, commands). A file is
// written back only when its last holder releases it.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/text_lines.h"
#include "store/tqdb.h"

namespace qm {

struct cRefInfo {
  int32_t RefCount = 1;
  StringList Openers;
  std::unique_ptr<TQDB> Engine;
};

// Mailbox paths in order of opening, each with its cRefInfo. Paths compare
// exactly. Guarded by the store lock.
class cRefList {
 public:
  cRefList();
  ~cRefList();

  int Count() const { return static_cast<int>(entries_.size()); }
  const std::string& Path(int index) const { return entries_[index].first; }
  cRefInfo* Info(int index) const { return entries_[index].second.get(); }
  // The entry for a path (as given or as the engine holds it), or null.
  cRefInfo* Find(const std::string& path) const;
  int IndexOfEngine(const TQDB* engine) const;
  // True when an open mailbox lies at `path` or, for a directory path
  // ending in "/", anywhere below it.
  bool HoldsPathUnder(const std::string& path) const;

  void Add(const std::string& path, std::unique_ptr<cRefInfo> info);
  std::unique_ptr<cRefInfo> Remove(int index);

  // Paths being opened right now (while their password is asked for).
  bool IsOpening(const std::string& path) const;
  void SetOpening(const std::string& path, bool opening);

 private:
  std::vector<std::pair<std::string, std::unique_ptr<cRefInfo>>> entries_;
  StringList opening_;
};

// The process-wide list.
cRefList& RefList();

// A shared engine for the mailbox file (opened, or created when missing).
// False with a report when it cannot be opened; the path then stays out of
// the list.
bool GetQDBForFile(const std::string& path, TQDB*& db);
// Gives one reference back; true when that closed the engine (the file was
// written back and the engine freed).
bool ReleaseQDB(TQDB* db);

// Writes the engine's index working file (a task's save before its release);
// false with a report on failure.
bool SaveQDB(TQDB* db);

// The engine of the mailbox shown in the main window's list, or null; one
// holder in the list like any other.
extern TQDB* CurrentMailbox;
// Opens the mailbox as CurrentMailbox, releasing the one held before.
bool OpenCurrentMailbox(const std::string& path);
void ReleaseCurrentMailbox();

// Releases every engine still open, writing each file back (at exit).
void CloseAllMailboxes();

}  // namespace qm
