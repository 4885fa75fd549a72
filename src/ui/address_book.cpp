#include "ui/address_book.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragMoveEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "contacts/contact_actions.h"
#include "contacts/contact_groups.h"
#include "contacts/contact_store.h"
#include "platform/file_error.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/column_settings.h"
#include "shell/ini_file.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"
#include "ui/add_contact_group.h"
#include "ui/contacts_ui_qt.h"
#include "ui/main_icons.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"
#include "ui/window_entry_points_trace.h"

namespace qm {

namespace {

TfrmAddressBook* g_address_book = nullptr;

constexpr int kColumnCount = 3;
const char* const kColumnNames[kColumnCount] = {"Name", "Email", "HomePage"};
const char* const kColumnCaptions[kColumnCount] = {" Name", " Email", " Home Page"};
const int kDesignColumnWidths[kColumnCount] = {160, 200, 180};
constexpr int kDesignWidth = 680;
constexpr int kDesignHeight = 460;
constexpr int kDesignLeftPanelWidth = 160;
const char kColumnsSection[] = "AddrBookColumns";
constexpr int kNameColumn = 0;
constexpr int kOldNameRole = Qt::UserRole + 1;

QString JoinNonEmpty(std::initializer_list<const std::string*> values) {
  QStringList lines;
  for (const std::string* v : values)
    if (!v->empty()) lines << Q(*v);
  return lines.join("\n");
}

// Calls a window operation so that an error it throws is reported, not passed on.
template <class Fn>
void Guarded(const char* where, Fn&& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured in " + where + " ()");
  }
}

}  // namespace

// --- TBookListWidget ---------------------------------------------------------

TBookListWidget::TBookListWidget(TfrmAddressBook* owner, QWidget* parent) : QListWidget(parent), owner_(owner) {
  setAcceptDrops(true);
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::DropOnly);
}

bool TBookListWidget::Accepts(QDropEvent* event) const {
  if (event->source() != owner_->lstContacts) return false;
  QListWidgetItem* target = itemAt(event->position().toPoint());
  return target && row(target) != currentRow();
}

void TBookListWidget::dragEnterEvent(QDragEnterEvent* event) {
  if (event->source() == owner_->lstContacts)
    event->acceptProposedAction();
  else
    event->ignore();
}

void TBookListWidget::dragMoveEvent(QDragMoveEvent* event) {
  if (!Accepts(event)) {
    event->ignore();
    return;
  }
  event->setDropAction(event->modifiers() & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction);
  event->accept();
}

void TBookListWidget::dropEvent(QDropEvent* event) {
  if (!Accepts(event)) {
    event->ignore();
    return;
  }
  const bool copy = event->modifiers() & Qt::ControlModifier;
  const int target = row(itemAt(event->position().toPoint()));
  // The list itself moves nothing: the contacts are moved by the owner.
  event->setDropAction(Qt::IgnoreAction);
  event->accept();
  owner_->DropContactsOn(target, copy);
}

// --- TfrmAddressBook -----------------------------------------------------------

TfrmAddressBook::TfrmAddressBook(QWidget* parent) : QMainWindow(parent), ui_(std::make_unique<TQtContactsUi>(this)) {
  g_address_book = this;
  setObjectName("frmAddressBook");
  setWindowTitle("Address Book - Quillmar");
  setWindowIcon(CommandPicture("x-office-address-book"));
  CreateControls();
  CreateCommands();
  RestoreLayout();
  FillBooks();
}

TfrmAddressBook::~TfrmAddressBook() {
  if (g_address_book == this) g_address_book = nullptr;
}

TfrmAddressBook* TfrmAddressBook::Instance() { return g_address_book; }

QAction* TfrmAddressBook::Command(const char* name) const {
  auto it = commands_.find(name);
  return it == commands_.end() ? nullptr : it->second;
}

void TfrmAddressBook::CreateControls() {
  splitter = new QSplitter(Qt::Horizontal, this);
  splitter->setObjectName("splitter");
  splitter->setChildrenCollapsible(false);

  LeftPanel = new QWidget(splitter);
  LeftPanel->setObjectName("LeftPanel");
  auto* left = new QVBoxLayout(LeftPanel);
  left->setContentsMargins(2, 2, 0, 2);
  left->setSpacing(2);
  lblGroups = new QLabel(" Groups", LeftPanel);
  lblGroups->setObjectName("lblGroups");
  lblGroups->setFrameShape(QFrame::StyledPanel);
  lstGroups = new TBookListWidget(this, LeftPanel);
  lstGroups->setObjectName("lstGroups");
  lstGroups->setEditTriggers(QAbstractItemView::EditKeyPressed);
  lstGroups->setContextMenuPolicy(Qt::CustomContextMenu);
  left->addWidget(lblGroups);
  left->addWidget(lstGroups, 1);

  auto* right = new QSplitter(Qt::Vertical, splitter);
  right->setObjectName("RightPanel");
  right->setChildrenCollapsible(false);
  lstContacts = new QTreeWidget(right);
  lstContacts->setObjectName("lstContacts");
  lstContacts->setRootIsDecorated(false);
  lstContacts->setUniformRowHeights(true);
  lstContacts->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstContacts->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  lstContacts->setDragEnabled(true);
  lstContacts->setDragDropMode(QAbstractItemView::DragOnly);
  lstContacts->setDefaultDropAction(Qt::MoveAction);
  lstContacts->setContextMenuPolicy(Qt::CustomContextMenu);
  lstContacts->setColumnCount(kColumnCount);
  QStringList captions;
  for (const char* c : kColumnCaptions) captions << c;
  lstContacts->setHeaderLabels(captions);
  lstContacts->header()->setSectionsMovable(true);
  lstContacts->header()->setSectionsClickable(true);
  for (int c = 0; c < kColumnCount; ++c) lstContacts->header()->resizeSection(c, kDesignColumnWidths[c]);

  auto* details = new QWidget(right);
  details->setObjectName("DetailsPanel");
  auto* grid = new QHBoxLayout(details);
  grid->setContentsMargins(0, 2, 2, 2);
  auto box = [details](QLabel*& label, QPlainTextEdit*& edit, const char* label_name, const char* caption,
                       const char* edit_name) {
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    label = new QLabel(caption, details);
    label->setObjectName(label_name);
    label->setFrameShape(QFrame::StyledPanel);
    edit = new QPlainTextEdit(details);
    edit->setObjectName(edit_name);
    edit->setReadOnly(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    column->addWidget(label);
    column->addWidget(edit, 1);
    return column;
  };
  grid->addLayout(box(lblHome, edtHome, "lblHome", " Home", "edtHome"));
  grid->addLayout(box(lblContactInfo, edtContactInfo, "lblContactInfo", " Contact info", "edtContactInfo"));
  right->addWidget(lstContacts);
  right->addWidget(details);
  right->setStretchFactor(0, 3);
  right->setStretchFactor(1, 1);

  splitter->addWidget(LeftPanel);
  splitter->addWidget(right);
  splitter->setStretchFactor(1, 1);
  setCentralWidget(splitter);

  connect(lstGroups, &QListWidget::currentRowChanged, this, [this] { lstGroupsChange(); });
  connect(lstGroups, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) { lstGroupsEdited(item); });
  connect(lstContacts, &QTreeWidget::itemSelectionChanged, this, [this] { lstContactsChange(); });
  connect(lstContacts, &QTreeWidget::currentItemChanged, this, [this] { lstContactsChange(); });
  connect(lstContacts, &QTreeWidget::itemChanged, this,
          [this](QTreeWidgetItem* item, int column) { lstContactsEdited(item, column); });
  connect(lstContacts, &QTreeWidget::itemDoubleClicked, this, [this] { lstContactsDblClick(); });
  connect(lstContacts->header(), &QHeaderView::sectionClicked, this, [this](int column) {
    if (sort_column_ == column)
      sort_order_ = sort_order_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else
      sort_order_ = Qt::AscendingOrder;
    sort_column_ = column;
    SortContacts();
  });
  connect(lstGroups, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    if (QListWidgetItem* item = lstGroups->itemAt(pos)) lstGroups->setCurrentItem(item);
    popGroups->popup(lstGroups->viewport()->mapToGlobal(pos));
  });
  connect(lstContacts, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    QTreeWidgetItem* item = lstContacts->itemAt(pos);
    if (!item) return;
    if (!item->isSelected()) lstContacts->setCurrentItem(item);
    popContacts->popup(lstContacts->viewport()->mapToGlobal(pos));
  });
}

QAction* TfrmAddressBook::AddCommand(const char* name, const QString& caption, const char* icon,
                                     const QKeySequence& keys, void (TfrmAddressBook::*handler)()) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  if (icon) action->setIcon(CommandPicture(icon));
  if (!keys.isEmpty()) {
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
  }
  connect(action, &QAction::triggered, this, [this, handler, name] { Guarded(name, [&] { (this->*handler)(); }); });
  addAction(action);
  commands_[name] = action;
  return action;
}

void TfrmAddressBook::CreateCommands() {
  AddCommand("mnuNewContact", "New contact", "contact-new", QKeySequence(Qt::CTRL | Qt::Key_N),
             &TfrmAddressBook::mnuNewContactClick);
  AddCommand("mnuProperties", "Properties", "document-properties", QKeySequence(Qt::ALT | Qt::Key_Return),
             &TfrmAddressBook::mnuPropertiesClick);
  AddCommand("mnuDelete", "Delete", "edit-delete", {}, &TfrmAddressBook::mnuDeleteClick);
  AddCommand("mnuSendMail", "Send Mail", "mail-message-new", QKeySequence(Qt::CTRL | Qt::Key_M),
             &TfrmAddressBook::mnuSendMailClick);
  AddCommand("mnuVisitHomePage", "Visit Home Page", "internet-web-browser", QKeySequence(Qt::CTRL | Qt::Key_H),
             &TfrmAddressBook::mnuVisitHomePageClick);
  AddCommand("mnuAbout", "About...", "help-about", {}, &TfrmAddressBook::mnuAboutClick);
  AddCommand("mnuNewGroup", "New group", "folder-new", QKeySequence(Qt::CTRL | Qt::Key_G),
             &TfrmAddressBook::mnuNewGroupClick);
  AddCommand("mnuRename", "Rename", nullptr, QKeySequence(Qt::CTRL | Qt::Key_R), &TfrmAddressBook::mnuRenameClick);
  AddCommand("mnuDeleteGroup", "Delete group", "user-trash", {}, &TfrmAddressBook::mnuDeleteGroupClick);
  AddCommand("mnuSendMailToGroup", "Send mail to group", "mail-reply-all", QKeySequence(Qt::CTRL | Qt::Key_Return),
             &TfrmAddressBook::mnuSendMailToGroupClick);
  QAction* close_action = new QAction("&Close", this);
  close_action->setObjectName("mnuClose");
  connect(close_action, &QAction::triggered, this, &QWidget::close);
  commands_["mnuClose"] = close_action;

  auto fill = [this](QMenu* menu, std::initializer_list<const char*> names) {
    for (const char* n : names) {
      if (std::string(n) == "|")
        menu->addSeparator();
      else
        menu->addAction(Command(n));
    }
  };
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("mnuFile");
  fill(file, {"mnuClose"});
  QMenu* group = menuBar()->addMenu("&Group");
  group->setObjectName("mnuGroup");
  fill(group, {"mnuNewGroup", "mnuRename", "mnuDeleteGroup", "|", "mnuSendMailToGroup"});
  QMenu* contact = menuBar()->addMenu("&Contact");
  contact->setObjectName("mnuContact");
  fill(contact, {"mnuNewContact", "mnuProperties", "mnuDelete", "|", "mnuSendMail", "mnuVisitHomePage"});
  QMenu* help = menuBar()->addMenu("&Help");
  help->setObjectName("mnuHelp");
  fill(help, {"mnuAbout"});

  popGroups = new QMenu(this);
  popGroups->setObjectName("popGroups");
  fill(popGroups, {"mnuSendMailToGroup", "|", "mnuNewGroup", "mnuRename", "mnuDeleteGroup"});
  popContacts = new QMenu(this);
  popContacts->setObjectName("popContacts");
  fill(popContacts, {"mnuProperties", "mnuSendMail", "mnuVisitHomePage", "mnuDelete", "|", "mnuNewContact"});

  AddressBookToolbar = addToolBar("Address book toolbar");
  AddressBookToolbar->setObjectName("AddressBookToolbar");
  AddressBookToolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  AddressBookToolbar->setIconSize(QSize(24, 24));
  for (const char* n : {"mnuNewContact", "mnuProperties", "mnuDelete", "|", "mnuSendMail", "mnuVisitHomePage", "|",
                        "mnuNewGroup", "mnuSendMailToGroup"}) {
    if (std::string(n) == "|")
      AddressBookToolbar->addSeparator();
    else
      AddressBookToolbar->addAction(Command(n));
  }
}

void TfrmAddressBook::RestoreLayout() {
  int width = kDesignWidth, height = kDesignHeight, left = kDesignLeftPanelWidth;
  if (OptionsIni) {
    width = OptionsIni->ReadInteger("AddrBook", "Width", width);
    height = OptionsIni->ReadInteger("AddrBook", "Height", height);
    left = OptionsIni->ReadInteger("AddrBook", "LeftPanelWidth", left);
  }
  resize(std::max(width, 200), std::max(height, 150));
  splitter->setSizes({std::max(left, 40), std::max(width - left, 100)});

  QHeaderView* header = lstContacts->header();
  if (OptionsIni && OptionsIni->SectionExists(kColumnsSection)) {
    std::vector<ColumnDesc> columns(kColumnCount);
    for (int c = 0; c < kColumnCount; ++c) {
      columns[c].name = kColumnNames[c];
      columns[c].width = kDesignColumnWidths[c];
      columns[c].position = c;
    }
    LoadColumns(*OptionsIni, columns, kColumnsSection);
    std::vector<int> order(kColumnCount);
    for (int c = 0; c < kColumnCount; ++c) order[c] = c;
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return columns[a].position < columns[b].position; });
    for (int visual = 0; visual < kColumnCount; ++visual) header->moveSection(header->visualIndex(order[visual]), visual);
    for (int c = 0; c < kColumnCount; ++c) {
      header->resizeSection(c, std::max(20, columns[c].width));
      header->setSectionHidden(c, !columns[c].visible);
      if (columns[c].sort != ColumnSort::None) {
        sort_column_ = c;
        sort_order_ = columns[c].sort == ColumnSort::Ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
      }
    }
  }
  header->setSortIndicatorShown(sort_column_ >= 0);
  if (sort_column_ >= 0) header->setSortIndicator(sort_column_, sort_order_);

  if (FileExists(AddressBookToolbarFile)) {
    IniFile ini(AddressBookToolbarFile);
    QByteArray state = QByteArray::fromBase64(QByteArray::fromStdString(ini.ReadString("Layout", "State", "")));
    if (!state.isEmpty()) restoreState(state);
  }
  toolbar_layout_at_start_ = ToolbarLayoutKey();
}

// What the user can change of the toolbar. The saved state itself also holds
// pixel geometry that differs before and after the first show.
QString TfrmAddressBook::ToolbarLayoutKey() const {
  return QString("%1|%2|%3")
      .arg(AddressBookToolbar->isVisibleTo(this))
      .arg(static_cast<int>(toolBarArea(AddressBookToolbar)))
      .arg(toolBarBreak(AddressBookToolbar));
}

void TfrmAddressBook::SaveLayout() {
  if (ToolbarLayoutKey() != toolbar_layout_at_start_) {
    Guarded("SaveLayout", [&] {
      IniFile ini(AddressBookToolbarFile);
      ini.WriteString("Layout", "State", saveState().toBase64().toStdString());
    });
  }
  if (!OptionsIni) return;
  Guarded("SaveLayout", [&] {
    OptionsIni->WriteInteger("AddrBook", "Width", width());
    OptionsIni->WriteInteger("AddrBook", "Height", height());
    OptionsIni->WriteInteger("AddrBook", "LeftPanelWidth", splitter->sizes().value(0, kDesignLeftPanelWidth));
    QHeaderView* header = lstContacts->header();
    std::vector<ColumnDesc> columns;
    for (int visual = 0; visual < kColumnCount; ++visual) {
      const int c = header->logicalIndex(visual);
      ColumnDesc d;
      d.name = kColumnNames[c];
      d.position = visual;
      d.visible = !header->isSectionHidden(c);
      d.width = header->sectionSize(c) > 0 ? header->sectionSize(c) : kDesignColumnWidths[c];
      if (c == sort_column_) d.sort = sort_order_ == Qt::AscendingOrder ? ColumnSort::Ascending : ColumnSort::Descending;
      columns.push_back(d);
    }
    SaveColumns(*OptionsIni, columns, kColumnsSection);
  });
}

void TfrmAddressBook::closeEvent(QCloseEvent* event) {
  SaveLayout();
  event->accept();
}

// --- Books ---------------------------------------------------------------------

void TfrmAddressBook::FillBooks() {
  const std::string wanted = SelectedBook();
  {
    const QSignalBlocker block(lstGroups);
    lstGroups->clear();
    StringList books = GetBookList();
    for (size_t i = 0; i < books.size(); ++i) {
      auto* item = new QListWidgetItem(ContactGroupPicture(i == 0), Q(books[i]), lstGroups);
      item->setData(kOldNameRole, Q(books[i]));
      // The main book keeps its name.
      if (i > 0) item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    int at = 0;
    for (int r = 0; r < lstGroups->count(); ++r)
      if (S(lstGroups->item(r)->text()) == wanted) at = r;
    lstGroups->setCurrentRow(at);
  }
  lstGroupsChange();
}

std::string TfrmAddressBook::SelectedBook() const {
  QListWidgetItem* item = lstGroups ? lstGroups->currentItem() : nullptr;
  return item ? S(item->data(kOldNameRole).toString()) : std::string();
}

std::string TfrmAddressBook::SelectedBookFile() const {
  if (!lstGroups || lstGroups->currentRow() < 0) return "";
  return lstGroups->currentRow() == 0 ? ContactsFile() : GetGroupFile(SelectedBook());
}

bool TfrmAddressBook::ShowsFile(const std::string& book_file) const {
  return !book_file.empty() && SelectedBookFile() == book_file;
}

void TfrmAddressBook::SelectBook(const std::string& book) {
  for (int r = 0; r < lstGroups->count(); ++r)
    if (SameTextAscii(S(lstGroups->item(r)->text()), book)) lstGroups->setCurrentRow(r);
}

void TfrmAddressBook::GroupAdded(const std::string& group) {
  auto* item = new QListWidgetItem(ContactGroupPicture(false), Q(group));
  item->setData(kOldNameRole, Q(group));
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  const QSignalBlocker block(lstGroups);
  lstGroups->addItem(item);
}

void TfrmAddressBook::GroupRenamed(const std::string& old_group, const std::string& new_group) {
  const QSignalBlocker block(lstGroups);
  for (int r = 1; r < lstGroups->count(); ++r) {
    QListWidgetItem* item = lstGroups->item(r);
    if (S(item->data(kOldNameRole).toString()) == old_group) {
      item->setText(Q(new_group));
      item->setData(kOldNameRole, Q(new_group));
    }
  }
}

void TfrmAddressBook::GroupRemoved(const std::string& group) {
  for (int r = 1; r < lstGroups->count(); ++r) {
    if (S(lstGroups->item(r)->data(kOldNameRole).toString()) == group) {
      const bool was_current = lstGroups->currentRow() == r;
      {
        const QSignalBlocker block(lstGroups);
        delete lstGroups->takeItem(r);
        if (was_current) lstGroups->setCurrentRow(std::min(r, lstGroups->count() - 1));
      }
      if (was_current) lstGroupsChange();
      return;
    }
  }
}

void TfrmAddressBook::lstGroupsChange() {
  RefreshContacts();
  if (lstContacts->topLevelItemCount() > 0) {
    lstContacts->clearSelection();
    lstContacts->setCurrentItem(lstContacts->topLevelItem(0));
  }
  UpdateCommands();
}

void TfrmAddressBook::lstGroupsEdited(QListWidgetItem* item) {
  const std::string old_name = S(item->data(kOldNameRole).toString());
  const std::string new_name = TrimBlanks(S(item->text()));
  if (new_name == old_name) return;
  bool renamed = false;
  Guarded("RenameGroup", [&] { renamed = !new_name.empty() && RenameGroup(old_name, new_name, *ui_); });
  const QSignalBlocker block(lstGroups);
  // On success the list already follows through GroupRenamed; otherwise undo the edit.
  if (!renamed) item->setText(Q(old_name));
  RefreshContacts();
}

// --- Contacts ------------------------------------------------------------------

void TfrmAddressBook::RefreshContacts() {
  const std::string focused = FocusedContact();
  filling_ = true;
  {
    const QSignalBlocker block(lstContacts);
    lstContacts->clear();
    const std::string file = SelectedBookFile();
    if (!file.empty()) {
      for (const cContact& c : ReadContactsQuick(file)) {
        auto* item = new QTreeWidgetItem(lstContacts, {Q(c.Name), Q(c.Email), Q(c.HomePage)});
        item->setIcon(0, ContactPicture());
        item->setData(0, kOldNameRole, Q(c.Name));
        item->setFlags(item->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled);
      }
    }
    SortContacts();
  }
  filling_ = false;
  if (!focused.empty()) SelectContact(focused);
  lstContactsChange();
}

void TfrmAddressBook::SortContacts() {
  if (sort_column_ < 0) return;
  lstContacts->header()->setSortIndicatorShown(true);
  lstContacts->header()->setSortIndicator(sort_column_, sort_order_);
  lstContacts->sortItems(sort_column_, sort_order_);
}

std::vector<std::string> TfrmAddressBook::SelectedContacts() const {
  std::vector<std::string> names;
  for (int r = 0; r < lstContacts->topLevelItemCount(); ++r) {
    QTreeWidgetItem* item = lstContacts->topLevelItem(r);
    if (item->isSelected()) names.push_back(S(item->data(0, kOldNameRole).toString()));
  }
  return names;
}

std::string TfrmAddressBook::FocusedContact() const {
  QTreeWidgetItem* item = lstContacts ? lstContacts->currentItem() : nullptr;
  return item ? S(item->data(0, kOldNameRole).toString()) : std::string();
}

void TfrmAddressBook::SelectContact(const std::string& name) {
  for (int r = 0; r < lstContacts->topLevelItemCount(); ++r) {
    QTreeWidgetItem* item = lstContacts->topLevelItem(r);
    if (S(item->data(0, kOldNameRole).toString()) == name) {
      lstContacts->clearSelection();
      lstContacts->setCurrentItem(item);
      return;
    }
  }
}

void TfrmAddressBook::lstContactsChange() {
  if (filling_) return;
  ShowDetails();
  UpdateCommands();
}

void TfrmAddressBook::ShowDetails() {
  QTreeWidgetItem* item = lstContacts->currentItem();
  if (!item || !item->isSelected()) {
    edtHome->clear();
    edtContactInfo->clear();
    return;
  }
  cContact c;
  InitContact(c);
  ReadContact(SelectedBookFile(), FocusedContact(), false, c);
  QString home = JoinNonEmpty({&c.HomeAddress, &c.HomeStateOrProvince, &c.HomeCountry});
  QString info = JoinNonEmpty({&c.HomePhone, &c.HomeFax, &c.HomeMobile});
  edtHome->setPlainText(home.isEmpty() ? "(No Home Info avaliable)" : home);
  edtContactInfo->setPlainText(info.isEmpty() ? "(No Contacting Info avaliable)" : info);
}

void TfrmAddressBook::UpdateCommands() {
  const bool group = lstGroups->currentRow() > 0;
  Command("mnuRename")->setEnabled(group);
  Command("mnuDeleteGroup")->setEnabled(group);
  Command("mnuSendMailToGroup")->setEnabled(lstGroups->currentRow() >= 0);
  QTreeWidgetItem* item = lstContacts->currentItem();
  const bool selected = !lstContacts->selectedItems().isEmpty();
  const bool focused = item && item->isSelected();
  Command("mnuProperties")->setEnabled(focused);
  Command("mnuDelete")->setEnabled(selected);
  Command("mnuSendMail")->setEnabled(focused && !item->text(1).isEmpty());
  Command("mnuVisitHomePage")->setEnabled(focused && !item->text(2).isEmpty());
  Command("mnuNewContact")->setEnabled(lstGroups->currentRow() >= 0);
}

void TfrmAddressBook::lstContactsEdited(QTreeWidgetItem* item, int column) {
  if (filling_ || column != kNameColumn) return;
  const std::string old_name = S(item->data(0, kOldNameRole).toString());
  const std::string new_name = TrimBlanks(S(item->text(0)));
  const std::string file = SelectedBookFile();
  bool renamed = false;
  if (new_name != old_name) Guarded("RenameContact", [&] { renamed = RenameContact(file, old_name, new_name); });
  const QSignalBlocker block(lstContacts);
  if (renamed) {
    item->setData(0, kOldNameRole, Q(new_name));
    item->setText(0, Q(new_name));
    RefreshMainPaneFor(file);
  } else {
    item->setText(0, Q(old_name));
  }
}

void TfrmAddressBook::lstContactsDblClick() {
  if (Command("mnuSendMail")->isEnabled()) Command("mnuSendMail")->trigger();
}

// --- Commands ------------------------------------------------------------------

void TfrmAddressBook::mnuNewContactClick() { AddContactDialog(SelectedBookFile(), "", ""); }

void TfrmAddressBook::mnuPropertiesClick() {
  const std::string name = FocusedContact();
  if (!name.empty()) EditContactDialog(SelectedBookFile(), name);
}

void TfrmAddressBook::mnuDeleteClick() {
  const std::vector<std::string> names = SelectedContacts();
  if (names.empty()) return;
  const int focused_row = lstContacts->indexOfTopLevelItem(lstContacts->currentItem());
  const std::string file = SelectedBookFile();
  for (const std::string& name : names) DeleteContact(file, name);
  RefreshMainPaneFor(file);
  filling_ = true;
  {
    const QSignalBlocker block(lstContacts);
    for (int r = lstContacts->topLevelItemCount() - 1; r >= 0; --r)
      if (lstContacts->topLevelItem(r)->isSelected()) delete lstContacts->takeTopLevelItem(r);
    lstContacts->clearSelection();
    const int count = lstContacts->topLevelItemCount();
    if (count > 0) lstContacts->setCurrentItem(lstContacts->topLevelItem(std::clamp(focused_row, 0, count - 1)));
  }
  filling_ = false;
  lstContactsChange();
}

void TfrmAddressBook::mnuSendMailClick() {
  const std::string name = FocusedContact();
  if (!name.empty()) WriteToContact(name, SelectedBookFile(), "", *ui_);
}

void TfrmAddressBook::mnuVisitHomePageClick() {
  const std::string name = FocusedContact();
  if (!name.empty()) VisitHomePage(name, SelectedBookFile(), *ui_);
}

void TfrmAddressBook::mnuAboutClick() { ShowAbout(this); }

void TfrmAddressBook::mnuNewGroupClick() { AddGroupDialog(this); }

void TfrmAddressBook::mnuRenameClick() {
  if (lstGroups->currentRow() <= 0) return;
  lstGroups->editItem(lstGroups->currentItem());
}

void TfrmAddressBook::mnuDeleteGroupClick() {
  if (lstGroups->currentRow() <= 0) return;
  DeleteGroup(SelectedBook(), *ui_);
}

void TfrmAddressBook::mnuSendMailToGroupClick() {
  const std::string file = SelectedBookFile();
  if (!file.empty()) WriteToGroup(file, *ui_);
}

bool TfrmAddressBook::DropContactsOn(int book_row, bool copy) {
  if (book_row < 0 || book_row >= lstGroups->count() || book_row == lstGroups->currentRow()) return false;
  const std::vector<std::string> names = SelectedContacts();
  if (names.empty()) return false;
  const std::string from = SelectedBookFile();
  const std::string target_name = S(lstGroups->item(book_row)->data(kOldNameRole).toString());
  const std::string to = book_row == 0 ? ContactsFile() : GetGroupFile(target_name);
  if (from == to) return false;
  Guarded(copy ? "CopyContact" : "MoveContact", [&] {
    for (const std::string& name : names) {
      const bool done = copy ? CopyContact(from, to, name) : MoveContact(from, to, name);
      if (done && !copy) {
        const QSignalBlocker block(lstContacts);
        for (int r = 0; r < lstContacts->topLevelItemCount(); ++r)
          if (S(lstContacts->topLevelItem(r)->data(0, kOldNameRole).toString()) == name) {
            delete lstContacts->takeTopLevelItem(r);
            break;
          }
      }
    }
  });
  if (!copy) RefreshMainPaneFor(from);
  RefreshMainPaneFor(to);
  lstContactsChange();
  return true;
}

// --- Entry points --------------------------------------------------------------

void OpenAddressBook() {
  if (TraceWindowEntryPoint("OpenAddressBook")) return;
  TfrmAddressBook* book = TfrmAddressBook::Instance();
  if (!book) {
    book = new TfrmAddressBook;
    book->setAttribute(Qt::WA_DeleteOnClose);
  }
  book->show();
  book->raise();
  book->activateWindow();
}

bool AddressBookShowsFile(const std::string& book_file) {
  TfrmAddressBook* book = TfrmAddressBook::Instance();
  return book && book->ShowsFile(book_file);
}

void RefreshAddressBook() {
  if (TfrmAddressBook* book = TfrmAddressBook::Instance()) book->RefreshContacts();
}

}  // namespace qm
