#pragma once
// The find window: searches stored messages for a text in their subject,
// sender or body and lists the hits. Not modal; at most one exists.
#include <QDialog>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "message/message_search.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace qm {

class TfrmFindMessage : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmFindMessage(QWidget* parent = nullptr);
  ~TfrmFindMessage() override;

  // The open window, or null.
  static TfrmFindMessage* Instance();

  QWidget* TopPanel;
  QSplitter* splitter;
  QLineEdit* edtCriteria;
  QCheckBox* chkSearchSubject;
  QCheckBox* chkSearchAuthor;
  QCheckBox* chkSearchBody;
  QTreeWidget* lstFolders;
  QPushButton* btnBeginSearch;
  QPushButton* btnStop;
  QPushButton* btnClose;
  QTreeWidget* ResultsList;

  void btnBeginSearchClick();
  void btnStopClick();
  bool Searching() const { return worker_.joinable() && !finished_; }
  // Blocks until the running search has ended and its rows are listed.
  void WaitForSearch();
  // The message reference of a result row.
  std::string RowRef(int row) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void UpdateEnabled();
  void FillFolders();
  void AddHit(const cSearchHit& hit);
  void SearchDone();
  void StopWorker();
  void SaveLayout();
  void ResultsListDblClick(QTreeWidgetItem* item);

  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{true};
  bool saved_ = false;
};

}  // namespace qm
