#pragma once
// The engine's key list storage: a two-level paged array of entry pointers.
// A page table of 2^k pages of 2^k pointers gives a capacity of 4^k; the list
// starts at 4 and grows to the next power of four, so inserting in the middle
// moves pointers page by page instead of reallocating one huge block.
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

#include "store/qdb_errors.h"

namespace qm {

template <class T>
class TQDBList {
 public:
  static constexpr unsigned kMaxPageBits = 13;  // 4^13 = 67,108,864 entries

  TQDBList() { Reshape(1); }
  TQDBList(const TQDBList&) = delete;
  TQDBList& operator=(const TQDBList&) = delete;

  size_t Count() const { return count_; }
  size_t Capacity() const { return size_t(1) << (2 * bits_); }

  T* Get(size_t i) const { return pages_[i >> bits_][i & mask_]; }
  void Set(size_t i, T* v) { pages_[i >> bits_][i & mask_] = v; }

  // Makes room for at least n entries; throws EQDBListError beyond the limit.
  void Reserve(size_t n) {
    if (n <= Capacity()) return;
    unsigned b = bits_;
    while ((size_t(1) << (2 * b)) < n) {
      if (++b > kMaxPageBits) throw EQDBListError(qdb_msg::kOutOfBounds);
    }
    Reshape(b);
  }

  void Append(T* v) { Insert(count_, v); }

  void Insert(size_t pos, T* v) {
    if (count_ == Capacity()) Reserve(count_ + 1);
    EnsurePage(count_ >> bits_);
    const size_t last = count_;
    const size_t pg_last = last >> bits_, pg_pos = pos >> bits_;
    const size_t ps = size_t(1) << bits_;
    for (size_t pg = pg_last; pg > pg_pos; --pg) {
      T** page = pages_[pg].get();
      size_t n = (pg == pg_last) ? (last & mask_) : ps - 1;
      std::memmove(page + 1, page, n * sizeof(T*));
      page[0] = pages_[pg - 1][ps - 1];
    }
    T** page = pages_[pg_pos].get();
    size_t off = pos & mask_;
    size_t end = (pg_pos == pg_last) ? (last & mask_) : ps - 1;
    std::memmove(page + off + 1, page + off, (end - off) * sizeof(T*));
    page[off] = v;
    ++count_;
  }

  // Removes the pointer at pos (the caller owns what it points to).
  void Erase(size_t pos) {
    const size_t last = count_ - 1;
    const size_t pg_last = last >> bits_, pg_pos = pos >> bits_;
    const size_t ps = size_t(1) << bits_;
    T** page = pages_[pg_pos].get();
    size_t off = pos & mask_;
    size_t end = (pg_pos == pg_last) ? (last & mask_) : ps - 1;
    std::memmove(page + off, page + off + 1, (end - off) * sizeof(T*));
    for (size_t pg = pg_pos + 1; pg <= pg_last; ++pg) {
      T** next = pages_[pg].get();
      pages_[pg - 1][ps - 1] = next[0];
      size_t n = (pg == pg_last) ? (last & mask_) : ps - 1;
      std::memmove(next, next + 1, n * sizeof(T*));
    }
    --count_;
  }

  void Reverse() {
    if (count_ < 2) return;
    for (size_t i = 0, j = count_ - 1; i < j; ++i, --j) {
      T* a = Get(i);
      Set(i, Get(j));
      Set(j, a);
    }
  }

  void Clear() {
    count_ = 0;
    Reshape(1);
  }

 private:
  void EnsurePage(size_t pg) {
    if (!pages_[pg]) pages_[pg] = std::make_unique<T*[]>(size_t(1) << bits_);
  }

  // Rebuilds the pages with 2^b pointers each, keeping the entries.
  void Reshape(unsigned b) {
    std::vector<std::unique_ptr<T*[]>> pages(size_t(1) << b);
    const size_t ps = size_t(1) << b;
    for (size_t i = 0; i < count_; ++i) {
      size_t pg = i >> b;
      if (!pages[pg]) pages[pg] = std::make_unique<T*[]>(ps);
      pages[pg][i & (ps - 1)] = Get(i);
    }
    pages_ = std::move(pages);
    bits_ = b;
    mask_ = ps - 1;
  }

  std::vector<std::unique_ptr<T*[]>> pages_;
  unsigned bits_ = 0;
  size_t mask_ = 0;
  size_t count_ = 0;
};

}  // namespace qm
