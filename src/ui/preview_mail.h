#pragma once
// The window listing the messages waiting on a server, filled by the preview
// task; ticked rows are downloaded or erased by new tasks.
#include <QWidget>
#include <functional>
#include <string>

#include "transport/task_ui.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace qm {

class TfrmPreviewMail : public QWidget, public cPreviewWindowView {
  Q_OBJECT
 public:
  explicit TfrmPreviewMail(QWidget* parent = nullptr);
  ~TfrmPreviewMail() override;

  enum Column { clnTick = 0, clnSubject, clnFrom, clnTo, clnDateTime, clnSize, kColumnCount };

  // cPreviewWindowView
  void SetAccount(const std::string& account) override;
  void SetCaption(const std::string& caption) override;
  void BeginUpdate() override;
  void EndUpdate() override;
  void AddRow(const cPreviewRow& row) override;
  void SetStats(const std::string& text) override;
  void ShowAndFocus() override;

  const std::string& Account() const { return account_; }
  // "1" or "0" for each row, top to bottom, and the row's message number.
  bool RowTicked(int row) const;
  int RowNumber(int row) const;
  int RowCount() const;
  void ToggleTick(int row);

  QTreeWidget* lstMsgs;
  QLabel* lblStats;
  QPushButton* btnErase;
  QPushButton* btnDownload;
  QPushButton* btnClose;

  void btnDownloadClick();
  void btnEraseClick();

  // How the window starts its tasks: (account, message numbers). Replaced by
  // tests; by default a fetch of the selected numbers or a delete task.
  std::function<void(const std::string&, const StringList&)> StartFetch;
  std::function<void(const std::string&, const StringList&)> StartDelete;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Removes the ticked rows, last to first, returning their numbers in that order.
  // Takes the ticked rows off the list; when their messages leave the
  // server, the rows left get the numbers the server will give them.
  StringList TakeTickedRows(bool leaves_server);
  void SaveLayout();
  void LoadLayout();

  std::string account_;
};

}  // namespace qm
