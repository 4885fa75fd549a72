#pragma once
// TQDB: the engine behind one mailbox file (.zqf). It keeps the index in
// memory as a sorted key list, appends item bodies to a data working file,
// caches recently read bodies and writes the whole container back at close
// (or at Flush). One engine is used by one thread at a time; the caller
// serialises access. Engines share no state, so separate engines may run on
// separate threads.
//
// Item operations raise EQDBNoFile while no file is open and the other
// exceptions of store/qdb_errors.h; their texts are the ones shown to users.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_lines.h"
#include "store/qdb_cache.h"
#include "store/qdb_container.h"
#include "store/qdb_errors.h"
#include "store/qdb_string_list.h"

namespace qm {

using TKey = std::string;
using TPassword = std::string;

// What a progress report is about (in this order: the numbers are stable).
enum class TProgressOrigin {
  poLoading = 0,
  poClosing = 1,
  poSaving = 2,
  poPacking = 3,
  poListing = 4,
  poCompressing = 5,
};

class TQDB;
using TNotifyEvent = std::function<void(TQDB& sender)>;
// Receives the password by reference (initially empty) and fills it in.
using TPasswordEvent = std::function<void(TQDB& sender, TPassword& password)>;
using TProgressEvent = std::function<void(TQDB& sender, int percent, TProgressOrigin kind)>;

class TQDB {
 public:
  TQDB();
  // Closes the file; a failure is reported through ReportError.
  ~TQDB();
  TQDB(const TQDB&) = delete;
  TQDB& operator=(const TQDB&) = delete;

  // --- Properties --------------------------------------------------------
  const std::string& FileName() const { return file_name_; }
  // Opens the named file (created empty when missing), closing the one open
  // before; an empty name just closes. A name without extension gets ".QDB".
  // On failure FileName is empty, the engine closed, and the error passes on.
  void SetFileName(const std::string& name);

  bool ReadOnly() const { return read_only_; }
  // On after Compress until the file closes: Add and Change then compress.
  bool Compression() const { return compression_; }

  int CacheSize() const { return static_cast<int>(cache_.Limit()); }
  void SetCacheSize(int bytes);  // empties the cache
  // Cache hits per lookup in percent; setting any value resets the counters.
  int CacheFrequency() const { return cache_.HitRate(); }
  void SetCacheFrequency(int) { cache_.ResetCounters(); }
  int64_t CacheLookups() const { return cache_.Lookups(); }
  int64_t CacheHits() const { return cache_.Hits(); }
  int64_t CacheEvictions() const { return cache_.Evictions(); }

  bool SaveOnClose() const { return save_on_close_; }
  void SetSaveOnClose(bool on) { save_on_close_ = on; }
  bool ExpandedFileNames() const { return expanded_file_names_; }
  void SetExpandedFileNames(bool on) { expanded_file_names_ = on; }
  // Carried for callers of the component; this system never sets them and
  // only the empty filter (every key visible) is supported.
  const TKey& Filter() const { return filter_; }
  bool UseGrepMatch() const { return use_grep_match_; }
  bool AggressiveUpdate() const { return aggressive_update_; }
  void SetUseGrepMatch(bool on) { use_grep_match_ = on; }
  void SetAggressiveUpdate(bool on) { aggressive_update_ = on; }

  // --- Public state ------------------------------------------------------
  int Count() const { return static_cast<int>(ordinary_.Count()); }
  int ItemIndex() const { return item_index_; }
  const TKey& Key() const { return key_; }
  const TPassword& Password() const { return password_; }
  // Set before opening a protected file (or before closing, to protect it);
  // longer texts are cut to 255 characters.
  void SetPassword(const TPassword& password);
  bool FileAssigned() const { return file_assigned_; }
  bool Dirty() const { return dirty_; }
  // Ordinary keys compare case-sensitively (the file says so).
  bool CaseSensitive() const { return ordinary_.CaseSensitive(); }
  // First/last flags kept by the moves below.
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }

  // --- Items -------------------------------------------------------------
  // Stores `data` as a new item under `key` and makes it current. Keys hold
  // at most 255 bytes and no zero byte.
  void Add(std::string_view data, const TKey& key);
  // Replaces the current item's body.
  void Change(std::string_view data);
  // The current item's plain bytes.
  void Get(std::string& out);
  std::string Get();
  // At most `max_bytes` of the current item's plain bytes from its start
  // (readers that need only an item's head); nothing enters the cache.
  void GetHead(std::string& out, size_t max_bytes);
  // Removes the current item (BeforeDelete, removal, AfterDelete).
  void Delete();
  // Makes the key current when it exists (fires OnFound).
  bool FindKey(const TKey& key);
  bool KeyExists(const TKey& key) const;
  // Makes the item at `index` (0-based, key order) current.
  void GoTo(int index);
  // All ordinary keys in ascending key order.
  void GetKeys(StringList& keys);
  StringList GetKeys();

  // Administrative items: never visible as ordinary keys, carried unchanged.
  bool AdminKeyExists(const TKey& key) const;
  // Throws EQDBBadKey when missing.
  std::string GetAdminItem(const TKey& key);

  // Moves of a navigator; they keep Bof/Eof.
  void First();
  void Last();
  void Next();
  void Prior();

  // Rewrites the data working file without dead space.
  void Pack();
  // Stores every item compressed from now on, then packs.
  void Compress();
  // Writes the index working file; the mailbox file is left alone.
  void Save();
  // Writes the mailbox file now (atomically) and keeps the file open, so new
  // items are durable before the caller relies on them.
  void Flush();

  void BeginUpdate() { ++update_count_; }
  void EndUpdate();

  // --- Events ------------------------------------------------------------
  TNotifyEvent OnAdded, OnChanged, OnDeleted, OnFound, OnNavigate, OnFileAssigned;
  TNotifyEvent BeforeDelete, AfterDelete;
  TPasswordEvent OnDemandPassword;
  TProgressEvent ProgressUpdate;
  // When assigned they replace EQDBNoData, EQDBOutOfBounds and EQDBReadOnly,
  // and the operation then does nothing.
  TNotifyEvent WarnNoData, WarnOutOfBounds, WarnReadOnly;
  // Called before each progress report so the caller can handle its pending
  // window messages (pump its event loop).
  std::function<void()> ProcessMessages;

  // Working file paths while open (for diagnosis and tests).
  const std::string& DataWorkingFile() const { return data_path_; }
  const std::string& IndexWorkingFile() const { return index_path_; }
  // Bytes in the data working file, dead space included.
  int64_t DataSize() const { return data_end_; }
  // The index entry of the item at `index` (key order).
  TIndex IndexEntry(int index) const;

 private:
  class Progress;

  void Open();
  void Close();
  void CloseNoThrow();
  void LoadIndex();
  std::string BuildIndexSection(bool free_entries, TProgressOrigin kind);
  void WriteIndexWorkingFile(bool free_entries, TProgressOrigin kind);
  void ReplaceIndexWorkingFile(const std::string& section);
  void ReopenDataFile();
  void DeleteWorkingFiles();
  void ResetState();

  void RequireFile() const;
  // False when the warning event handled it (the operation then does nothing).
  bool CheckNoData();
  bool CheckReadOnly();
  void Navigate();
  std::string ReadBody(const TIndex& index);
  // Where a body's stored bytes are now: the mailbox file or the working file.
  int BodyFd(const TIndex& index, int64_t& at) const;
  std::vector<QdbSegment> DataSegments() const;
  void RemoveCurrent();
  int64_t AppendBody(const std::string& body);
  [[noreturn]] void NotValid() const;

  std::string file_name_;
  bool read_only_ = false;
  bool compression_ = false;
  bool save_on_close_ = true;
  bool expanded_file_names_ = true;
  TKey filter_;
  bool use_grep_match_ = false;
  bool aggressive_update_ = false;

  int item_index_ = 0;
  TKey key_;
  TPassword password_;
  bool file_assigned_ = false;
  bool dirty_ = false;
  bool container_stale_ = false;  // the file on disk no longer holds what is open
  bool bof_ = true, eof_ = true;
  int update_count_ = 0;

  TQDBStringList ordinary_;
  TQDBStringList admin_;
  TCacheList cache_{65536};

  std::string data_path_, index_path_;
  QdbFd data_fd_;
  QdbFd lock_fd_;  // the mailbox file, locked while open
  int64_t data_end_ = 0;
  // The first base_length_ bytes of the data section of an unprotected file
  // are read in place from the mailbox file (it does not change while open),
  // so opening copies nothing; the working file holds what was written since.
  // overwritten_ maps the offset of each body rewritten in place below
  // base_length_ to the end of the bytes written there.
  int64_t base_at_ = 0;
  int64_t base_length_ = 0;
  std::map<int64_t, int64_t> overwritten_;
};

}  // namespace qm
