#include "ui/preview_mail.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "accounts/account_settings.h"
#include "shell/app_paths.h"
#include "shell/column_settings.h"
#include "transport/preview_mail_task.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

namespace {

constexpr int kNumberRole = Qt::UserRole + 1;
constexpr int kSizeRole = Qt::UserRole + 2;
constexpr int kDateRole = Qt::UserRole + 3;
constexpr const char* kColumnsSection = "PreviewFrmColumns";
const char* const kColumnNames[] = {"Tick", "Subject", "From", "To", "DateTime", "Size"};

class TPreviewItem : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    switch (column) {
      case TfrmPreviewMail::clnDateTime:
        return data(0, kDateRole).toDouble() < other.data(0, kDateRole).toDouble();
      case TfrmPreviewMail::clnSize:
        return data(0, kSizeRole).toLongLong() < other.data(0, kSizeRole).toLongLong();
      case TfrmPreviewMail::clnTick:
        return checkState(0) < other.checkState(0);
      default:
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
  }
};

}  // namespace

TfrmPreviewMail::TfrmPreviewMail(QWidget* parent) : QWidget(parent) {
  setObjectName("TfrmPreviewMail");
  setWindowFlags(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);
  StartFetch = QueueFetchSelected;
  StartDelete = QueueDeleteSelected;

  lstMsgs = new QTreeWidget(this);
  lstMsgs->setObjectName("lstMsgs");
  lstMsgs->setColumnCount(kColumnCount);
  lstMsgs->setHeaderLabels({"", " Subject", " From", " To", " DateTime", " Size"});
  lstMsgs->setRootIsDecorated(false);
  lstMsgs->setAllColumnsShowFocus(true);
  lstMsgs->setSortingEnabled(true);
  lstMsgs->header()->setSectionsMovable(true);
  lstMsgs->setColumnWidth(clnTick, 28);
  lstMsgs->setColumnWidth(clnSubject, 180);
  lstMsgs->setColumnWidth(clnFrom, 140);
  lstMsgs->setColumnWidth(clnTo, 120);
  lstMsgs->setColumnWidth(clnDateTime, 120);
  lstMsgs->setColumnWidth(clnSize, 70);
  lstMsgs->sortByColumn(clnDateTime, Qt::DescendingOrder);
  connect(lstMsgs, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item, int) { ToggleTick(lstMsgs->indexOfTopLevelItem(item)); });

  lblStats = new QLabel(this);
  lblStats->setObjectName("lblStats");
  auto* buttons = new QWidget(this);
  buttons->setObjectName("pnlButtons");
  buttons->setFixedHeight(34);
  btnErase = new QPushButton("&Erase selected", buttons);
  btnErase->setObjectName("btnErase");
  btnDownload = new QPushButton("&Download selected", buttons);
  btnDownload->setObjectName("btnDownload");
  btnClose = new QPushButton("&Close", buttons);
  btnClose->setObjectName("btnClose");
  for (QPushButton* b : {btnErase, btnDownload, btnClose}) b->resize(std::max(b->sizeHint().width(), 110), 26);
  connect(btnErase, &QPushButton::clicked, this, &TfrmPreviewMail::btnEraseClick);
  connect(btnDownload, &QPushButton::clicked, this, &TfrmPreviewMail::btnDownloadClick);
  connect(btnClose, &QPushButton::clicked, this, &QWidget::close);

  auto* root = new QVBoxLayout(this);
  root->addWidget(lstMsgs, 1);
  root->addWidget(lblStats);
  root->addWidget(buttons);

  LoadLayout();
  if (QScreen* screen = QApplication::primaryScreen()) move(screen->availableGeometry().center() - rect().center());
}

TfrmPreviewMail::~TfrmPreviewMail() = default;

void TfrmPreviewMail::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  QWidget* panel = btnErase->parentWidget();
  int top = (panel->height() - btnErase->height()) / 2;
  // "Erase" stays centred on the window; the other two keep to the sides.
  btnErase->move((width() - btnErase->width()) / 2 - panel->x(), top);
  btnDownload->move(0, top);
  btnClose->move(panel->width() - btnClose->width(), top);
}

void TfrmPreviewMail::SetAccount(const std::string& account) { account_ = account; }
void TfrmPreviewMail::SetCaption(const std::string& caption) { setWindowTitle(Q(caption)); }

void TfrmPreviewMail::BeginUpdate() {
  lstMsgs->setUpdatesEnabled(false);
  lstMsgs->setSortingEnabled(false);
}

void TfrmPreviewMail::EndUpdate() {
  lstMsgs->setSortingEnabled(true);
  lstMsgs->sortByColumn(lstMsgs->header()->sortIndicatorSection(), lstMsgs->header()->sortIndicatorOrder());
  lstMsgs->setUpdatesEnabled(true);
}

void TfrmPreviewMail::AddRow(const cPreviewRow& row) {
  auto* item = new TPreviewItem(QStringList{"", Q(row.Subject), Q(row.FromName), Q(row.To), Q(row.DateText),
                                            Q(row.SizeText)});
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  item->setCheckState(clnTick, Qt::Unchecked);
  item->setData(0, kNumberRole, row.Number);
  item->setData(0, kSizeRole, static_cast<qlonglong>(row.Size));
  item->setData(0, kDateRole, row.Date);
  item->setTextAlignment(clnSize, Qt::AlignRight | Qt::AlignVCenter);
  lstMsgs->addTopLevelItem(item);
}

void TfrmPreviewMail::SetStats(const std::string& text) { lblStats->setText(Q(text)); }

void TfrmPreviewMail::ShowAndFocus() {
  show();
  raise();
  activateWindow();
}

int TfrmPreviewMail::RowCount() const { return lstMsgs->topLevelItemCount(); }

bool TfrmPreviewMail::RowTicked(int row) const {
  QTreeWidgetItem* item = lstMsgs->topLevelItem(row);
  return item && item->checkState(clnTick) == Qt::Checked;
}

int TfrmPreviewMail::RowNumber(int row) const {
  QTreeWidgetItem* item = lstMsgs->topLevelItem(row);
  return item ? item->data(0, kNumberRole).toInt() : -1;
}

void TfrmPreviewMail::ToggleTick(int row) {
  QTreeWidgetItem* item = lstMsgs->topLevelItem(row);
  if (!item) return;
  item->setCheckState(clnTick, item->checkState(clnTick) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

StringList TfrmPreviewMail::TakeTickedRows(bool leaves_server) {
  StringList numbers;
  std::vector<int> taken;
  for (int row = lstMsgs->topLevelItemCount() - 1; row >= 0; --row) {
    if (!RowTicked(row)) continue;
    numbers.push_back(std::to_string(RowNumber(row)));
    taken.push_back(RowNumber(row));
    delete lstMsgs->takeTopLevelItem(row);
  }
  // The server numbers its messages afresh once these are gone, so a later
  // erase or download from this window must name the new numbers, not
  // someone else's message.
  if (leaves_server && !taken.empty()) {
    std::sort(taken.begin(), taken.end());
    for (int row = 0; row < lstMsgs->topLevelItemCount(); ++row) {
      QTreeWidgetItem* item = lstMsgs->topLevelItem(row);
      const int number = item->data(0, kNumberRole).toInt();
      const auto below = std::lower_bound(taken.begin(), taken.end(), number) - taken.begin();
      item->setData(0, kNumberRole, number - static_cast<int>(below));
    }
  }
  return numbers;
}

void TfrmPreviewMail::btnDownloadClick() {
  StringList numbers = TakeTickedRows(!LoadAccount(account_).LeaveMailOnServer);
  if (numbers.empty()) return;
  if (StartFetch) StartFetch(account_, numbers);
  ShowAndFocus();
}

void TfrmPreviewMail::btnEraseClick() {
  if (QMessageBox::question(this, "Delete selected msgs", "Are you sure you want to erase the selected messages?",
                            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  StringList numbers = TakeTickedRows(true);
  if (StartDelete) StartDelete(account_, numbers);
  ShowAndFocus();
}

void TfrmPreviewMail::LoadLayout() {
  int width = OptionsIni ? OptionsIni->ReadInteger("PreviewForm", "Width", 700) : 700;
  int height = OptionsIni ? OptionsIni->ReadInteger("PreviewForm", "Height", 400) : 400;
  resize(width, height);
  if (!OptionsIni || !OptionsIni->SectionExists(kColumnsSection)) return;
  std::vector<ColumnDesc> columns;
  QHeaderView* header = lstMsgs->header();
  for (int i = 0; i < kColumnCount; ++i) {
    ColumnDesc c;
    c.name = kColumnNames[i];
    c.width = header->sectionSize(i);
    c.position = header->visualIndex(i);
    c.visible = !header->isSectionHidden(i);
    columns.push_back(c);
  }
  LoadColumns(*OptionsIni, columns, kColumnsSection);
  std::sort(columns.begin(), columns.end(),
            [](const ColumnDesc& a, const ColumnDesc& b) { return a.position < b.position; });
  int sort_column = clnDateTime;
  Qt::SortOrder sort_order = Qt::DescendingOrder;
  for (int pos = 0; pos < static_cast<int>(columns.size()); ++pos) {
    const ColumnDesc& c = columns[static_cast<size_t>(pos)];
    int logical = -1;
    for (int i = 0; i < kColumnCount; ++i)
      if (c.name == kColumnNames[i]) logical = i;
    if (logical < 0) continue;
    header->moveSection(header->visualIndex(logical), std::clamp(c.position, 0, kColumnCount - 1));
    header->setSectionHidden(logical, !c.visible);
    if (c.width > 0) header->resizeSection(logical, c.width);
    if (c.sort != ColumnSort::None) {
      sort_column = logical;
      sort_order = c.sort == ColumnSort::Descending ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
  }
  lstMsgs->sortByColumn(sort_column, sort_order);
}

void TfrmPreviewMail::SaveLayout() {
  if (!OptionsIni) return;
  OptionsIni->WriteInteger("PreviewForm", "Height", height());
  OptionsIni->WriteInteger("PreviewForm", "Width", width());
  QHeaderView* header = lstMsgs->header();
  std::vector<ColumnDesc> columns;
  for (int pos = 0; pos < kColumnCount; ++pos) {
    int logical = header->logicalIndex(pos);
    ColumnDesc c;
    c.name = kColumnNames[logical];
    c.visible = !header->isSectionHidden(logical);
    c.width = header->sectionSize(logical);
    c.position = pos;
    if (header->sortIndicatorSection() == logical)
      c.sort = header->sortIndicatorOrder() == Qt::DescendingOrder ? ColumnSort::Descending : ColumnSort::Ascending;
    columns.push_back(c);
  }
  SaveColumns(*OptionsIni, columns, kColumnsSection);
}

cPreviewWindowView* CreatePreviewWindowView() { return new TfrmPreviewMail; }

void DestroyPreviewWindowView(cPreviewWindowView* window) {
  if (auto* preview = dynamic_cast<TfrmPreviewMail*>(window)) {
    // Gone without asking: the partly filled window never becomes the user's.
    preview->setAttribute(Qt::WA_DeleteOnClose, false);
    preview->hide();
    preview->deleteLater();
  }
}

void TfrmPreviewMail::closeEvent(QCloseEvent* event) {
  SaveLayout();
  event->accept();
}

}  // namespace qm
