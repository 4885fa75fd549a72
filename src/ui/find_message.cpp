#include "ui/find_message.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/date_time.h"
#include "platform/locale_format.h"
#include "shell/app_paths.h"
#include "shell/column_settings.h"
#include "store/folder_tree.h"
#include "store/store_lock.h"
#include "ui/main_folder_tree.h"
#include "ui/main_icons.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

namespace {

TfrmFindMessage* g_find = nullptr;

constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kRefRole = Qt::UserRole + 2;
constexpr int kSortRole = Qt::UserRole + 3;
constexpr int kDesignTopPanel = 257;
constexpr int kDesignWidth = 400;
constexpr int kDesignHeight = 447;
const char* const kColumnNames[4] = {"clnFolder", "clnSubject", "clnAuthor", "clnDate"};
const int kDesignWidths[4] = {120, 90, 90, 110};
const char* const kColumnsSection = "FindWindowColumns";

NodeIcon PictureOf(int icon) {
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

// Dates sort by their value, the other columns by their text.
class TResultItem : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    if (column == 3) return data(3, kSortRole).toDouble() < other.data(3, kSortRole).toDouble();
    return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
  }
};

std::string DateText(TDateTime dt) {
  if (dt == 0) return {};
  return FormatShortDate(dt) + " " + FormatLongTime(dt);
}

}  // namespace

TfrmFindMessage* TfrmFindMessage::Instance() { return g_find; }

TfrmFindMessage::TfrmFindMessage(QWidget* parent) : QDialog(parent) {
  g_find = this;
  setObjectName("TfrmFindMessage");
  setWindowTitle("Find Message");
  setAttribute(Qt::WA_DeleteOnClose);
  setSizeGripEnabled(true);

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(6, 6, 6, 6);
  splitter = new QSplitter(Qt::Vertical, this);
  splitter->setObjectName("splitter");
  splitter->setChildrenCollapsible(false);
  outer->addWidget(splitter);

  TopPanel = new QWidget(splitter);
  TopPanel->setObjectName("TopPanel");
  auto* top = new QVBoxLayout(TopPanel);
  top->setContentsMargins(0, 0, 0, 0);
  auto* title = new QLabel("Please enter the search criteria and options here below", TopPanel);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  top->addWidget(title);
  auto* row = new QHBoxLayout;
  auto* lblSearch = new QLabel("&Search for", TopPanel);
  edtCriteria = new QLineEdit(TopPanel);
  edtCriteria->setObjectName("edtCriteria");
  lblSearch->setBuddy(edtCriteria);
  row->addWidget(lblSearch);
  row->addWidget(edtCriteria, 1);
  top->addLayout(row);
  top->addWidget(new QLabel("In the following fields:", TopPanel));
  auto* boxes = new QHBoxLayout;
  chkSearchSubject = new QCheckBox("Subject", TopPanel);
  chkSearchSubject->setObjectName("chkSearchSubject");
  chkSearchAuthor = new QCheckBox("Message author", TopPanel);
  chkSearchAuthor->setObjectName("chkSearchAuthor");
  chkSearchBody = new QCheckBox("Body of the email", TopPanel);
  chkSearchBody->setObjectName("chkSearchBody");
  boxes->addWidget(chkSearchSubject);
  boxes->addWidget(chkSearchAuthor);
  boxes->addWidget(chkSearchBody);
  boxes->addStretch(1);
  top->addLayout(boxes);
  top->addWidget(new QLabel("Start in folder:", TopPanel));
  auto* tree_row = new QHBoxLayout;
  lstFolders = new QTreeWidget(TopPanel);
  lstFolders->setObjectName("lstFolders");
  lstFolders->setColumnCount(3);
  lstFolders->setHeaderLabels({" Name", " U", " T"});
  lstFolders->header()->setStretchLastSection(false);
  lstFolders->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  lstFolders->setColumnWidth(1, 36);
  lstFolders->setColumnWidth(2, 36);
  tree_row->addWidget(lstFolders, 1);
  auto* buttons = new QVBoxLayout;
  btnBeginSearch = new QPushButton("&Begin search", TopPanel);
  btnBeginSearch->setObjectName("btnBeginSearch");
  btnBeginSearch->setDefault(true);
  btnBeginSearch->setEnabled(false);
  btnStop = new QPushButton("S&top", TopPanel);
  btnStop->setObjectName("btnStop");
  btnStop->setEnabled(false);
  btnClose = new QPushButton("&Close", TopPanel);
  btnClose->setObjectName("btnClose");
  buttons->addWidget(btnBeginSearch);
  buttons->addWidget(btnStop);
  buttons->addWidget(btnClose);
  buttons->addStretch(1);
  tree_row->addLayout(buttons);
  top->addLayout(tree_row, 1);

  auto* bottom = new QWidget(splitter);
  auto* bottom_layout = new QVBoxLayout(bottom);
  bottom_layout->setContentsMargins(0, 0, 0, 0);
  bottom_layout->addWidget(new QLabel("Results:", bottom));
  ResultsList = new QTreeWidget(bottom);
  ResultsList->setObjectName("ResultsList");
  ResultsList->setColumnCount(4);
  ResultsList->setHeaderLabels({" Folder", " Subject", " Author", " Date"});
  ResultsList->setRootIsDecorated(false);
  ResultsList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ResultsList->setSortingEnabled(true);
  ResultsList->sortByColumn(0, Qt::DescendingOrder);
  ResultsList->setUniformRowHeights(true);
  for (int c = 0; c < 4; ++c) ResultsList->setColumnWidth(c, kDesignWidths[c]);
  bottom_layout->addWidget(ResultsList, 1);
  splitter->setStretchFactor(1, 1);

  connect(edtCriteria, &QLineEdit::textChanged, this, &TfrmFindMessage::UpdateEnabled);
  for (QCheckBox* box : {chkSearchSubject, chkSearchAuthor, chkSearchBody})
    connect(box, &QCheckBox::clicked, this, &TfrmFindMessage::UpdateEnabled);
  connect(btnBeginSearch, &QPushButton::clicked, this, &TfrmFindMessage::btnBeginSearchClick);
  connect(btnStop, &QPushButton::clicked, this, &TfrmFindMessage::btnStopClick);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
  connect(ResultsList, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item, int) { ResultsListDblClick(item); });

  // Column layout, the tree, geometry and the three boxes.
  if (OptionsIni && OptionsIni->SectionExists(kColumnsSection)) {
    std::vector<ColumnDesc> columns(4);
    for (int c = 0; c < 4; ++c) {
      columns[c].name = kColumnNames[c];
      columns[c].width = kDesignWidths[c];
      columns[c].position = c;
    }
    LoadColumns(*OptionsIni, columns, kColumnsSection);
    std::vector<int> order{0, 1, 2, 3};
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return columns[a].position < columns[b].position; });
    QHeaderView* header = ResultsList->header();
    for (int visual = 0; visual < 4; ++visual) header->moveSection(header->visualIndex(order[visual]), visual);
    for (int c = 0; c < 4; ++c) {
      header->resizeSection(c, std::max(20, columns[c].width));
      header->setSectionHidden(c, !columns[c].visible);
      if (columns[c].sort != ColumnSort::None)
        ResultsList->sortByColumn(c, columns[c].sort == ColumnSort::Ascending ? Qt::AscendingOrder
                                                                             : Qt::DescendingOrder);
    }
  }
  FillFolders();
  int w = kDesignWidth, h = kDesignHeight, top_height = kDesignTopPanel, left = -1, top_pos = -1;
  if (OptionsIni) {
    w = OptionsIni->ReadInteger("FindWnd", "Width", w);
    h = OptionsIni->ReadInteger("FindWnd", "Height", h);
    left = OptionsIni->ReadInteger("FindWnd", "Left", -1);
    top_pos = OptionsIni->ReadInteger("FindWnd", "Top", -1);
    top_height = OptionsIni->ReadInteger("FindWnd", "TopPanelHeight", top_height);
    chkSearchSubject->setChecked(OptionsIni->ReadBool("FindWnd", "CheckSubject", false));
    chkSearchAuthor->setChecked(OptionsIni->ReadBool("FindWnd", "CheckAuthor", true));
    chkSearchBody->setChecked(OptionsIni->ReadBool("FindWnd", "CheckBody", false));
  } else {
    chkSearchAuthor->setChecked(true);
  }
  resize(std::max(w, 300), std::max(h, 300));
  if (left >= 0 && top_pos >= 0) move(left, top_pos);
  splitter->setSizes({std::max(top_height, 120), std::max(h - top_height, 80)});
  UpdateEnabled();
}

TfrmFindMessage::~TfrmFindMessage() {
  StopWorker();
  if (g_find == this) g_find = nullptr;
}

void TfrmFindMessage::FillFolders() {
  lstFolders->clear();
  StoreLock lock;
  cFolderNode* root = FolderTree().Root();
  if (!root) return;
  std::function<void(cFolderNode&, QTreeWidgetItem*)> add = [&](cFolderNode& node, QTreeWidgetItem* parent) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(lstFolders);
    item->setText(0, Q(node.caption));
    item->setIcon(0, NodePicture(PictureOf(node.icon)));
    if (node.IsMailbox()) {
      item->setText(1, QString::number(node.info.unread));
      item->setText(2, QString::number(node.info.total));
    }
    item->setData(0, kPathRole, Q(node.info.path));
    item->setData(0, Qt::UserRole, node.IsMailbox());
    for (const auto& child : node.Children()) add(*child, item);
  };
  add(*root, nullptr);
  if (TfrmMain* main = TfrmMain::Instance()) {
    if (main->lstFolders) lstFolders->setFont(main->lstFolders->font());
  }
  if (QTreeWidgetItem* first = lstFolders->topLevelItem(0)) {
    lstFolders->setCurrentItem(first);
    first->setExpanded(true);
  }
}

void TfrmFindMessage::UpdateEnabled() {
  bool any = chkSearchSubject->isChecked() || chkSearchAuthor->isChecked() || chkSearchBody->isChecked();
  btnBeginSearch->setEnabled(!edtCriteria->text().isEmpty() && any && !Searching());
}

void TfrmFindMessage::StopWorker() {
  if (!worker_.joinable()) return;
  stop_ = true;
  worker_.join();
}

void TfrmFindMessage::btnBeginSearchClick() {
  if (edtCriteria->text().isEmpty() || Searching()) return;
  StopWorker();
  cSearchOptions options;
  options.text = S(edtCriteria->text());
  options.subject = chkSearchSubject->isChecked();
  options.author = chkSearchAuthor->isChecked();
  options.body = chkSearchBody->isChecked();
  if (!options.subject && !options.author && !options.body) return;

  setWindowTitle("Find Message - Search in progress...");
  ResultsList->clear();
  std::string path = MailDir;
  bool mailbox = false;
  if (QTreeWidgetItem* item = lstFolders->currentItem()) {
    path = S(item->data(0, kPathRole).toString());
    mailbox = item->data(0, Qt::UserRole).toBool();
  }
  if (path.empty()) path = MailDir;

  stop_ = false;
  finished_ = false;
  btnStop->setEnabled(true);
  UpdateEnabled();
  QPointer<TfrmFindMessage> self(this);
  worker_ = std::thread([this, options, path, mailbox] {
    // Rows are handed over in small batches so a large result list does not
    // flood the event queue.
    std::vector<cSearchHit> batch;
    auto flush = [&] {
      if (batch.empty()) return;
      QMetaObject::invokeMethod(
          this, [this, hits = std::move(batch)] {
            ResultsList->setSortingEnabled(false);
            for (const cSearchHit& h : hits) AddHit(h);
            ResultsList->setSortingEnabled(true);
          },
          Qt::QueuedConnection);
      batch.clear();
    };
    cMessageSearch search(options, [&](const cSearchHit& hit) {
      batch.push_back(hit);
      if (batch.size() >= 64) flush();
    }, &stop_);
    if (mailbox)
      search.SearchMailbox(path);
    else
      search.SearchFolder(path);
    flush();
    QMetaObject::invokeMethod(this, [this] { SearchDone(); }, Qt::QueuedConnection);
  });
}

void TfrmFindMessage::AddHit(const cSearchHit& hit) {
  auto* item = new TResultItem(ResultsList);
  item->setText(0, Q(hit.folder_caption));
  item->setIcon(0, NodePicture(PictureOf(hit.folder_icon)));
  item->setText(1, Q(hit.subject));
  item->setText(2, Q(hit.from_name));
  item->setText(3, Q(DateText(hit.date)));
  item->setData(3, kSortRole, hit.date);
  item->setData(0, kRefRole, Q(hit.message_ref));
}

void TfrmFindMessage::SearchDone() {
  if (worker_.joinable()) worker_.join();
  finished_ = true;
  btnStop->setEnabled(false);
  setWindowTitle("Find Message - Search Done");
  UpdateEnabled();
}

void TfrmFindMessage::WaitForSearch() {
  while (Searching()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void TfrmFindMessage::btnStopClick() { stop_ = true; }

std::string TfrmFindMessage::RowRef(int row) const {
  QTreeWidgetItem* item = ResultsList->topLevelItem(row);
  return item ? S(item->data(0, kRefRole).toString()) : std::string();
}

void TfrmFindMessage::ResultsListDblClick(QTreeWidgetItem* item) {
  if (!item) return;
  std::string ref = S(item->data(0, kRefRole).toString());
  if (!ref.empty()) OpenMessageWindow(ref);
}

void TfrmFindMessage::SaveLayout() {
  if (saved_ || !OptionsIni) return;
  saved_ = true;
  QHeaderView* header = ResultsList->header();
  std::vector<ColumnDesc> columns;
  for (int visual = 0; visual < 4; ++visual) {
    int c = header->logicalIndex(visual);
    ColumnDesc d;
    d.name = kColumnNames[c];
    d.position = visual;
    d.visible = !header->isSectionHidden(c);
    d.width = header->sectionSize(c) > 0 ? header->sectionSize(c) : kDesignWidths[c];
    if (c == ResultsList->sortColumn())
      d.sort = ResultsList->header()->sortIndicatorOrder() == Qt::AscendingOrder ? ColumnSort::Ascending
                                                                                 : ColumnSort::Descending;
    columns.push_back(d);
  }
  SaveColumns(*OptionsIni, columns, kColumnsSection);
  OptionsIni->WriteInteger("FindWnd", "Height", height());
  OptionsIni->WriteInteger("FindWnd", "Width", width());
  OptionsIni->WriteInteger("FindWnd", "Left", x());
  OptionsIni->WriteInteger("FindWnd", "Top", y());
  OptionsIni->WriteInteger("FindWnd", "TopPanelHeight", splitter->sizes().value(0, kDesignTopPanel));
  OptionsIni->WriteBool("FindWnd", "CheckSubject", chkSearchSubject->isChecked());
  OptionsIni->WriteBool("FindWnd", "CheckAuthor", chkSearchAuthor->isChecked());
  OptionsIni->WriteBool("FindWnd", "CheckBody", chkSearchBody->isChecked());
}

void TfrmFindMessage::closeEvent(QCloseEvent* event) {
  StopWorker();
  SaveLayout();
  if (g_find == this) g_find = nullptr;
  event->accept();
  QDialog::closeEvent(event);
}

void TfrmFindMessage::reject() { close(); }

void ShowFindMessage() {
  if (TfrmFindMessage* open = TfrmFindMessage::Instance()) {
    open->show();
    open->raise();
    open->activateWindow();
    return;
  }
  auto* window = new TfrmFindMessage(TfrmMain::Instance());
  window->setWindowFlag(Qt::Window);
  window->show();
}

}  // namespace qm
