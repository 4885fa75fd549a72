// lstFolders: the Qt mirror of the store's folder tree, selection of nodes,
// the tree's pop-up menus and its drag and drop.
#include "ui/main_folder_tree.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QThread>

#include "shell/report_error.h"
#include "store/folder_tree_scan.h"
#include "store/mailbox_stats.h"
#include "store/ref_list.h"
#include "store/store_lock.h"
#include "store/tree_operations.h"
#include "ui/main_message_list.h"
#include "ui/main_panes.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

namespace qm {

namespace {

constexpr int kNodeRole = Qt::UserRole + 1;

NodeIcon NodeIconOf(int icon) {
  switch (icon) {
    case kIconRoot: return NodeIcon::Root;
    case kIconInbox: return NodeIcon::Inbox;
    case kIconUnsent: return NodeIcon::Unsent;
    case kIconSentItems: return NodeIcon::SentItems;
    case kIconUnfinished: return NodeIcon::Unfinished;
    case kIconTrash: return NodeIcon::Trash;
    case kIconFolder: return NodeIcon::Folder;
    case kIconAccount: return NodeIcon::Account;
    default: return NodeIcon::Mailbox;
  }
}

bool OnUiThread() { return QThread::currentThread() == qApp->thread(); }

// Standard mailboxes stay where their account puts them.
bool IsStandardMailboxNode(const cFolderNode* node) {
  return node->IsMailbox() && node->Parent() && node->Parent()->info.kind == fnkAccount &&
         IsStandardMailboxName(node->caption);
}

}  // namespace

// Store notifications, made on the UI thread at once; from a task's thread
// they are posted to the UI thread and the node is looked up again there.
class TMainTreeListener : public cFolderTreeListener {
 public:
  explicit TMainTreeListener(TfrmMain* main) : main_(main) {}

  void NodeAdded(cFolderNode& node) override {
    if (OnUiThread())
      main_->MirrorNode(node);
    else
      Post([m = main_] { m->MirrorWholeTree(); });
  }
  void NodeAboutToBeRemoved(cFolderNode& node) override {
    if (OnUiThread()) {
      if (QTreeWidgetItem* item = main_->ItemOf(&node)) main_->ForgetItem(item);
    } else {
      Post([m = main_] { m->MirrorWholeTree(); });
    }
  }
  void NodeChanged(cFolderNode& node, bool scroll_into_view) override {
    const cFolderNode* at = &node;
    auto apply = [m = main_, at, scroll_into_view] {
      QTreeWidgetItem* item = m->ItemOf(at);
      if (!item) return;  // removed meanwhile
      StoreLock lock;
      m->RefreshItem(item, *at);
      if (scroll_into_view) m->lstFolders->scrollToItem(item);
    };
    if (OnUiThread())
      apply();
    else
      Post(apply);
  }
  void TreeCleared() override {
    if (OnUiThread()) {
      main_->selecting_ = true;
      main_->lstFolders->clear();
      main_->items_.clear();
      main_->selecting_ = false;
    } else {
      Post([m = main_] { m->MirrorWholeTree(); });
    }
  }
  void SelectionChanged(cFolderNode* node) override {
    if (!OnUiThread()) {
      Post([m = main_] {
        cFolderNode* n = FolderTree().Selected();
        m->SelectNode(n);
      });
      return;
    }
    main_->selecting_ = true;
    QTreeWidgetItem* item = main_->ItemOf(node);
    main_->lstFolders->setCurrentItem(item);
    if (!item) main_->lstFolders->clearSelection();
    main_->selecting_ = false;
    // Loading a mailbox waits for the user at times (its password): never
    // with the store lock held.
    StoreUnlock unlock;
    main_->lstFoldersChange(node);
  }

 private:
  void Post(std::function<void()> fn) {
    QPointer<TfrmMain> guard(main_);
    QMetaObject::invokeMethod(
        main_, [guard, fn] {
          if (guard) fn();
        },
        Qt::QueuedConnection);
  }
  TfrmMain* main_;
};

std::unique_ptr<cFolderTreeListener> MakeMainTreeListener(TfrmMain* main) {
  return std::make_unique<TMainTreeListener>(main);
}

// --- TFolderTreeWidget -------------------------------------------------------

TFolderTreeWidget::TFolderTreeWidget(TfrmMain* main, QWidget* parent) : QTreeWidget(parent), main_(main) {
  setObjectName("lstFolders");
  setColumnCount(3);
  setHeaderLabels({" Name", " U", " T"});
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  headerItem()->setTextAlignment(1, Qt::AlignCenter);
  headerItem()->setTextAlignment(2, Qt::AlignCenter);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::Stretch);
  header()->setSectionResizeMode(1, QHeaderView::Interactive);
  header()->setSectionResizeMode(2, QHeaderView::Interactive);
  header()->setMinimumSectionSize(20);
  header()->resizeSection(1, 30);
  header()->resizeSection(2, 34);
  header()->setSectionsMovable(false);
  setRootIsDecorated(false);
  setIndentation(14);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setAcceptDrops(true);
  setDragEnabled(false);
  setDragDropMode(QAbstractItemView::DropOnly);
  setDropIndicatorShown(true);
  setContextMenuPolicy(Qt::CustomContextMenu);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The root cannot be collapsed.
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    if (item == topLevelItem(0)) expandItem(item);
  });
}

cFolderNode* TFolderTreeWidget::TargetAt(const QPoint& pos) const { return main_->NodeOf(itemAt(pos)); }

void TFolderTreeWidget::mousePressEvent(QMouseEvent* e) {
  mouse_move_counter = 0;
  dragged_ = nullptr;
  QTreeWidget::mousePressEvent(e);
}

void TFolderTreeWidget::mouseReleaseEvent(QMouseEvent* e) {
  mouse_move_counter = 0;
  QTreeWidget::mouseReleaseEvent(e);
}

void TFolderTreeWidget::mouseMoveEvent(QMouseEvent* e) {
  if (!(e->buttons() & Qt::LeftButton)) {
    mouse_move_counter = 0;
    QTreeWidget::mouseMoveEvent(e);
    return;
  }
  cFolderNode* node = TargetAt(e->position().toPoint());
  if (!node) return;
  if (++mouse_move_counter <= 5) return;
  mouse_move_counter = 0;
  bool draggable;
  {
    StoreLock lock;
    draggable = node->info.kind == fnkFolder || (node->IsMailbox() && !IsStandardMailboxNode(node));
  }
  if (!draggable) return;
  dragged_ = node;
  auto* drag = new QDrag(this);
  auto* data = new QMimeData;
  data->setData(kFolderNodeMime, QByteArray::number(reinterpret_cast<quintptr>(node)));
  drag->setMimeData(data);
  if (QTreeWidgetItem* item = main_->ItemOf(node)) drag->setPixmap(item->icon(0).pixmap(16, 16));
  drag->exec(Qt::MoveAction, Qt::MoveAction);
  dragged_ = nullptr;
}

bool TFolderTreeWidget::Accepts(const QMimeData* data, cFolderNode* target) const {
  if (!target || !data) return false;
  if (data->hasFormat(kMessageRowsMime)) return main_->CanDropRowsOn(target);
  if (data->hasFormat(kFolderNodeMime) && dragged_) return main_->CanDropNodeOn(dragged_, target);
  return false;
}

void TFolderTreeWidget::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasFormat(kMessageRowsMime) || (e->mimeData()->hasFormat(kFolderNodeMime) && dragged_))
    e->acceptProposedAction();
  else
    e->ignore();
}

void TFolderTreeWidget::dragMoveEvent(QDragMoveEvent* e) {
  cFolderNode* target = TargetAt(e->position().toPoint());
  if (Accepts(e->mimeData(), target)) {
    if (e->mimeData()->hasFormat(kMessageRowsMime))
      e->setDropAction((e->modifiers() & Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction);
    else
      e->setDropAction(Qt::MoveAction);
    e->accept();
  } else {
    e->ignore();
  }
}

void TFolderTreeWidget::dropEvent(QDropEvent* e) {
  cFolderNode* target = TargetAt(e->position().toPoint());
  if (!Accepts(e->mimeData(), target)) {
    e->ignore();
    return;
  }
  // The list itself handles what the drop means; the drag source gets no
  // move action back, so it removes nothing on its own.
  e->setDropAction(Qt::CopyAction);
  e->accept();
  if (e->mimeData()->hasFormat(kMessageRowsMime))
    main_->DropRowsOn(target, (e->modifiers() & Qt::ControlModifier) != 0);
  else
    main_->DropNodeOn(dragged_, target);
}

// --- TfrmMain: the mirror ------------------------------------------------------

cFolderNode* TfrmMain::NodeOf(QTreeWidgetItem* item) const {
  if (!item) return nullptr;
  return reinterpret_cast<cFolderNode*>(item->data(0, kNodeRole).value<quintptr>());
}

QTreeWidgetItem* TfrmMain::ItemOf(const cFolderNode* node) const {
  auto it = items_.find(node);
  return it == items_.end() ? nullptr : it->second;
}

void TfrmMain::RefreshItem(QTreeWidgetItem* item, const cFolderNode& node) {
  item->setText(0, Q(node.caption));
  item->setIcon(0, NodePicture(NodeIconOf(node.icon)));
  if (node.IsMailbox()) {
    item->setText(1, QString::number(node.info.unread));
    item->setText(2, QString::number(node.info.total));
  } else {
    item->setText(1, {});
    item->setText(2, {});
  }
  item->setTextAlignment(1, Qt::AlignCenter);
  item->setTextAlignment(2, Qt::AlignCenter);
  QFont f = lstFolders->font();
  f.setBold(node.IsMailbox() && node.info.unread > 0);
  for (int c = 0; c < 3; ++c) item->setFont(c, f);
}

QTreeWidgetItem* TfrmMain::MirrorNode(cFolderNode& node) {
  StoreLock lock;
  if (QTreeWidgetItem* existing = ItemOf(&node)) return existing;
  QTreeWidgetItem* item;
  cFolderNode* parent = node.Parent();
  if (!parent) {
    item = new QTreeWidgetItem;
    lstFolders->insertTopLevelItem(0, item);
  } else {
    QTreeWidgetItem* parent_item = ItemOf(parent);
    if (!parent_item) parent_item = MirrorNode(*parent);
    item = new QTreeWidgetItem;
    int index = node.IndexInParent();
    if (index < 0 || index > parent_item->childCount()) index = parent_item->childCount();
    parent_item->insertChild(index, item);
  }
  item->setData(0, kNodeRole, QVariant::fromValue(reinterpret_cast<quintptr>(&node)));
  items_[&node] = item;
  RefreshItem(item, node);
  for (const auto& child : node.Children()) MirrorNode(*child);
  if (!parent || node.expanded) item->setExpanded(true);
  if (node.Parent() && node.Parent()->expanded) ItemOf(node.Parent())->setExpanded(true);
  return item;
}

void TfrmMain::ForgetItem(QTreeWidgetItem* item) {
  // Children first, then the item itself.
  while (item->childCount() > 0) ForgetItem(item->child(item->childCount() - 1));
  items_.erase(NodeOf(item));
  selecting_ = true;
  delete item;
  selecting_ = false;
}

void TfrmMain::MirrorWholeTree() {
  StoreLock lock;
  selecting_ = true;
  lstFolders->clear();
  items_.clear();
  if (cFolderNode* root = FolderTree().Root()) MirrorNode(*root);
  QTreeWidgetItem* current = ItemOf(FolderTree().Selected());
  if (current) lstFolders->setCurrentItem(current);
  selecting_ = false;
}

// --- Selection -----------------------------------------------------------------

cFolderNode* TfrmMain::SelectedNode() const { return NodeOf(lstFolders->currentItem()); }

std::string TfrmMain::CurrentAccount() const {
  StoreLock lock;
  cFolderNode* node = SelectedNode();
  return node ? AccountOfNode(node) : std::string();
}

void TfrmMain::SelectNode(cFolderNode* node) {
  // The store's selection drives the handler (through the listener).
  FolderTree().Select(node);
}

void TfrmMain::SetColumnMode(const cFolderNode& node) {
  std::string account = AccountOfNode(&node);
  bool show_to, show_account;
  if (account.empty()) {
    show_to = show_account = true;
  } else {
    show_to = node.caption == "Sent Items" || node.caption == "Unsent" || node.caption == "Unfinished";
    show_account = false;
  }
  lstMsgs->header()->setSectionHidden(clnTo, !show_to);
  lstMsgs->header()->setSectionHidden(clnAccount, !show_account);
}

void TfrmMain::lstFoldersChange(cFolderNode* node) {
  ReleaseCurrentMailbox();
  if (full_screen_) SetFullScreen(false);
  tmrMarkRead->stop();
  bool is_mailbox;
  {
    StoreLock lock;
    is_mailbox = node && node->IsMailbox();
    if (is_mailbox) SetColumnMode(*node);
  }
  if (is_mailbox) {
    FillMessageList(node);
  } else {
    ++fill_generation_;
    msgModel->Clear();
    ClearViewer();
    pnlCounters->clear();
    setWindowTitle("Torvane Quillmar");
  }
  UpdateCommands();
}

void TfrmMain::ReloadMessageList() {
  cFolderNode* node = SelectedNode();
  bool is_mailbox;
  {
    StoreLock lock;
    is_mailbox = node && node->IsMailbox();
  }
  if (is_mailbox) {
    ReleaseCurrentMailbox();
    FillMessageList(node);
    UpdateCommands();
  }
}

// --- Pop-up menus ----------------------------------------------------------------

void TfrmMain::lstFoldersContextMenu(const QPoint& pos) {
  QTreeWidgetItem* item = lstFolders->itemAt(pos);
  if (!item) return;
  if (item != lstFolders->currentItem()) lstFolders->setCurrentItem(item);
  cFolderNode* node = NodeOf(item);
  if (!node) return;
  uint8_t kind;
  {
    StoreLock lock;
    kind = node->info.kind;
  }
  QMenu* menu = kind == fnkAccount ? ServerPopupMenu : kind == fnkMailbox ? MailboxPopupMenu : FolderPopupMenu;
  menu->popup(lstFolders->viewport()->mapToGlobal(pos));
}

// --- Drag and drop -----------------------------------------------------------------

bool TfrmMain::CanDropRowsOn(const cFolderNode* target) const {
  StoreLock lock;
  const cFolderNode* source = drag_source_node ? drag_source_node : SelectedNode();
  return target && target->IsMailbox() && target != source;
}

bool TfrmMain::CanDropNodeOn(const cFolderNode* dragged, const cFolderNode* target) const {
  StoreLock lock;
  if (!dragged || !target || target->IsMailbox()) return false;
  if (dragged->info.kind != fnkFolder && !(dragged->IsMailbox() && !IsStandardMailboxNode(dragged))) return false;
  // Not onto itself, nor into anything below it (the disk move cannot
  // succeed), nor back into the node that already holds it.
  if (dragged->Contains(target)) return false;
  if (dragged->Parent() == target) return false;
  return true;
}

void TfrmMain::DropRowsOn(cFolderNode* target, bool copy) {
  cFolderNode* source = drag_source_node;
  if (source && source != SelectedNode()) SelectNode(source);
  MoveOrCopySelected(target, !copy);
}

void TfrmMain::DropNodeOn(cFolderNode* dragged, cFolderNode* target) {
  if (!CanDropNodeOn(dragged, target)) return;
  // Its mailbox file or a mailbox below it may be the one shown.
  ReleaseCurrentMailbox();
  MoveNodeTo(dragged, target);
  // The handler runs again on what is selected now: the mailbox shown was
  // released, and a moved folder has new contents on disk.
  cFolderNode* selected = FolderTree().Selected();
  SelectNode(selected ? selected : FolderTree().FirstNode());
}

}  // namespace qm
