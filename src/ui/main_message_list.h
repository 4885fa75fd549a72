#pragma once
// The main window's message list: one row per message of the shown mailbox,
// seven columns, the state picture and bold unread rows, sorting by any column.
#include <QAbstractTableModel>
#include <QString>
#include <string>
#include <vector>

#include "platform/date_time.h"

namespace qm {

struct cMailMessage;

enum MsgColumn { clnSubject = 0, clnAuthor, clnTo, clnAttachments, clnDateTime, clnSize, clnAccount, kMsgColumnCount };

// Internal names of the columns in the saved layout.
const char* MsgColumnName(int column);

// What a row keeps of its message: the key and the first-part fields shown
// (as bytes: only the rows painted are turned into display text).
struct cMsgRow {
  std::string key;
  std::string subject, from, from_name, to, account;
  int32_t size = 0;
  TDateTime date = 0;
  bool read = false, answered = false, is_html = false, has_attachments = false;
};

cMsgRow MsgRowOf(const std::string& key, const cMailMessage& msg);
// The same, taking the texts over from a record that is read again next.
cMsgRow MsgRowOf(const std::string& key, cMailMessage&& msg);

class TMsgListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TMsgListModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  void sort(int column, Qt::SortOrder order) override;
  Qt::DropActions supportedDragActions() const override { return Qt::MoveAction | Qt::CopyAction; }
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;

  void Clear();
  void Reserve(int rows) { rows_.reserve(static_cast<size_t>(rows)); }
  // Adds many rows at once (the fill of a mailbox).
  void AppendRows(std::vector<cMsgRow>&& rows);
  // Adds one row where the list's sort puts it (after rows that compare
  // equal), or at the end while the list is unsorted; returns its row.
  int AddRow(cMsgRow row);
  void RemoveRowAt(int row);
  void SetRow(int row, cMsgRow value);
  const cMsgRow& Row(int row) const { return rows_[static_cast<size_t>(row)]; }
  int RowOfKey(const std::string& key) const;
  int Count() const { return static_cast<int>(rows_.size()); }

  void SetShowFullName(bool on);
  bool ShowFullName() const { return show_full_name_; }

  static bool IsUnread(const cMsgRow& row) { return !row.read; }

 private:
  static bool IsNumberColumn(int column);
  static double NumberKey(const cMsgRow& r, int column);
  // The ascending order of a text column.
  bool TextLess(const cMsgRow& x, const cMsgRow& y, int column) const;
  // Whether `x` comes before `y` in the last sort (sort_column_ >= 0).
  bool SortsBefore(const cMsgRow& x, const cMsgRow& y) const;

  std::vector<cMsgRow> rows_;
  bool show_full_name_ = false;
  int sort_column_ = -1;  // the last sort; -1: none yet
  Qt::SortOrder sort_order_ = Qt::AscendingOrder;
};

// The mime type of dragged message rows.
inline constexpr const char* kMessageRowsMime = "application/x-quillmar-message-rows";

}  // namespace qm
