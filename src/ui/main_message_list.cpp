#include "ui/main_message_list.h"

#include <QFont>
#include <QLocale>
#include <QMimeData>
#include <algorithm>
#include <numeric>

#include "platform/locale_format.h"
#include "shell/text_utils.h"
#include "store/mail_message.h"
#include "ui/main_icons.h"
#include "ui/qt_text.h"


namespace qm {

const char* MsgColumnName(int column) {
  static const char* const names[kMsgColumnCount] = {"clnSubject",  "clnAuthor", "clnTo",     "clnAttachments",
                                                     "clnDateTime", "clnSize",   "clnAccount"};
  return column >= 0 && column < kMsgColumnCount ? names[column] : "";
}

cMsgRow MsgRowOf(const std::string& key, const cMailMessage& msg) {
  cMailMessage copy = msg;
  return MsgRowOf(key, std::move(copy));
}

cMsgRow MsgRowOf(const std::string& key, cMailMessage&& msg) {
  cMsgRow r;
  r.key = key;
  r.subject = std::move(msg.Subject);
  r.from = std::move(msg.From);
  r.from_name = std::move(msg.FromName);
  r.to = std::move(msg.To);
  r.account = std::move(msg.Account);
  r.size = msg.Size;
  r.date = msg.Date;
  r.read = msg.Read;
  r.answered = msg.Answered;
  r.is_html = msg.IsHTML;
  r.has_attachments = msg.HasAttachments;
  return r;
}

TMsgListModel::TMsgListModel(QObject* parent) : QAbstractTableModel(parent) {}

int TMsgListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}
int TMsgListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kMsgColumnCount; }

namespace {

RowIcon IconOf(const cMsgRow& r) {
  if (!r.read) return RowIcon::Unread;
  if (r.answered) return RowIcon::Answered;
  if (r.is_html) return RowIcon::Html;
  return RowIcon::Read;
}

// Below 1,024 the bytes; then KB and MB with two decimals and the locale's
// thousands separators.
QString ListSizeText(int64_t bytes) {
  if (bytes < 1024) return QString::number(bytes) + " bytes";
  QLocale locale;
  if (bytes < 1048576) return locale.toString(static_cast<double>(bytes) / 1024.0, 'f', 2) + " KB";
  return locale.toString(static_cast<double>(bytes) / 1048576.0, 'f', 2) + " MB";
}

QString DateText(TDateTime date) {
  if (date == 0) return {};
  return Q(FormatShortDate(date) + " " + FormatShortTime(date));
}

}  // namespace

QVariant TMsgListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= Count()) return {};
  const cMsgRow& r = rows_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      switch (index.column()) {
        case clnSubject: return Q(r.subject);
        case clnAuthor: return Q(show_full_name_ ? r.from : r.from_name);
        case clnTo: return Q(r.to);
        case clnAttachments: return r.has_attachments ? QString(QChar(0x2022)) : QString();
        case clnDateTime: return DateText(r.date);
        case clnSize: return ListSizeText(r.size);
        case clnAccount: return Q(r.account);
      }
      return {};
    case Qt::DecorationRole:
      if (index.column() == clnSubject) return RowPicture(IconOf(r));
      return {};
    case Qt::FontRole:
      if (!r.read) {
        QFont f;
        f.setBold(true);
        return f;
      }
      return {};
    case Qt::TextAlignmentRole:
      if (index.column() == clnAttachments) return int(Qt::AlignCenter);
      return {};
    case Qt::UserRole: return Q(r.key);
  }
  return {};
}

QVariant TMsgListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  static const char* const captions[kMsgColumnCount] = {" Subject", " From", " To", "", " DateTime", " Size",
                                                        " Account"};
  if (role == Qt::DisplayRole && section >= 0 && section < kMsgColumnCount) return QString(captions[section]);
  if (role == Qt::DecorationRole && section == clnAttachments) return AttachmentPicture();
  if (role == Qt::ToolTipRole && section == clnAttachments) return QString("Attachments");
  return {};
}

Qt::ItemFlags TMsgListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

bool TMsgListModel::IsNumberColumn(int column) {
  return column == clnDateTime || column == clnSize || column == clnAttachments;
}

double TMsgListModel::NumberKey(const cMsgRow& r, int column) {
  return column == clnDateTime ? r.date : column == clnSize ? r.size : (r.has_attachments ? 1 : 0);
}

bool TMsgListModel::SortsBefore(const cMsgRow& x, const cMsgRow& y) const {
  const bool ascending = sort_order_ == Qt::AscendingOrder;
  if (IsNumberColumn(sort_column_)) {
    const double a = NumberKey(x, sort_column_), b = NumberKey(y, sort_column_);
    return ascending ? a < b : a > b;
  }
  return ascending ? TextLess(x, y, sort_column_) : TextLess(y, x, sort_column_);
}

bool TMsgListModel::TextLess(const cMsgRow& x, const cMsgRow& y, int column) const {
  switch (column) {
    case clnSubject: return CompareTextAscii(x.subject, y.subject) < 0;
    case clnAuthor:
      return (show_full_name_ ? CompareTextAscii(x.from, y.from) : CompareTextAscii(x.from_name, y.from_name)) < 0;
    case clnTo: return CompareTextAscii(x.to, y.to) < 0;
    case clnAccount: return CompareTextAscii(x.account, y.account) < 0;
  }
  return false;
}

void TMsgListModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= kMsgColumnCount) return;
  sort_column_ = column;
  sort_order_ = order;
  if (rows_.size() < 2) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> perm(rows_.size());
  std::iota(perm.begin(), perm.end(), 0);
  if (IsNumberColumn(column)) {
    // Numbers sort as (value, row) pairs side by side: no walk over the rows.
    std::vector<std::pair<double, int>> keyed(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i) keyed[i] = {NumberKey(rows_[i], column), static_cast<int>(i)};
    // Equal values keep their order in either direction.
    if (order == Qt::AscendingOrder)
      std::stable_sort(keyed.begin(), keyed.end(),
                       [](const auto& a, const auto& b) { return a.first < b.first; });
    else
      std::stable_sort(keyed.begin(), keyed.end(),
                       [](const auto& a, const auto& b) { return a.first > b.first; });
    for (size_t i = 0; i < keyed.size(); ++i) perm[i] = keyed[i].second;
  } else {
    std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) {
      return SortsBefore(rows_[static_cast<size_t>(a)], rows_[static_cast<size_t>(b)]);
    });
  }

  std::vector<int> new_row_of(rows_.size());
  for (size_t i = 0; i < perm.size(); ++i) new_row_of[static_cast<size_t>(perm[i])] = static_cast<int>(i);
  // The rows move in place along the permutation's cycles: a second copy of
  // a large list would cost more in fresh memory than the sort itself.
  std::vector<bool> placed(rows_.size());
  for (size_t start = 0; start < perm.size(); ++start) {
    if (placed[start] || static_cast<size_t>(perm[start]) == start) continue;
    cMsgRow held = std::move(rows_[start]);
    size_t at = start;
    for (size_t from = static_cast<size_t>(perm[at]); from != start; from = static_cast<size_t>(perm[at])) {
      rows_[at] = std::move(rows_[from]);
      placed[at] = true;
      at = from;
    }
    rows_[at] = std::move(held);
    placed[at] = true;
  }
  QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& i : from) to.append(index(new_row_of[static_cast<size_t>(i.row())], i.column()));
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QStringList TMsgListModel::mimeTypes() const { return {kMessageRowsMime}; }

QMimeData* TMsgListModel::mimeData(const QModelIndexList& indexes) const {
  // The drop works on the list's selection; the data only marks the drag.
  auto* data = new QMimeData;
  QByteArray keys;
  for (const QModelIndex& i : indexes)
    if (i.column() == 0) keys += QByteArray::fromStdString(rows_[static_cast<size_t>(i.row())].key) + "\n";
  data->setData(kMessageRowsMime, keys);
  return data;
}

void TMsgListModel::Clear() {
  if (rows_.empty()) return;
  beginResetModel();
  rows_.clear();
  rows_.shrink_to_fit();
  endResetModel();
}

void TMsgListModel::AppendRows(std::vector<cMsgRow>&& rows) {
  if (rows.empty()) return;
  int first = Count();
  beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
  if (rows_.empty() && rows_.capacity() < rows.size())
    rows_ = std::move(rows);
  else
    for (auto& r : rows) rows_.push_back(std::move(r));
  endInsertRows();
}

int TMsgListModel::AddRow(cMsgRow row) {
  int at = Count();
  if (sort_column_ >= 0) {
    // The first row the new one sorts before: equal rows keep theirs first,
    // as a stable sort of the list with the new row at its end would.
    auto it = std::upper_bound(rows_.begin(), rows_.end(), row,
                               [this](const cMsgRow& x, const cMsgRow& y) { return SortsBefore(x, y); });
    at = static_cast<int>(it - rows_.begin());
  }
  beginInsertRows({}, at, at);
  rows_.insert(rows_.begin() + at, std::move(row));
  endInsertRows();
  return at;
}

void TMsgListModel::RemoveRowAt(int row) {
  if (row < 0 || row >= Count()) return;
  beginRemoveRows({}, row, row);
  rows_.erase(rows_.begin() + row);
  endRemoveRows();
}

void TMsgListModel::SetRow(int row, cMsgRow value) {
  if (row < 0 || row >= Count()) return;
  rows_[static_cast<size_t>(row)] = std::move(value);
  emit dataChanged(index(row, 0), index(row, kMsgColumnCount - 1));
}

int TMsgListModel::RowOfKey(const std::string& key) const {
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].key == key) return static_cast<int>(i);
  return -1;
}

void TMsgListModel::SetShowFullName(bool on) {
  if (on == show_full_name_) return;
  show_full_name_ = on;
  if (!rows_.empty()) emit dataChanged(index(0, clnAuthor), index(Count() - 1, clnAuthor));
}

}  // namespace qm
