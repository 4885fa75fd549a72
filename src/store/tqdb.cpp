#include "store/tqdb.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

#include "platform/file_error.h"
#include "platform/file_system.h"
#include "shell/report_error.h"
#include "store/qdb_codec.h"

namespace qm {

namespace {

constexpr const char* kCaseSensitiveItem = "QDBCaseSensitive";
constexpr size_t kIndexWriteBuffer = 32768;
constexpr size_t kMinEntrySize = 13;  // zero byte of an empty key + three int32
constexpr size_t kMaxKeyLength = 255;

void PutInt32(std::string& s, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(u >> (8 * i)));
}

int32_t GetInt32(const char* p) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= uint32_t(static_cast<uint8_t>(p[i])) << (8 * i);
  return static_cast<int32_t>(u);
}

// The body as stored: compressed or plain.
std::string StoredForm(std::string_view data, bool compress) {
  try {
    return compress ? CompressItem(data) : std::string(data);
  } catch (const std::bad_alloc&) {
    throw EQDBNoCompress(qdb_msg::kNoCompress);
  }
}

std::string AbsolutePath(const std::string& name) {
  if (!name.empty() && name[0] == '/') return name;
  char buf[PATH_MAX];
  if (!::getcwd(buf, sizeof buf)) return name;
  return IncludeTrailingSlash(buf) + name;
}

// Creates the pair of working files: "QDB..." and the same name with "QIX".
void CreateWorkingFiles(std::string& data_path, std::string& index_path) {
  const std::string dir = SystemTempDir();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string data;
    try {
      data = CreateUniqueFile(dir, "QDB");
    } catch (const FileError&) {
      break;
    }
    std::string name = ExtractFileName(data);
    std::string index = dir + "QIX" + name.substr(3);
    int fd = ::open(index.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      data_path = data;
      index_path = index;
      return;
    }
    ::unlink(data.c_str());
  }
  throw EQDBIndexError(qdb_msg::kNoTempFile);
}

int OpenOrThrow(const std::string& path, int flags, const std::string& shown) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0600);
  if (fd < 0) throw QdbFileErrorFromErrno(errno, shown);
  return fd;
}

}  // namespace

// Reports progress over n items: every step-th item, and 0 at the end.
class TQDB::Progress {
 public:
  Progress(TQDB& db, TProgressOrigin kind, size_t n) : db_(db), kind_(kind), step_(n / 10 + 1) {}
  void Item(size_t a) {
    if (a % step_ != 0) return;
    if (db_.ProcessMessages) db_.ProcessMessages();
    if (db_.ProgressUpdate) db_.ProgressUpdate(db_, static_cast<int>(a * 10 / step_), kind_);
  }
  void End() {
    if (db_.ProgressUpdate) db_.ProgressUpdate(db_, 0, kind_);
  }

 private:
  TQDB& db_;
  TProgressOrigin kind_;
  size_t step_;
};

TQDB::TQDB() = default;

TQDB::~TQDB() { CloseNoThrow(); }

void TQDB::CloseNoThrow() {
  try {
    Close();
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured while closing " + file_name_);
  }
}

// --- Properties ------------------------------------------------------------

void TQDB::SetFileName(const std::string& name) {
  std::string n = name;
  if (expanded_file_names_ && !n.empty()) n = AbsolutePath(n);
  if (n == file_name_) return;
  try {
    if (file_assigned_) Close();
    file_name_ = n;
    if (!file_name_.empty() && ExtractFileExt(file_name_).empty()) file_name_ += ".QDB";
    if (!file_name_.empty()) Open();
    if (OnFileAssigned) OnFileAssigned(*this);
  } catch (...) {
    DeleteWorkingFiles();
    ResetState();
    file_name_.clear();
    throw;
  }
}

void TQDB::SetCacheSize(int bytes) { cache_.SetLimit(bytes); }

void TQDB::SetPassword(const TPassword& password) {
  TPassword cut = password.size() > 255 ? password.substr(0, 255) : password;
  // A new password on an open mailbox re-enciphers the whole file at close.
  if (file_assigned_ && cut != password_) container_stale_ = true;
  password_ = cut;
}

TIndex TQDB::IndexEntry(int index) const {
  RequireFile();
  if (index < 0 || index >= Count()) throw EQDBOutOfBounds(qdb_msg::kOutOfBounds);
  return ordinary_.Index(static_cast<size_t>(index));
}

// --- Open and close --------------------------------------------------------

void TQDB::Open() {
  if (!FileExists(file_name_)) {
    try {
      WriteFileAtomically(file_name_, EmptyQdbContainer());
    } catch (const FileError& e) {
      throw QdbFileErrorFromErrno(e.code(), file_name_);
    }
  }
  struct stat st;
  if (::stat(file_name_.c_str(), &st) != 0) throw QdbFileErrorFromErrno(errno, file_name_);
  read_only_ = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(file_name_.c_str(), W_OK) != 0;

  // Hold the mailbox file locked while it is open, so that a second engine
  // (here or in another process) cannot write back an older copy over ours.
  lock_fd_.Reset(OpenOrThrow(file_name_, read_only_ ? O_RDONLY : O_RDWR, file_name_));
  if (::flock(lock_fd_.get(), (read_only_ ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0)
    throw QdbFileErrorFromErrno(errno == EWOULDBLOCK ? EBUSY : errno, file_name_);

  CreateWorkingFiles(data_path_, index_path_);
  data_fd_.Reset(OpenOrThrow(data_path_, O_RDWR, data_path_));
  QdbFd index_fd(OpenOrThrow(index_path_, O_RDWR, index_path_));
  bool asked = false;
  QdbPasswordSource ask = [this, &asked]() {
    TPassword pw;
    if (!asked && OnDemandPassword) OnDemandPassword(*this, pw);
    asked = true;
    return pw.size() > 255 ? pw.substr(0, 255) : pw;
  };
  QdbSections s =
      ReadQdbContainer(lock_fd_.get(), file_name_, password_, ask, data_fd_.get(), index_fd.get(), true);
  data_end_ = s.data_length;
  base_at_ = s.data_copied ? 0 : s.data_at;
  base_length_ = s.data_copied ? 0 : s.data_length;
  overwritten_.clear();
  index_fd.Reset();
  LoadIndex();

  item_index_ = 0;
  key_ = ordinary_.Count() > 0 ? ordinary_.Key(0) : std::string();
  bof_ = true;
  eof_ = ordinary_.Count() == 0;
  dirty_ = false;
  container_stale_ = false;
  file_assigned_ = true;
}

void TQDB::NotValid() const { throw EQDBIndexError(FormatQdbMessage(qdb_msg::kNotValid, file_name_)); }

void TQDB::LoadIndex() {
  std::string section;
  try {
    section = ReadFileBytes(index_path_);
  } catch (const FileError& e) {
    throw QdbFileErrorFromErrno(e.code(), index_path_);
  }
  try {
    const size_t x = section.size();
    if (x < 4) NotValid();
    const char* p = section.data();
    int32_t count = GetInt32(p);
    // The count must fit the section: it never sizes anything by itself.
    if (count < 0 || static_cast<size_t>(count) > (x - 4) / kMinEntrySize) NotValid();
    ordinary_.SetSorted(false);
    ordinary_.Reserve(static_cast<size_t>(count));
    Progress progress(*this, TProgressOrigin::poLoading, static_cast<size_t>(count));
    size_t pos = 4;
    for (int32_t i = 0; i < count; ++i) {
      size_t limit = std::min(x, pos + kMaxKeyLength + 1);
      const void* z = std::memchr(p + pos, 0, limit - pos);
      if (!z) NotValid();
      size_t key_len = static_cast<const char*>(z) - (p + pos);
      if (x - (pos + key_len + 1) < 12) NotValid();
      std::string key(p + pos, key_len);
      pos += key_len + 1;
      TIndex idx;
      idx.offset = GetInt32(p + pos);
      idx.length = GetInt32(p + pos + 4);
      idx.flags = static_cast<uint32_t>(GetInt32(p + pos + 8)) & (kQdbFlagAdmin | kQdbFlagCompressed);
      pos += 12;
      if (idx.offset < 0 || idx.length < 0 || int64_t(idx.offset) + idx.length > data_end_) NotValid();
      if (idx.flags & kQdbFlagAdmin) admin_.Add(std::move(key), idx);
      else ordinary_.Add(std::move(key), idx);
      progress.Item(static_cast<size_t>(i) + 1);
    }
    ordinary_.Reverse();
    ordinary_.SetSorted(true);
    size_t at;
    if (admin_.Find(kCaseSensitiveItem, at)) {
      const TIndex& ci = admin_.Index(at);
      if (ci.length == 1 && !(ci.flags & kQdbFlagCompressed)) {
        char b = 0;
        int64_t at;
        int fd = BodyFd(ci, at);
        if (!QdbReadAt(fd, at, &b, 1)) NotValid();
        ordinary_.SetCaseSensitive(b == 1);
      }
    }
    // Another writer may have collated differently; put the keys in our order
    // rather than let the binary search miss them. Equal keys are refused.
    if (!ordinary_.InStrictOrder()) ordinary_.SortUnique();
    // Bodies must not overlap: an in-place change would overwrite another item.
    std::vector<std::pair<int64_t, int64_t>> spans;
    spans.reserve(ordinary_.Count() + admin_.Count());
    for (TQDBStringList* list : {&ordinary_, &admin_})
      for (size_t i = 0; i < list->Count(); ++i) {
        const TIndex& e = list->Index(i);
        if (e.length > 0) spans.emplace_back(e.offset, int64_t(e.offset) + e.length);
      }
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i)
      if (spans[i].first < spans[i - 1].second) NotValid();
    progress.End();
  } catch (const EQDBListError&) {
    NotValid();
  } catch (const std::bad_alloc&) {
    NotValid();
  } catch (const std::length_error&) {
    NotValid();
  }
}

std::string TQDB::BuildIndexSection(bool free_entries, TProgressOrigin kind) {
  const size_t n = ordinary_.Count() + admin_.Count();
  std::string s;
  s.reserve(4 + n * 20);
  PutInt32(s, static_cast<int32_t>(n));
  Progress progress(*this, kind, n);
  size_t a = 0;
  for (TQDBStringList* list : {&admin_, &ordinary_}) {
    for (size_t i = list->Count(); i-- > 0;) {
      progress.Item(a++);
      s.append(list->Key(i));
      s.push_back('\0');
      const TIndex& e = list->Index(i);
      PutInt32(s, e.offset);
      PutInt32(s, e.length);
      PutInt32(s, static_cast<int32_t>(e.flags));
      if (free_entries) list->Delete(i);
    }
  }
  progress.End();
  return s;
}

void TQDB::ReplaceIndexWorkingFile(const std::string& section) {
  std::string tmp;
  try {
    tmp = CreateUniqueFile(ExtractFilePath(index_path_), "QDT");
  } catch (const FileError&) {
    throw EQDBIndexError(qdb_msg::kNoTempFile);
  }
  try {
    QdbFd fd(OpenOrThrow(tmp, O_WRONLY | O_TRUNC, tmp));
    for (size_t done = 0; done < section.size(); done += kIndexWriteBuffer) {
      size_t len = std::min(kIndexWriteBuffer, section.size() - done);
      if (!QdbWriteAt(fd.get(), static_cast<int64_t>(done), section.data() + done, len))
        throw QdbFileErrorFromErrno(errno, index_path_);
    }
    if (::close(fd.Release()) != 0) throw QdbFileErrorFromErrno(errno, index_path_);
    if (!RenamePath(tmp, index_path_)) throw QdbFileErrorFromErrno(errno, index_path_);
  } catch (...) {
    RemoveFile(tmp);
    throw;
  }
}

void TQDB::WriteIndexWorkingFile(bool free_entries, TProgressOrigin kind) {
  ReplaceIndexWorkingFile(BuildIndexSection(free_entries, kind));
}

void TQDB::ReopenDataFile() {
  data_fd_.Reset();
  data_fd_.Reset(OpenOrThrow(data_path_, O_RDWR, data_path_));
}

void TQDB::Close() {
  if (!file_assigned_) {
    DeleteWorkingFiles();
    ResetState();
    return;
  }
  bool keep_working_files = false;
  try {
    if (read_only_ || !save_on_close_) {
      Progress progress(*this, TProgressOrigin::poClosing, 0);
      progress.Item(0);
      ordinary_.Clear();
      admin_.Clear();
      progress.End();
    } else {
      WriteIndexWorkingFile(true, TProgressOrigin::poClosing);
    }
    cache_.Clear();
    dirty_ = false;
    // A mailbox only read keeps its file as it is.
    if (!read_only_ && container_stale_) {
      QdbFd index_fd(OpenOrThrow(index_path_, O_RDONLY, index_path_));
      struct stat st;
      if (::fstat(index_fd.get(), &st) != 0) throw QdbFileErrorFromErrno(errno, index_path_);
      // Should the mailbox file not be written, the working files are all
      // that holds the changes: leave them for recovery.
      keep_working_files = true;
      WriteQdbContainer(file_name_, DataSegments(), index_fd.get(), st.st_size, password_);
      keep_working_files = false;
    }
  } catch (...) {
    if (!keep_working_files) DeleteWorkingFiles();
    else {
      data_path_.clear();
      index_path_.clear();
    }
    ResetState();
    throw;
  }
  DeleteWorkingFiles();
  ResetState();
}

void TQDB::DeleteWorkingFiles() {
  data_fd_.Reset();
  if (!data_path_.empty()) RemoveFile(data_path_);
  if (!index_path_.empty()) RemoveFile(index_path_);
  data_path_.clear();
  index_path_.clear();
}

void TQDB::ResetState() {
  data_fd_.Reset();
  lock_fd_.Reset();
  ordinary_.Clear();
  ordinary_.SetCaseSensitive(false);
  ordinary_.SetSorted(true);
  admin_.Clear();
  cache_.Clear();
  item_index_ = 0;
  key_.clear();
  password_.clear();
  file_assigned_ = false;
  dirty_ = false;
  container_stale_ = false;
  read_only_ = false;
  compression_ = false;
  data_end_ = 0;
  base_at_ = base_length_ = 0;
  overwritten_.clear();
  bof_ = eof_ = true;
}

// --- Checks ----------------------------------------------------------------

void TQDB::RequireFile() const {
  if (!file_assigned_) throw EQDBNoFile(qdb_msg::kNoFile);
}

bool TQDB::CheckNoData() {
  if (ordinary_.Count() > 0) return true;
  if (WarnNoData) {
    WarnNoData(*this);
    return false;
  }
  throw EQDBNoData(FormatQdbMessage(qdb_msg::kNoData, file_name_));
}

bool TQDB::CheckReadOnly() {
  if (!read_only_) return true;
  if (WarnReadOnly) {
    WarnReadOnly(*this);
    return false;
  }
  throw EQDBReadOnly(FormatQdbMessage(qdb_msg::kReadOnly, file_name_));
}

void TQDB::Navigate() {
  if (update_count_ == 0 && OnNavigate) OnNavigate(*this);
}

// --- Items -----------------------------------------------------------------

int64_t TQDB::AppendBody(const std::string& body) {
  int64_t at = data_end_;
  if (!QdbWriteAt(data_fd_.get(), at, body.data(), body.size())) {
    int e = errno;
    // Leave no partial tail behind: the next append starts at data_end_.
    if (::ftruncate(data_fd_.get(), data_end_) != 0) {
    }
    throw QdbFileErrorFromErrno(e, file_name_);
  }
  data_end_ += static_cast<int64_t>(body.size());
  return at;
}

void TQDB::Add(std::string_view data, const TKey& key) {
  RequireFile();
  if (!CheckReadOnly()) return;
  if (key.size() > kMaxKeyLength || key.find('\0') != std::string::npos)
    throw EQDBIndexError(FormatQdbMessage(qdb_msg::kInvalidKey, key));
  size_t pos;
  if (ordinary_.Find(key, pos)) throw EQDBIndexError(qdb_msg::kDuplicate);
  std::string body = StoredForm(data, compression_);
  if (data_end_ + static_cast<int64_t>(body.size()) > INT32_MAX)
    throw EQDBFileError(FormatQdbMessage(qdb_msg::kNotValid, file_name_));
  TIndex idx;
  idx.length = static_cast<int32_t>(body.size());
  idx.flags = compression_ ? kQdbFlagCompressed : 0;
  idx.offset = static_cast<int32_t>(AppendBody(body));
  try {
    pos = ordinary_.Add(key, idx);
  } catch (const std::bad_alloc&) {
    throw EQDBIndexError(FormatQdbMessage(qdb_msg::kNoMemoryIndex, std::to_string(ordinary_.Count() + 1)));
  }
  item_index_ = static_cast<int>(pos);
  key_ = key;
  cache_.Offer(key, data);
  dirty_ = true;
  container_stale_ = true;
  if (OnAdded) OnAdded(*this);
  Navigate();
}

void TQDB::Change(std::string_view data) {
  RequireFile();
  if (!CheckNoData() || !CheckReadOnly()) return;
  const size_t i = static_cast<size_t>(item_index_);
  const std::string key = ordinary_.Key(i);
  cache_.Remove(key);
  std::string body = StoredForm(data, compression_);
  TIndex& idx = ordinary_.Index(i);
  if (static_cast<int64_t>(body.size()) > idx.length) {
    // A longer body goes to the end; nothing already written moves.
    if (data_end_ + static_cast<int64_t>(body.size()) > INT32_MAX)
      throw EQDBFileError(FormatQdbMessage(qdb_msg::kCannotExtend, file_name_));
    idx.offset = static_cast<int32_t>(AppendBody(body));
  } else {
    if (!QdbWriteAt(data_fd_.get(), idx.offset, body.data(), body.size()))
      throw QdbFileErrorFromErrno(errno, file_name_);
    if (idx.offset < base_length_) {
      int64_t& end = overwritten_[idx.offset];
      end = std::max<int64_t>(end, int64_t(idx.offset) + static_cast<int64_t>(body.size()));
    }
  }
  idx.length = static_cast<int32_t>(body.size());
  idx.flags = (idx.flags & ~kQdbFlagCompressed) | (compression_ ? kQdbFlagCompressed : 0);
  cache_.Offer(key, data);
  dirty_ = true;
  container_stale_ = true;
  if (OnChanged) OnChanged(*this);
}

int TQDB::BodyFd(const TIndex& index, int64_t& at) const {
  if (index.offset < base_length_ && overwritten_.find(index.offset) == overwritten_.end()) {
    at = base_at_ + index.offset;
    return lock_fd_.get();
  }
  at = index.offset;
  return data_fd_.get();
}

std::vector<QdbSegment> TQDB::DataSegments() const {
  std::vector<QdbSegment> segs;
  int64_t pos = 0;
  for (const auto& [from, end] : overwritten_) {
    if (from > pos) segs.push_back({lock_fd_.get(), base_at_ + pos, from - pos});
    segs.push_back({data_fd_.get(), from, end - from});
    pos = end;
  }
  if (base_length_ > pos) segs.push_back({lock_fd_.get(), base_at_ + pos, base_length_ - pos});
  pos = std::max(pos, base_length_);
  if (data_end_ > pos) segs.push_back({data_fd_.get(), pos, data_end_ - pos});
  return segs;
}

std::string TQDB::ReadBody(const TIndex& index) {
  std::string body;
  try {
    body.resize(static_cast<size_t>(index.length));
  } catch (const std::bad_alloc&) {
    throw EQDBNoCompress(qdb_msg::kNoCompress);
  }
  int64_t at;
  int fd = BodyFd(index, at);
  if (!QdbReadAt(fd, at, body.data(), body.size())) NotValid();
  if (!(index.flags & kQdbFlagCompressed)) return body;
  try {
    return ExpandItem(body.data(), body.size());
  } catch (const QdbCorruptItem&) {
    NotValid();
  } catch (const std::bad_alloc&) {
    throw EQDBNoCompress(qdb_msg::kNoCompress);
  }
}

void TQDB::Get(std::string& out) {
  out.clear();
  RequireFile();
  if (!CheckNoData()) return;
  const size_t i = static_cast<size_t>(item_index_);
  const std::string& key = ordinary_.Key(i);
  if (cache_.Lookup(key, out)) return;
  out = ReadBody(ordinary_.Index(i));
  cache_.Offer(key, out);
}

void TQDB::GetHead(std::string& out, size_t max_bytes) {
  out.clear();
  RequireFile();
  if (!CheckNoData()) return;
  const size_t i = static_cast<size_t>(item_index_);
  const TIndex& index = ordinary_.Index(i);
  if (cache_.Lookup(ordinary_.Key(i), out) || (index.flags & kQdbFlagCompressed)) {
    if (out.empty()) out = ReadBody(index);
    if (out.size() > max_bytes) out.resize(max_bytes);
    return;
  }
  out.resize(std::min(max_bytes, static_cast<size_t>(index.length)));
  int64_t at;
  int fd = BodyFd(index, at);
  if (!QdbReadAt(fd, at, out.data(), out.size())) NotValid();
}

std::string TQDB::Get() {
  std::string s;
  Get(s);
  return s;
}

void TQDB::RemoveCurrent() {
  if (!CheckReadOnly() || !CheckNoData()) return;
  const size_t i = static_cast<size_t>(item_index_);
  cache_.Remove(ordinary_.Key(i));
  ordinary_.Delete(i);
  dirty_ = true;
  container_stale_ = true;
  if (item_index_ > 0) {
    GoTo(item_index_ - 1);
  } else {
    key_.clear();
    item_index_ = 0;
  }
  if (OnDeleted) OnDeleted(*this);
}

void TQDB::Delete() {
  RequireFile();
  if (BeforeDelete) BeforeDelete(*this);
  RemoveCurrent();
  if (AfterDelete) AfterDelete(*this);
}

bool TQDB::FindKey(const TKey& key) {
  RequireFile();
  size_t pos;
  if (!ordinary_.Find(key, pos)) return false;
  GoTo(static_cast<int>(pos));
  if (OnFound) OnFound(*this);
  return true;
}

bool TQDB::KeyExists(const TKey& key) const {
  RequireFile();
  size_t pos;
  return ordinary_.Find(key, pos);
}

void TQDB::GoTo(int index) {
  RequireFile();
  if (!CheckNoData()) return;
  if (index < 0 || index >= Count()) {
    if (WarnOutOfBounds) {
      WarnOutOfBounds(*this);
      return;
    }
    throw EQDBOutOfBounds(qdb_msg::kOutOfBounds);
  }
  item_index_ = index;
  key_ = ordinary_.Key(static_cast<size_t>(index));
  bof_ = index == 0;
  eof_ = index == Count() - 1;
  Navigate();
}

void TQDB::GetKeys(StringList& keys) {
  RequireFile();
  keys.clear();
  const size_t n = ordinary_.Count();
  keys.reserve(n);
  Progress progress(*this, TProgressOrigin::poListing, n);
  for (size_t i = 0; i < n; ++i) {
    keys.push_back(ordinary_.Key(i));
    progress.Item(i + 1);
  }
  progress.End();
}

StringList TQDB::GetKeys() {
  StringList keys;
  GetKeys(keys);
  return keys;
}

bool TQDB::AdminKeyExists(const TKey& key) const {
  RequireFile();
  size_t pos;
  return admin_.Find(key, pos);
}

std::string TQDB::GetAdminItem(const TKey& key) {
  RequireFile();
  size_t pos;
  if (!admin_.Find(key, pos)) throw EQDBBadKey(FormatQdbMessage(qdb_msg::kBadKey, key));
  return ReadBody(admin_.Index(pos));
}

void TQDB::First() {
  RequireFile();
  if (Count() == 0) {
    bof_ = eof_ = true;
    return;
  }
  GoTo(0);
}

void TQDB::Last() {
  RequireFile();
  if (Count() == 0) {
    bof_ = eof_ = true;
    return;
  }
  GoTo(Count() - 1);
}

void TQDB::Next() {
  RequireFile();
  if (item_index_ + 1 >= Count()) {
    eof_ = true;
    return;
  }
  GoTo(item_index_ + 1);
}

void TQDB::Prior() {
  RequireFile();
  if (item_index_ <= 0) {
    bof_ = true;
    return;
  }
  GoTo(item_index_ - 1);
}

void TQDB::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0) Navigate();
}

// --- Whole-file operations -------------------------------------------------

void TQDB::Pack() {
  RequireFile();
  if (!CheckReadOnly()) return;
  const int remembered = item_index_;
  std::string tmp;
  try {
    tmp = CreateUniqueFile(ExtractFilePath(data_path_), "QDB");
  } catch (const FileError&) {
    throw EQDBIndexError(qdb_msg::kNoTempFile);
  }
  const size_t n = admin_.Count() + ordinary_.Count();
  // Offsets change only once the new file is complete.
  std::vector<int32_t> offsets;
  int64_t end = 0;
  try {
    QdbFd out(OpenOrThrow(tmp, O_RDWR | O_TRUNC, tmp));
    offsets.reserve(n);
    Progress progress(*this, TProgressOrigin::poPacking, n);
    std::vector<char> buf;
    size_t a = 0;
    for (TQDBStringList* list : {&admin_, &ordinary_}) {
      for (size_t i = 0; i < list->Count(); ++i) {
        const TIndex& e = list->Index(i);
        buf.resize(static_cast<size_t>(e.length));
        int64_t at;
        int fd = BodyFd(e, at);
        if (!QdbReadAt(fd, at, buf.data(), buf.size())) NotValid();
        if (!QdbWriteAt(out.get(), end, buf.data(), buf.size())) throw QdbFileErrorFromErrno(errno, file_name_);
        offsets.push_back(static_cast<int32_t>(end));
        end += e.length;
        progress.Item(++a);
      }
    }
    if (::close(out.Release()) != 0) throw QdbFileErrorFromErrno(errno, file_name_);
    data_fd_.Reset();
    if (!RenamePath(tmp, data_path_)) {
      int e = errno;
      ReopenDataFile();
      throw QdbFileErrorFromErrno(e, file_name_);
    }
    progress.End();
  } catch (...) {
    RemoveFile(tmp);
    throw;
  }
  size_t k = 0;
  for (TQDBStringList* list : {&admin_, &ordinary_})
    for (size_t i = 0; i < list->Count(); ++i) list->Index(i).offset = offsets[k++];
  data_end_ = end;
  base_length_ = 0;
  overwritten_.clear();
  container_stale_ = true;
  ReopenDataFile();
  if (remembered > 0 && remembered < Count()) GoTo(remembered);
}

void TQDB::Compress() {
  RequireFile();
  if (!CheckReadOnly()) return;
  compression_ = true;
  BeginUpdate();
  try {
    const size_t n = ordinary_.Count();
    Progress progress(*this, TProgressOrigin::poCompressing, n);
    std::string plain;
    for (size_t i = 0; i < n; ++i) {
      if (!(ordinary_.Index(i).flags & kQdbFlagCompressed)) {
        item_index_ = static_cast<int>(i);
        key_ = ordinary_.Key(i);
        Get(plain);
        Change(plain);
      }
      progress.Item(i + 1);
    }
    progress.End();
    Pack();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TQDB::Save() {
  RequireFile();
  if (read_only_ || !dirty_) return;
  WriteIndexWorkingFile(false, TProgressOrigin::poSaving);
  ReopenDataFile();
  dirty_ = false;
}

void TQDB::Flush() {
  RequireFile();
  if (!CheckReadOnly()) return;
  WriteIndexWorkingFile(false, TProgressOrigin::poSaving);
  QdbFd index_fd(OpenOrThrow(index_path_, O_RDONLY, index_path_));
  struct stat st;
  if (::fstat(index_fd.get(), &st) != 0) throw QdbFileErrorFromErrno(errno, index_path_);
  const int64_t data_at = WriteQdbContainer(file_name_, DataSegments(), index_fd.get(), st.st_size, password_);
  dirty_ = false;
  container_stale_ = false;
  // The rename gave the path a new file; hold the lock on that one now, and
  // read the unprotected data section from it in place. Until then the old
  // file, still open, keeps serving reads.
  int fd = ::open(file_name_.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return;
  }
  lock_fd_.Reset(fd);
  if (password_.empty()) {
    base_at_ = data_at;
    base_length_ = data_end_;
    overwritten_.clear();
  }
}

}  // namespace qm
