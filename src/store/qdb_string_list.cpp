#include "store/qdb_string_list.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "shell/text_utils.h"

namespace qm {

int TQDBStringList::Compare(std::string_view a, std::string_view b) const {
  if (case_sensitive_) {
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  return CompareTextAscii(a, b);
}

bool TQDBStringList::Find(std::string_view key, size_t& pos) const {
  long low = 0, high = static_cast<long>(list_.Count()) - 1;
  bool found = false;
  while (low <= high) {
    long mid = (low + high) / 2;
    int c = Compare(list_.Get(static_cast<size_t>(mid))->key, key);
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
      if (c == 0) {
        found = true;
        low = mid;
      }
    }
  }
  pos = static_cast<size_t>(low);
  return found;
}

size_t TQDBStringList::Add(std::string key, const TIndex& index) {
  size_t pos = list_.Count();
  if (sorted_ && Find(key, pos)) throw EQDBListError(qdb_msg::kDuplicate);
  auto item = std::make_unique<Item>(Item{std::move(key), index});
  list_.Insert(pos, item.get());
  item.release();
  return pos;
}

void TQDBStringList::Delete(size_t pos) {
  Item* item = list_.Get(pos);
  list_.Erase(pos);
  delete item;
}

void TQDBStringList::Clear() {
  for (size_t i = 0; i < list_.Count(); ++i) delete list_.Get(i);
  list_.Clear();
}

bool TQDBStringList::InStrictOrder() const {
  for (size_t i = 1; i < list_.Count(); ++i) {
    if (Compare(list_.Get(i - 1)->key, list_.Get(i)->key) >= 0) return false;
  }
  return true;
}

void TQDBStringList::SortUnique() {
  std::vector<Item*> items(list_.Count());
  for (size_t i = 0; i < items.size(); ++i) items[i] = list_.Get(i);
  std::stable_sort(items.begin(), items.end(),
                   [this](const Item* a, const Item* b) { return Compare(a->key, b->key) < 0; });
  // Every pointer goes back before a duplicate is reported, so the list still
  // owns each item exactly once.
  for (size_t i = 0; i < items.size(); ++i) list_.Set(i, items[i]);
  for (size_t i = 1; i < items.size(); ++i)
    if (Compare(items[i - 1]->key, items[i]->key) == 0) throw EQDBListError(qdb_msg::kDuplicate);
}

}  // namespace qm
