// The message list's behaviour in the main window: filling it from the
// mailbox, the focused and selected rows, showing a message, the mark-read
// timer, and the store's row refreshes.
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTextDocument>
#include <QTreeView>

#include "store/folder_tree_scan.h"
#include "store/mailbox_stats.h"
#include "store/message_ref.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "store/store_lock.h"
#include "ui/html_display.h"
#include "ui/main_message_list.h"
#include "ui/main_panes.h"
#include "ui/main_window.h"
#include "ui/message_viewer_frame.h"
#include "ui/qt_text.h"

namespace qm {

namespace {
// How often the window is repainted while a large mailbox loads.
constexpr int kPumpMs = 100;
}  // namespace

int TfrmMain::FocusedRow() const {
  QModelIndex i = lstMsgs->selectionModel()->currentIndex();
  return i.isValid() ? i.row() : -1;
}

std::vector<int> TfrmMain::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& i : lstMsgs->selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::string TfrmMain::MessageRefOfRow(int row) const {
  if (row < 0 || row >= msgModel->Count()) return {};
  StoreLock lock;
  return MakeMessageRef(SelectedNode(), msgModel->Row(row).key);
}

void TfrmMain::SelectRow(int row) {
  QItemSelectionModel* sel = lstMsgs->selectionModel();
  if (row < 0 || row >= msgModel->Count()) {
    sel->clear();
    // No row is focused any more: the viewer empties.
    lstMsgsFocusChanged();
    return;
  }
  QModelIndex i = msgModel->index(row, 0);
  bool same = sel->currentIndex() == i;
  sel->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  lstMsgs->scrollTo(i);
  if (same) lstMsgsFocusChanged();
}

void TfrmMain::FillMessageList(cFolderNode* node) {
  const int generation = ++fill_generation_;
  msgModel->Clear();
  ClearViewer();
  std::string path, caption;
  {
    StoreLock lock;
    path = node->info.path;
    caption = node->caption;
  }
  const QString title = "Torvane Quillmar - [" + Q(caption) + "]";
  if (!OpenCurrentMailbox(path)) {
    // Reported by the store; the list stays empty.
    setWindowTitle(title);
    pnlCounters->clear();
    return;
  }
  int count;
  {
    StoreLock lock;
    count = CurrentMailbox ? CurrentMailbox->Count() : 0;
  }
  // The rows go to the view at once at the end: handing them over in pieces
  // costs more in layout than the pumping saves.
  std::vector<cMsgRow> rows;
  rows.reserve(static_cast<size_t>(count));
  int unread = 0, read_count = 0;
  QElapsedTimer since_pump;
  since_pump.start();
  cMailMessage msg;
  for (int i = 0; i < count; ++i) {
    std::string key;
    {
      StoreLock lock;
      if (!CurrentMailbox || !GetMessage(*CurrentMailbox, msg, false, "", i)) break;
      key = CurrentMailbox->Key();
    }
    if (!msg.Read) ++unread;
    ++read_count;
    rows.push_back(MsgRowOf(key, std::move(msg)));
    if ((i & 255) == 0 && since_pump.elapsed() >= kPumpMs) {
      pnlStatusText->setText(QString("Loading %1 %...").arg(100 * (i + 1) / std::max(1, count)));
      // Repaints and timers go on; the user's input waits for the list.
      QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      since_pump.restart();
      if (generation != fill_generation_ || closing_) return;
    }
  }
  FreeMessage(msg);
  msgModel->AppendRows(std::move(rows));
  pnlStatusText->clear();
  {
    StoreLock lock;
    // The node may have gone while the window was repainted.
    cFolderNode* n = FolderTree().FindNodeByPath(path);
    if (n) {
      n->info.unread = unread;
      n->info.total = read_count;
      UpdateMailboxNode(n);
    }
    ShowMailboxStatus();
  }
  QHeaderView* h = lstMsgs->header();
  msgModel->sort(h->sortIndicatorSection(), h->sortIndicatorOrder());
  lstMsgs->setFocus();
  setWindowTitle(title);
  SelectRow(msgModel->Count() > 0 ? 0 : -1);
}

void TfrmMain::lstMsgsFocusChanged() {
  tmrMarkRead->stop();
  int row = FocusedRow();
  bool unread_focused = false;
  if (row >= 0) {
    const std::string key = msgModel->Row(row).key;
    cMailMessage msg;
    InitMessage(msg);
    bool ok;
    {
      StoreLock lock;
      ok = CurrentMailbox && GetMessage(*CurrentMailbox, msg, true, key);
    }
    if (ok) {
      const bool read = msg.Read;
      ShowInViewer(key, msg);  // the frame owns the lists now
      if (!read && new_mail_count_ > 0) SetTrayState(TrayState::Normal, "Torvane Quillmar", true);
    } else {
      // A message that cannot be read leaves the viewer as it was.
      FreeMessage(msg);
    }
    unread_focused = TMsgListModel::IsUnread(msgModel->Row(row));
  } else {
    ClearViewer();
  }
  if (mark_read_ && row >= 0 && unread_focused) {
    // A timeout of 0 seconds still waits for the event loop once.
    tmrMarkRead->setInterval(shown_mark_read_interval_ > 0 ? shown_mark_read_interval_ : 1);
    tmrMarkRead->start();
  }
  UpdateCommands();
}

void TfrmMain::ShowInViewer(const std::string& key, const cMailMessage& msg) {
  // The same message shown again (its row was refreshed, for example marked
  // read by the timer) keeps the place the user has scrolled to.
  QScrollBar* bar = MsgViewer->MsgViewer->verticalScrollBar();
  const bool same = MsgViewer->HasMessage() && key == viewer_key_;
  const int position = bar->value();
  MsgViewer->DisplayMessage(msg);
  viewer_key_ = key;
  if (same) {
    MsgViewer->MsgViewer->document()->size();  // lays the text out, so the range is known
    bar->setValue(position);
  }
}

void TfrmMain::ClearViewer() {
  MsgViewer->ClearMessage();
  viewer_key_.clear();
}

bool TfrmMain::ViewerShowsRow(int row) const {
  return row >= 0 && row < msgModel->Count() && MsgViewer->HasMessage() && viewer_key_ == msgModel->Row(row).key;
}

void TfrmMain::tmrMarkReadTimer() {
  tmrMarkRead->stop();
  if (FocusedRow() >= 0 && lstMsgs->selectionModel()->selectedRows().size() == 1) MarkSelected(true);
}

void TfrmMain::lstMsgsContextMenu(const QPoint& pos) {
  if (FocusedRow() < 0) return;
  MsgListPopupMenu->popup(lstMsgs->viewport()->mapToGlobal(pos));
}

// --- Refreshes from the store ------------------------------------------------------

void TfrmMain::ListAddRow(const std::string& key, const cMailMessage& msg) {
  if (msgModel->RowOfKey(key) >= 0) return;
  int row = msgModel->AddRow(MsgRowOf(key, msg));
  if (msgModel->Count() == 1)
    SelectRow(row);
  else
    lstMsgs->scrollTo(msgModel->index(row, 0));
}

void TfrmMain::ListRefreshRow(const std::string& key, const cMailMessage& msg) {
  int row = msgModel->RowOfKey(key);
  if (row < 0) return;
  msgModel->SetRow(row, MsgRowOf(key, msg));
  if (row == FocusedRow()) lstMsgsFocusChanged();
}

void TfrmMain::ListRemoveRow(const std::string& key) {
  int row = msgModel->RowOfKey(key);
  if (row < 0) return;
  bool was_focused = row == FocusedRow();
  msgModel->RemoveRowAt(row);
  if (was_focused) SelectRow(std::min(row, msgModel->Count() - 1));
}

}  // namespace qm
