// The main window's message list model: sorting by every kind of column,
// equal values keeping their order, and the selection following its rows.
#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <algorithm>
#include <string>
#include <vector>

#include "ui/main_message_list.h"

namespace qm {
namespace {

cMsgRow Row(const std::string& key, const std::string& subject, double date, int size, bool attached) {
  cMsgRow r;
  r.key = key;
  r.subject = subject;
  r.from = r.from_name = "Person " + key;
  r.to = "me@example.invalid";
  r.account = key == "c" ? "work" : "Home";
  r.date = date;
  r.size = size;
  r.has_attachments = attached;
  return r;
}

std::vector<cMsgRow> Rows() {
  return {Row("a", "banana", 3, 500, false), Row("b", "Apple", 1, 200, true), Row("c", "cherry", 2, 500, false),
          Row("d", "apple", 5, 100, true), Row("e", "Date", 4, 300, false)};
}

std::string Keys(const TMsgListModel& m) {
  std::string out;
  for (int i = 0; i < m.Count(); ++i) out += m.Row(i).key;
  return out;
}

TEST(MessageListModel, SortsEveryKindOfColumnKeepingEqualRowsInOrder) {
  struct Case {
    int column;
    Qt::SortOrder order;
    const char* keys;
  } cases[] = {
      {clnSubject, Qt::AscendingOrder, "bdace"},   // case-insensitive; "Apple" before "apple" as they came
      {clnSubject, Qt::DescendingOrder, "ecabd"},
      {clnDateTime, Qt::AscendingOrder, "bcaed"},
      {clnDateTime, Qt::DescendingOrder, "deacb"},
      {clnSize, Qt::AscendingOrder, "dbeac"},      // a and c are equal: a stays first
      {clnSize, Qt::DescendingOrder, "acebd"},
      {clnAttachments, Qt::DescendingOrder, "bdace"},
      {clnAccount, Qt::AscendingOrder, "abdec"},
  };
  for (const Case& c : cases) {
    TMsgListModel m;
    m.AppendRows(Rows());
    m.sort(c.column, c.order);
    EXPECT_EQ(Keys(m), c.keys) << "column " << c.column << " order " << c.order;
  }
}

TEST(MessageListModel, SelectionAndCurrentRowFollowTheirMessagesThroughASort) {
  TMsgListModel m;
  m.AppendRows(Rows());
  QItemSelectionModel sel(&m);
  sel.setCurrentIndex(m.index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);  // c
  sel.select(m.index(4, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);                   // e
  m.sort(clnDateTime, Qt::DescendingOrder);  // d e a c b
  ASSERT_EQ(Keys(m), "deacb");
  EXPECT_EQ(m.Row(sel.currentIndex().row()).key, "c");
  std::string selected;
  for (const QModelIndex& i : sel.selectedRows()) selected += m.Row(i.row()).key;
  std::sort(selected.begin(), selected.end());
  EXPECT_EQ(selected, "ce");
  m.sort(clnDateTime, Qt::AscendingOrder);  // b c a e d: every row moves again
  ASSERT_EQ(Keys(m), "bcaed");
  EXPECT_EQ(sel.currentIndex().row(), 1);
}

TEST(MessageListModel, ARowAddedLaterGoesWhereTheSortPutsIt) {
  TMsgListModel m;
  EXPECT_EQ(m.AddRow(Row("x", "unsorted", 9, 1, false)), 0);
  EXPECT_EQ(m.AddRow(Row("y", "still unsorted", 0, 1, false)), 1) << "before any sort rows are appended";

  TMsgListModel byDate;
  byDate.AppendRows(Rows());
  byDate.sort(clnDateTime, Qt::DescendingOrder);  // d e a c b
  EXPECT_EQ(byDate.AddRow(Row("n", "newest", 9, 1, false)), 0);
  EXPECT_EQ(byDate.AddRow(Row("o", "oldest", 0, 1, false)), 6);
  EXPECT_EQ(byDate.AddRow(Row("s", "same as a", 3, 1, false)), 4) << "after the row of the same date";
  EXPECT_EQ(Keys(byDate), "ndeascbo");

  TMsgListModel bySubject;
  bySubject.AppendRows(Rows());
  bySubject.sort(clnSubject, Qt::AscendingOrder);  // b d a c e
  EXPECT_EQ(bySubject.AddRow(Row("p", "APPLE", 1, 1, false)), 2) << "after Apple and apple";
  EXPECT_EQ(bySubject.AddRow(Row("q", "zebra", 1, 1, false)), 6);
  EXPECT_EQ(Keys(bySubject), "bdpaceq");
}

}  // namespace
}  // namespace qm
