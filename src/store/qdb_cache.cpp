#include "store/qdb_cache.h"

namespace qm {

void TCacheList::SetLimit(int64_t limit) {
  limit_ = limit;
  Clear();
}

bool TCacheList::Lookup(const std::string& key, std::string& out) {
  auto it = entries_.find(key);
  if (it == entries_.end()) return false;
  ++lookups_;
  ++hits_;
  by_stamp_.erase(it->second.stamp);
  it->second.stamp = ++clock_;
  by_stamp_.emplace(it->second.stamp, key);
  out.assign(it->second.data);
  return true;
}

void TCacheList::Offer(const std::string& key, std::string_view data) {
  int64_t size = static_cast<int64_t>(data.size());
  if (size >= limit_) return;
  if (entries_.count(key)) return;
  while (!by_stamp_.empty() && total_ + size > limit_) {
    auto oldest = by_stamp_.begin();
    auto it = entries_.find(oldest->second);
    total_ -= static_cast<int64_t>(it->second.data.size());
    entries_.erase(it);
    by_stamp_.erase(oldest);
    ++evictions_;
  }
  uint64_t stamp = ++clock_;
  entries_.emplace(key, Entry{std::string(data), stamp});
  by_stamp_.emplace(stamp, key);
  total_ += size;
  ++lookups_;
}

void TCacheList::Remove(const std::string& key) {
  auto it = entries_.find(key);
  if (it == entries_.end()) return;
  total_ -= static_cast<int64_t>(it->second.data.size());
  by_stamp_.erase(it->second.stamp);
  entries_.erase(it);
}

void TCacheList::Clear() {
  entries_.clear();
  by_stamp_.clear();
  total_ = 0;
}

int TCacheList::HitRate() const {
  if (lookups_ == 0) return 0;
  int64_t num = hits_ * 100;
  int64_t q = num / lookups_, r = num % lookups_;
  if (2 * r > lookups_ || (2 * r == lookups_ && (q % 2) == 1)) ++q;
  return static_cast<int>(q);
}

}  // namespace qm
