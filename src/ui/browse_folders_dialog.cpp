#include "ui/browse_folders_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

#include "store/folder_tree.h"
#include "store/store_lock.h"
#include "ui/main_icons.h"
#include "ui/qt_text.h"

namespace qm {

namespace {

constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kKindRole = Qt::UserRole + 2;

NodeIcon IconOf(int icon) {
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

void CopyNode(const cFolderNode& node, QTreeWidgetItem* item) {
  item->setText(0, Q(node.caption));
  item->setIcon(0, NodePicture(IconOf(node.icon)));
  item->setData(0, kPathRole, Q(node.info.path));
  item->setData(0, kKindRole, int(node.info.kind));
  for (const auto& child : node.Children()) CopyNode(*child, new QTreeWidgetItem(item));
}

}  // namespace

TfrmBrowseFolders::TfrmBrowseFolders(const std::string& source_path, QWidget* parent)
    : QDialog(parent), source_path_(source_path) {
  setObjectName("frmBrowseFolders");
  setWindowTitle("Browse for folder");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
  auto* text = new QLabel("Please select the destination folder:", this);
  lstFolders = new QTreeWidget(this);
  lstFolders->setObjectName("lstFolders");
  lstFolders->setHeaderHidden(true);
  lstFolders->setColumnCount(1);
  lstFolders->setRootIsDecorated(true);
  btnOK = new QPushButton("&OK", this);
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  btnOK->setEnabled(false);
  btnCancel = new QPushButton("&Cancel", this);
  btnCancel->setObjectName("btnCancel");
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(lstFolders, &QTreeWidget::currentItemChanged, this, [this] { lstFoldersChange(); });
  connect(lstFolders, &QTreeWidget::itemDoubleClicked, this, [this] {
    if (btnOK->isEnabled()) accept();
  });

  {
    StoreLock lock;
    if (cFolderNode* root = FolderTree().Root()) CopyNode(*root, new QTreeWidgetItem(lstFolders));
  }
  lstFolders->sortItems(0, Qt::DescendingOrder);
  if (QTreeWidgetItem* root = lstFolders->topLevelItem(0)) {
    root->setExpanded(true);
    lstFolders->setCurrentItem(root);
  }

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(lstFolders, 1);
  layout->addLayout(buttons);
  setFixedSize(300, 360);
  lstFoldersChange();
}

std::string TfrmBrowseFolders::SelectedPath() const {
  QTreeWidgetItem* item = lstFolders->currentItem();
  return item ? S(item->data(0, kPathRole).toString()) : std::string();
}

bool TfrmBrowseFolders::SelectPath(const std::string& path) {
  std::function<QTreeWidgetItem*(QTreeWidgetItem*)> find = [&](QTreeWidgetItem* item) -> QTreeWidgetItem* {
    if (S(item->data(0, kPathRole).toString()) == path) return item;
    for (int i = 0; i < item->childCount(); ++i)
      if (QTreeWidgetItem* hit = find(item->child(i))) return hit;
    return nullptr;
  };
  for (int i = 0; i < lstFolders->topLevelItemCount(); ++i)
    if (QTreeWidgetItem* hit = find(lstFolders->topLevelItem(i))) {
      lstFolders->setCurrentItem(hit);
      return true;
    }
  return false;
}

void TfrmBrowseFolders::lstFoldersChange() {
  QTreeWidgetItem* item = lstFolders->currentItem();
  btnOK->setEnabled(item && item->data(0, kKindRole).toInt() == fnkMailbox &&
                    S(item->data(0, kPathRole).toString()) != source_path_);
}

bool BrowseForMailbox(const std::string& start_path, std::string& chosen, QWidget* parent) {
  TfrmBrowseFolders dialog(start_path, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  chosen = dialog.SelectedPath();
  return !chosen.empty();
}

}  // namespace qm
