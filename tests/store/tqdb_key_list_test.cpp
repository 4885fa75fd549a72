#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "store/qdb_list.h"
#include "store/qdb_string_list.h"

namespace qm {
namespace {

// The paged array against a plain vector through growth from 4 entries past
// several page-size changes, with inserts and erases at both ends and across
// page boundaries.
TEST(TqdbKeyList, PagedArrayMatchesAVectorThroughGrowth) {
  std::vector<int> values(5000);
  for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<int>(i);
  TQDBList<int> list;
  std::vector<int*> model;
  EXPECT_EQ(list.Capacity(), 4u);
  std::mt19937 rng(11);
  size_t next = 0;
  auto check = [&] {
    ASSERT_EQ(list.Count(), model.size());
    for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(list.Get(i), model[i]) << i;
  };
  while (next < values.size()) {
    size_t pos;
    switch (rng() % 4) {
      case 0: pos = 0; break;
      case 1: pos = model.size(); break;
      default: pos = model.empty() ? 0 : rng() % (model.size() + 1); break;
    }
    list.Insert(pos, &values[next]);
    model.insert(model.begin() + static_cast<long>(pos), &values[next]);
    ++next;
    if (rng() % 5 == 0 && !model.empty()) {
      size_t at = rng() % model.size();
      list.Erase(at);
      model.erase(model.begin() + static_cast<long>(at));
    }
    if (next % 97 == 0) check();
  }
  check();
  // Capacities are powers of four.
  size_t cap = list.Capacity();
  while (cap > 1 && cap % 4 == 0) cap /= 4;
  EXPECT_EQ(cap, 1u);
  list.Reverse();
  std::reverse(model.begin(), model.end());
  check();
  while (!model.empty()) {
    list.Erase(model.size() / 2);
    model.erase(model.begin() + static_cast<long>(model.size() / 2));
  }
  check();
}

TEST(TqdbKeyList, CapacityStopsAt4To13) {
  TQDBList<int> list;
  list.Reserve(size_t(1) << 20);
  EXPECT_EQ(list.Capacity(), size_t(1) << 20);
  try {
    list.Reserve((size_t(1) << 26) + 1);
    ADD_FAILURE();
  } catch (const EQDBListError& e) {
    EXPECT_STREQ(e.what(), "The list index is out of bounds");
  }
}

TEST(TqdbKeyList, SortedListFindsKeysAndInsertionPoints) {
  TQDBStringList list;
  for (const char* k : {"20", "3", "100", "b", "A"}) list.Add(k, TIndex{});
  std::vector<std::string> keys;
  for (size_t i = 0; i < list.Count(); ++i) keys.push_back(list.Key(i));
  EXPECT_EQ(keys, (std::vector<std::string>{"100", "20", "3", "A", "b"}));
  size_t pos;
  EXPECT_TRUE(list.Find("a", pos));
  EXPECT_EQ(pos, 3u);
  EXPECT_FALSE(list.Find("25", pos));
  EXPECT_EQ(pos, 2u);
  EXPECT_FALSE(list.Find("zz", pos));
  EXPECT_EQ(pos, 5u);
  EXPECT_THROW(list.Add("B", TIndex{}), EQDBListError);
  list.SetCaseSensitive(true);
  EXPECT_FALSE(list.Find("a", pos));
  list.SetSorted(false);
  list.Add("0", TIndex{});  // appended, out of order
  EXPECT_EQ(list.Key(5), "0");
  EXPECT_FALSE(list.InStrictOrder());
}

}  // namespace
}  // namespace qm
