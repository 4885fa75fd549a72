#pragma once
// The engine's cache of recently used plain item bodies, bounded in bytes and
// evicting the least recently used entry. Keys compare case-sensitively.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace qm {

class TCacheList {
 public:
  explicit TCacheList(int64_t limit = 65536) : limit_(limit) {}

  int64_t Limit() const { return limit_; }
  // Sets the byte limit and empties the cache.
  void SetLimit(int64_t limit);

  // A hit copies the bytes into `out` and refreshes the entry's use stamp.
  bool Lookup(const std::string& key, std::string& out);
  // Takes a copy when it is smaller than the limit, evicting old entries to
  // make room; an already cached key keeps its entry.
  void Offer(const std::string& key, std::string_view data);
  void Remove(const std::string& key);
  void Clear();

  int64_t Lookups() const { return lookups_; }
  int64_t Hits() const { return hits_; }
  int64_t Evictions() const { return evictions_; }
  int64_t TotalBytes() const { return total_; }
  size_t Entries() const { return entries_.size(); }
  // Hits per lookup in percent, rounded half to even; 0 without lookups.
  int HitRate() const;
  void ResetCounters() { lookups_ = hits_ = evictions_ = 0; }

 private:
  struct Entry {
    std::string data;
    uint64_t stamp;
  };
  std::map<std::string, Entry> entries_;
  std::map<uint64_t, std::string> by_stamp_;  // stamps are unique
  int64_t limit_;
  int64_t total_ = 0;
  uint64_t clock_ = 0;
  int64_t lookups_ = 0, hits_ = 0, evictions_ = 0;
};

}  // namespace qm
