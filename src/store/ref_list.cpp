#include "store/ref_list.h"

#include <algorithm>
#include <condition_variable>
#include <exception>

#include "shell/report_error.h"
#include "store/folder_tree.h"
#include "store/store_lock.h"
#include "store/store_ui.h"

namespace qm {

TQDB* CurrentMailbox = nullptr;

namespace {

constexpr const char* kOpener = "GetQDBForFile ()";

// Lets a condition variable give up the store lock at any depth.
class WholeStoreLock {
 public:
  void unlock() { depth_ = StoreMutex().ReleaseAll(); }
  void lock() { StoreMutex().Reacquire(depth_); }

 private:
  int depth_ = 0;
};

std::condition_variable_any& OpeningDone() {
  static std::condition_variable_any cv;
  return cv;
}

void AskPassword(TQDB&, TPassword& password) {
  std::shared_ptr<StoreUi> ui = GetStoreUi();
  if (!ui) return;
  std::string text;
  bool ok;
  {
    StoreUnlock unlock;
    ok = ui->AskMailboxPassword(text);
  }
  if (ok) password = text.substr(0, 255);
}

}  // namespace

cRefList::cRefList() = default;
cRefList::~cRefList() = default;

cRefInfo* cRefList::Find(const std::string& path) const {
  for (const auto& [p, info] : entries_)
    if (p == path) return info.get();
  for (const auto& [p, info] : entries_)
    if (info->Engine && info->Engine->FileName() == path) return info.get();
  return nullptr;
}

int cRefList::IndexOfEngine(const TQDB* engine) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].second->Engine.get() == engine) return static_cast<int>(i);
  return -1;
}

bool cRefList::HoldsPathUnder(const std::string& path) const {
  const bool dir = !path.empty() && path.back() == '/';
  for (const auto& [p, info] : entries_) {
    const std::string& held = info->Engine ? info->Engine->FileName() : p;
    for (const std::string* s : {&p, &held}) {
      if (*s == path) return true;
      if (dir && s->compare(0, path.size(), path) == 0) return true;
    }
  }
  return false;
}

void cRefList::Add(const std::string& path, std::unique_ptr<cRefInfo> info) {
  entries_.emplace_back(path, std::move(info));
}

std::unique_ptr<cRefInfo> cRefList::Remove(int index) {
  std::unique_ptr<cRefInfo> info = std::move(entries_[index].second);
  entries_.erase(entries_.begin() + index);
  return info;
}

bool cRefList::IsOpening(const std::string& path) const {
  return std::find(opening_.begin(), opening_.end(), path) != opening_.end();
}

void cRefList::SetOpening(const std::string& path, bool opening) {
  if (opening) opening_.push_back(path);
  else opening_.erase(std::remove(opening_.begin(), opening_.end(), path), opening_.end());
}

cRefList& RefList() {
  static cRefList list;
  return list;
}

bool GetQDBForFile(const std::string& path, TQDB*& db) {
  StoreLock lock;
  db = nullptr;
  cRefList& list = RefList();
  // Another thread may be opening the same file while its password is asked.
  WholeStoreLock whole;
  OpeningDone().wait(whole, [&] { return !list.IsOpening(path); });

  if (cRefInfo* info = list.Find(path)) {
    ++info->RefCount;
    db = info->Engine.get();
    return true;
  }

  auto engine = std::make_unique<TQDB>();
  engine->OnDemandPassword = AskPassword;
  list.SetOpening(path, true);
  std::string report;
  try {
    engine->SetFileName(path);
  } catch (const EQDBInvalidPW&) {
    report = "The password is invalid.";
  } catch (const std::exception& e) {
    report = QuotedStr(e.what()) + " has occured in GetQDBForFile ()";
  } catch (...) {
    report = QuotedStr("Unknown error") + " has occured in GetQDBForFile ()";
  }
  list.SetOpening(path, false);
  OpeningDone().notify_all();
  if (!report.empty()) {
    if (report == "The password is invalid.") FolderTree().Select(FolderTree().FirstNode());
    try {
      engine->SetFileName("");
    } catch (...) {
    }
    engine.reset();
    ReportError(report);
    return false;
  }
  auto info = std::make_unique<cRefInfo>();
  info->Openers.push_back(kOpener);
  info->Engine = std::move(engine);
  db = info->Engine.get();
  list.Add(path, std::move(info));
  return true;
}

bool ReleaseQDB(TQDB* db) {
  StoreLock lock;
  if (!db) return false;
  cRefList& list = RefList();
  int index = list.IndexOfEngine(db);
  if (index < 0) return false;
  cRefInfo* info = list.Info(index);
  if (--info->RefCount > 0) return false;
  std::unique_ptr<cRefInfo> owned = list.Remove(index);
  if (CurrentMailbox == db) CurrentMailbox = nullptr;
  try {
    owned->Engine->SetFileName("");
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured in ReleaseQDB ()");
  }
  owned->Engine.reset();
  return true;
}

bool SaveQDB(TQDB* db) {
  StoreLock lock;
  if (!db) return false;
  try {
    db->Save();
    return true;
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured while saving a mailbox");
    return false;
  }
}

bool OpenCurrentMailbox(const std::string& path) {
  StoreLock lock;
  TQDB* previous = CurrentMailbox;
  TQDB* db = nullptr;
  bool ok = GetQDBForFile(path, db);
  if (previous) ReleaseQDB(previous);
  CurrentMailbox = ok ? db : nullptr;
  return ok;
}

void ReleaseCurrentMailbox() {
  StoreLock lock;
  TQDB* db = CurrentMailbox;
  CurrentMailbox = nullptr;
  if (db) ReleaseQDB(db);
}

void CloseAllMailboxes() {
  StoreLock lock;
  CurrentMailbox = nullptr;
  cRefList& list = RefList();
  while (list.Count() > 0) {
    std::unique_ptr<cRefInfo> owned = list.Remove(list.Count() - 1);
    try {
      owned->Engine->SetFileName("");
    } catch (const std::exception& e) {
      ReportError(QuotedStr(e.what()) + " has occured in ReleaseQDB ()");
    }
  }
}

}  // namespace qm
