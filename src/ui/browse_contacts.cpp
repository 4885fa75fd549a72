#include "ui/browse_contacts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "contacts/contact_store.h"
#include "message/parse_message.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "shell/text_utils.h"
#include "ui/main_icons.h"
#include "ui/ok_cancel_dialog.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"
#include "ui/window_entry_points_trace.h"

namespace qm {

namespace {

constexpr int kDesignWidth = 560;
constexpr int kDesignHeight = 420;
constexpr int kDesignLeftPaneWidth = 150;
constexpr int kDesignTopPaneHeight = 220;

QTreeWidget* NameEmailList(QWidget* parent, const char* name) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(name);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setColumnCount(2);
  list->setHeaderLabels({" Name", " Email"});
  list->header()->resizeSection(0, 160);
  return list;
}

}  // namespace

TfrmBrowseContacts::TfrmBrowseContacts(QWidget* parent) : QDialog(parent) {
  splLeft = new QSplitter(Qt::Horizontal, this);
  splLeft->setObjectName("splLeft");
  splLeft->setChildrenCollapsible(false);
  lstGroups = new QListWidget(splLeft);
  lstGroups->setObjectName("lstGroups");
  splTop = new QSplitter(Qt::Vertical, splLeft);
  splTop->setObjectName("splTop");
  splTop->setChildrenCollapsible(false);

  auto* top = new QWidget(splTop);
  auto* top_layout = new QVBoxLayout(top);
  top_layout->setContentsMargins(0, 0, 0, 0);
  lstContacts = NameEmailList(top, "lstContacts");
  lstContacts->setSelectionMode(QAbstractItemView::ExtendedSelection);
  btnAdd = new QPushButton("&Add", top);
  btnAdd->setObjectName("btnAdd");
  btnAddAll = new QPushButton("&Add all", top);
  btnAddAll->setObjectName("btnAddAll");
  auto* add_row = new QHBoxLayout;
  add_row->addStretch();
  add_row->addWidget(btnAdd);
  add_row->addWidget(btnAddAll);
  top_layout->addWidget(lstContacts, 1);
  top_layout->addLayout(add_row);

  auto* bottom = new QWidget(splTop);
  auto* bottom_layout = new QVBoxLayout(bottom);
  bottom_layout->setContentsMargins(0, 0, 0, 0);
  lstSelected = NameEmailList(bottom, "lstSelected");
  btnRemove = new QPushButton("&Remove", bottom);
  btnRemove->setObjectName("btnRemove");
  btnRemoveAll = new QPushButton("Remove all", bottom);
  btnRemoveAll->setObjectName("btnRemoveAll");
  auto* remove_row = new QHBoxLayout;
  remove_row->addStretch();
  remove_row->addWidget(btnRemove);
  remove_row->addWidget(btnRemoveAll);
  bottom_layout->addWidget(lstSelected, 1);
  bottom_layout->addLayout(remove_row);

  OkCancelButtons b = SetUpOkCancelDialog(this, "frmBrowseContacts", "Browse contacts", {{splLeft, 1}});
  btnOK = b.ok;
  btnCancel = b.cancel;

  int width = kDesignWidth, height = kDesignHeight, left = kDesignLeftPaneWidth, top_height = kDesignTopPaneHeight;
  if (OptionsIni) {
    width = OptionsIni->ReadInteger("BrowseContacts", "Width", width);
    height = OptionsIni->ReadInteger("BrowseContacts", "Height", height);
    left = OptionsIni->ReadInteger("BrowseContacts", "LeftPaneWidth", left);
    top_height = OptionsIni->ReadInteger("BrowseContacts", "TopPaneHeight", top_height);
  }
  resize(std::max(width, 300), std::max(height, 200));
  splLeft->setSizes({std::max(left, 40), std::max(width - left, 100)});
  splTop->setSizes({std::max(top_height, 40), std::max(height - top_height, 60)});

  const StringList books = GetBookList();
  for (size_t i = 0; i < books.size(); ++i) new QListWidgetItem(ContactGroupPicture(i == 0), Q(books[i]), lstGroups);

  connect(lstGroups, &QListWidget::currentRowChanged, this, [this] { lstGroupsChange(); });
  connect(lstContacts, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
  connect(lstContacts, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
  connect(lstSelected, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
  connect(lstContacts, &QTreeWidget::itemDoubleClicked, this, [this] { btnAddClick(); });
  connect(lstSelected, &QTreeWidget::itemDoubleClicked, this, [this] { btnRemoveClick(); });
  connect(btnAdd, &QPushButton::clicked, this, &TfrmBrowseContacts::btnAddClick);
  connect(btnAddAll, &QPushButton::clicked, this, &TfrmBrowseContacts::btnAddAllClick);
  connect(btnRemove, &QPushButton::clicked, this, &TfrmBrowseContacts::btnRemoveClick);
  connect(btnRemoveAll, &QPushButton::clicked, this, &TfrmBrowseContacts::btnRemoveAllClick);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  lstGroups->setCurrentRow(0);
  UpdateButtons();
}

void TfrmBrowseContacts::lstGroupsChange() {
  lstContacts->clear();
  const int row = lstGroups->currentRow();
  if (row < 0) return;
  const std::string file = row == 0 ? ContactsFile() : GetGroupFile(S(lstGroups->item(row)->text()));
  for (const cContact& c : ReadContactsQuickByName(file)) {
    auto* item = new QTreeWidgetItem(lstContacts, {Q(c.Name), Q(c.Email)});
    item->setIcon(0, ContactPicture());
  }
  if (lstContacts->topLevelItemCount() > 0) lstContacts->setCurrentItem(lstContacts->topLevelItem(0));
  UpdateButtons();
}

void TfrmBrowseContacts::AddChosen(const QString& name, const QString& address) {
  new QTreeWidgetItem(lstSelected, {name, address});
}

void TfrmBrowseContacts::SetAddresses(const std::string& text) {
  lstSelected->clear();
  for (const QString& piece : Q(text).split(',')) {
    QString entry = piece;
    while (!entry.isEmpty() && entry.front().isSpace()) entry.remove(0, 1);
    if (entry.trimmed().isEmpty()) continue;
    const std::string e = S(entry);
    AddChosen(Q(GetDisplayName(e)), Q(GetEmailAddress(e)));
  }
  if (lstSelected->topLevelItemCount() > 0) lstSelected->setCurrentItem(lstSelected->topLevelItem(0));
  UpdateButtons();
}

std::string TfrmBrowseContacts::Addresses() const {
  QStringList entries;
  for (int r = 0; r < lstSelected->topLevelItemCount(); ++r) {
    QTreeWidgetItem* item = lstSelected->topLevelItem(r);
    const QString name = item->text(0), address = item->text(1);
    entries << (name.isEmpty() ? address : name + " <" + address + ">");
  }
  return S(entries.join(", "));
}

void TfrmBrowseContacts::MoveContacts(bool all) {
  for (int r = 0; r < lstContacts->topLevelItemCount();) {
    QTreeWidgetItem* item = lstContacts->topLevelItem(r);
    // A contact without an address would become the empty recipient "Name <>".
    if ((all || item->isSelected()) && !item->text(1).trimmed().isEmpty()) {
      AddChosen(item->text(0), item->text(1).trimmed());
      delete lstContacts->takeTopLevelItem(r);
    } else {
      ++r;
    }
  }
  if (lstSelected->currentItem() == nullptr && lstSelected->topLevelItemCount() > 0)
    lstSelected->setCurrentItem(lstSelected->topLevelItem(0));
  UpdateButtons();
}

void TfrmBrowseContacts::btnAddClick() {
  if (QTreeWidgetItem* item = lstContacts->currentItem()) {
    // A double click on an unselected row adds that row.
    if (lstContacts->selectedItems().isEmpty()) item->setSelected(true);
  }
  MoveContacts(false);
}

void TfrmBrowseContacts::btnAddAllClick() { MoveContacts(true); }

void TfrmBrowseContacts::btnRemoveClick() {
  QTreeWidgetItem* item = lstSelected->currentItem();
  if (!item) return;
  const int row = lstSelected->indexOfTopLevelItem(item);
  delete lstSelected->takeTopLevelItem(row);
  const int count = lstSelected->topLevelItemCount();
  if (count > 0) lstSelected->setCurrentItem(lstSelected->topLevelItem(std::min(row, count - 1)));
  UpdateButtons();
}

void TfrmBrowseContacts::btnRemoveAllClick() {
  lstSelected->clear();
  UpdateButtons();
}

void TfrmBrowseContacts::UpdateButtons() {
  const bool contact = lstContacts->currentItem() != nullptr;
  btnAdd->setEnabled(contact);
  btnAddAll->setEnabled(contact);
  btnRemove->setEnabled(lstSelected->currentItem() != nullptr);
  btnRemoveAll->setEnabled(lstSelected->topLevelItemCount() > 0);
  btnOK->setEnabled(lstSelected->topLevelItemCount() > 0);
}

void TfrmBrowseContacts::done(int result) {
  if (OptionsIni) {
    OptionsIni->WriteInteger("BrowseContacts", "Width", width());
    OptionsIni->WriteInteger("BrowseContacts", "Height", height());
    OptionsIni->WriteInteger("BrowseContacts", "LeftPaneWidth", splLeft->sizes().value(0, kDesignLeftPaneWidth));
    OptionsIni->WriteInteger("BrowseContacts", "TopPaneHeight", splTop->sizes().value(0, kDesignTopPaneHeight));
  }
  QDialog::done(result);
}

bool BrowseContactsDialog(std::string& address) {
  if (TraceWindowEntryPoint("BrowseContactsDialog")) return false;
  TfrmBrowseContacts dialog(QApplication::activeWindow());
  dialog.SetAddresses(address);
  if (dialog.exec() != QDialog::Accepted) return false;
  address = dialog.Addresses();
  return true;
}

}  // namespace qm
