#pragma once
// A key list of the engine: key texts in a paged array, each with its index
// entry, kept in key order (or appended in file order while loading).
#include <cstdint>
#include <string>
#include <string_view>

#include "store/qdb_list.h"

namespace qm {

inline constexpr uint32_t kQdbFlagAdmin = 1;
inline constexpr uint32_t kQdbFlagCompressed = 2;

// Where an item's body lies in the data working file.
struct TIndex {
  int32_t offset = 0;
  int32_t length = 0;  // stored length (compressed size when compressed)
  uint32_t flags = 0;
};

class TQDBStringList {
 public:
  struct Item {
    std::string key;
    TIndex index;
  };

  TQDBStringList() = default;
  ~TQDBStringList() { Clear(); }
  TQDBStringList(const TQDBStringList&) = delete;
  TQDBStringList& operator=(const TQDBStringList&) = delete;

  bool CaseSensitive() const { return case_sensitive_; }
  void SetCaseSensitive(bool on) { case_sensitive_ = on; }
  bool Sorted() const { return sorted_; }
  void SetSorted(bool on) { sorted_ = on; }

  size_t Count() const { return list_.Count(); }
  const std::string& Key(size_t i) const { return list_.Get(i)->key; }
  TIndex& Index(size_t i) { return list_.Get(i)->index; }
  const TIndex& Index(size_t i) const { return list_.Get(i)->index; }

  int Compare(std::string_view a, std::string_view b) const;

  // Binary search; true with the position when found, else false with the
  // insertion position.
  bool Find(std::string_view key, size_t& pos) const;

  // Sorted: inserts at the search position, throwing EQDBListError on a
  // duplicate. Unsorted: appends. Returns the position.
  size_t Add(std::string key, const TIndex& index);
  void Delete(size_t pos);
  void Reserve(size_t n) { list_.Reserve(n); }
  void Reverse() { list_.Reverse(); }
  void Clear();

  // True when the keys stand in strictly ascending order.
  bool InStrictOrder() const;
  // Sorts the keys (stable); throws EQDBListError when two keys are equal.
  void SortUnique();

 private:
  TQDBList<Item> list_;
  bool case_sensitive_ = false;
  bool sorted_ = true;
};

}  // namespace qm
