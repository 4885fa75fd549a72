// TfrmMain: creation, layout and its saving, the status bar, offline mode,
// keyboard, minimising and the close sequence.
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "contacts/contacts_ui.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/column_settings.h"
#include "shell/font_settings.h"
#include "shell/hand_off.h"
#include "store/folder_tree_scan.h"
#include "store/mailbox_stats.h"
#include "store/ref_list.h"
#include "store/store_lock.h"
#include "store/store_ui.h"
#include "transport/task_queue.h"
#include "transport/task_starter.h"
#include "ui/compose_entry.h"
#include "ui/html_display.h"
#include "ui/main_error_guard.h"
#include "ui/main_folder_tree.h"
#include "ui/main_message_list.h"
#include "ui/main_panes.h"
#include "ui/main_task_host.h"
#include "ui/message_viewer_frame.h"
#include "ui/qt_text.h"
#include "ui/ui_store_bridge.h"
#include "ui/window_entry_points.h"

namespace qm {

namespace {

TfrmMain* g_main = nullptr;

// Designed sizes.
constexpr int kDesignLeft = 8, kDesignTop = 13, kDesignWidth = 792, kDesignHeight = 547;
constexpr int kDesignLeftPaneWidth = 200, kDesignContactsHeight = 145, kDesignMsgBodyHeight = 226;
const int kDesignColumnWidths[kMsgColumnCount] = {148, 83, 71, 20, 101, 52, 97};

// The designed widths fit an 8-point font 13 pixels high; larger desktop
// fonts widen them so that sizes and dates are not cut.
int DesignColumnWidth(int column, const QFontMetrics& fm) {
  double scale = std::max(1.0, fm.height() / 13.0);
  int width = static_cast<int>(kDesignColumnWidths[column] * scale);
  if (column == clnAttachments) return 20;
  if (column == clnSize) width = std::max(width, fm.horizontalAdvance("1,023.99 KB") + 12);
  if (column == clnDateTime) width = std::max(width, fm.horizontalAdvance("12/31/2026 23:59") + 12);
  return width;
}

QFont ToQFont(const FontDesc& d) {
  QFont f(Q(d.name));
  f.setPointSize(d.size > 0 ? d.size : 8);
  f.setBold(d.bold);
  f.setItalic(d.italic);
  f.setUnderline(d.underline);
  return f;
}

}  // namespace

TfrmMain* TfrmMain::Instance() { return g_main; }

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
  g_main = this;
  setObjectName("frmMain");
  setWindowTitle("Torvane Quillmar");

  // 1. Fields.
  show_full_name_ = OptionsIni && OptionsIni->ReadBool("Options", "ShowFullName", false);

  CreatePanes();
  CreateCommands();
  CreateMenusAndToolbar();
  CreateStatusBar();
  CreateTray();
  ConnectCommands();
  ConnectContactCommands();

  // 2. Toolbar and menu layout.
  toolbar_state_at_start_ = saveState();
  if (FileExists(MainToolbarFile)) {
    IniFile ini(MainToolbarFile);
    QByteArray state = QByteArray::fromBase64(QByteArray::fromStdString(ini.ReadString("Layout", "State", "")));
    if (!state.isEmpty()) restoreState(state);
  }
  toolbar_state_at_start_ = saveState();

  // 3. Timers.
  tmrMarkRead = new QTimer(this);
  tmrMarkRead->setObjectName("tmrMarkRead");
  tmrMarkRead->setSingleShot(false);
  connect(tmrMarkRead, &QTimer::timeout, this, Guarded([this] { tmrMarkReadTimer(); }));
  tmrCheckMail = new QTimer(this);
  tmrCheckMail->setObjectName("tmrCheckMail");
  connect(tmrCheckMail, &QTimer::timeout, this, Guarded([this] { tmrCheckMailTimer(); }));
  SetMarkRead(!OptionsIni || OptionsIni->ReadBool("Options", "MarkMsgRead", true),
              OptionsIni ? OptionsIni->ReadInteger("Options", "MarkMsgReadTimeout", 3) : 3);
  SetCheckMailTimer(OptionsIni && OptionsIni->ReadBool("Options", "VerifyMail", false),
                    OptionsIni ? OptionsIni->ReadInteger("Options", "VerifyMailInterval", 5) : 5);

  // 4. Geometry, 5. columns, 6. view toggles.
  RestoreLayout();
  RestoreColumns();
  ApplyViewToggles();

  // 7. Tray.
  SetTrayState(TrayState::Normal, "Torvane Quillmar", true);
  SetTrayIconShown(!OptionsIni || OptionsIni->ReadBool("Options", "ShowTrayIcon", true));

  // 8. Contact pane, 9. offline, 10. fonts.
  ReloadContactPane();
  SetWorkingOffline(OptionsIni && OptionsIni->ReadBool("MainWnd", "WorkingOffline", false));
  ApplyFonts();

  qApp->installEventFilter(this);

  // 11. The tree (which may ask for the first account and selects a node).
  tree_listener_ = MakeMainTreeListener(this);
  FolderTree().AddListener(tree_listener_.get());
  InstallUiStoreBridge(this);
  if (!GetMailTaskStarter()) InstallTaskStarter();
  task_host_ = InstallMainTaskHost(this);
  RunGuarded([] { BuildFolderTree(); });
  if (QTreeWidgetItem* root = lstFolders->topLevelItem(0)) root->setExpanded(true);
  lstMsgs->setFocus();
  UpdateCommands();
}

TfrmMain::~TfrmMain() {
  qApp->removeEventFilter(this);
  ++fill_generation_;
  RemoveUiStoreBridge(this);
  if (tree_listener_) FolderTree().RemoveListener(tree_listener_.get());
  if (task_host_ && GetTaskHost() == task_host_.get()) SetTaskHost(nullptr);
  if (g_main == this) g_main = nullptr;
}

// --- Panes ----------------------------------------------------------------------

void TfrmMain::CreatePanes() {
  LeftPane = new QWidget(this);
  LeftPane->setObjectName("LeftPane");
  lstFolders = new TFolderTreeWidget(this, LeftPane);
  ContactPanePanel = new QWidget(LeftPane);
  ContactPanePanel->setObjectName("ContactPanePanel");
  cboContactGroups = new QComboBox(ContactPanePanel);
  cboContactGroups->setObjectName("cboContactGroups");
  lstContacts = new QListWidget(ContactPanePanel);
  lstContacts->setObjectName("lstContacts");
  lstContacts->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstContacts->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* contact_layout = new QVBoxLayout(ContactPanePanel);
  contact_layout->setContentsMargins(0, 2, 0, 0);
  contact_layout->setSpacing(2);
  contact_layout->addWidget(cboContactGroups);
  contact_layout->addWidget(lstContacts, 1);
  leftSplitter = new QSplitter(Qt::Vertical, LeftPane);
  leftSplitter->setObjectName("leftSplitter");
  leftSplitter->addWidget(lstFolders);
  leftSplitter->addWidget(ContactPanePanel);
  leftSplitter->setStretchFactor(0, 1);
  leftSplitter->setStretchFactor(1, 0);
  leftSplitter->setChildrenCollapsible(false);
  auto* left_layout = new QVBoxLayout(LeftPane);
  left_layout->setContentsMargins(0, 0, 0, 0);
  left_layout->addWidget(leftSplitter);

  RightPanel = new QWidget(this);
  RightPanel->setObjectName("RightPanel");
  auto* list_view = new TMsgListView(this, RightPanel);
  lstMsgs = list_view;
  lstMsgs->setObjectName("lstMsgs");
  msgModel = new TMsgListModel(this);
  msgModel->SetShowFullName(show_full_name_);
  lstMsgs->setModel(msgModel);
  lstMsgs->setRootIsDecorated(false);
  lstMsgs->setUniformRowHeights(true);
  lstMsgs->setItemsExpandable(false);
  lstMsgs->setAllColumnsShowFocus(true);
  lstMsgs->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstMsgs->setSelectionBehavior(QAbstractItemView::SelectRows);
  lstMsgs->setSortingEnabled(true);
  lstMsgs->setDragEnabled(true);
  lstMsgs->setDragDropMode(QAbstractItemView::DragOnly);
  lstMsgs->setContextMenuPolicy(Qt::CustomContextMenu);
  lstMsgs->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstMsgs->header()->setSectionsMovable(true);
  lstMsgs->header()->setStretchLastSection(false);
  lstMsgs->header()->setSectionResizeMode(clnAttachments, QHeaderView::Fixed);
  lstMsgs->header()->setMinimumSectionSize(20);
  for (int c = 0; c < kMsgColumnCount; ++c)
    lstMsgs->header()->resizeSection(c, DesignColumnWidth(c, lstMsgs->fontMetrics()));
  lstMsgs->header()->setSortIndicator(clnDateTime, Qt::DescendingOrder);

  MsgBodyPanel = new QWidget(RightPanel);
  MsgBodyPanel->setObjectName("MsgBodyPanel");
  // The frame reads its own settings (colours, fonts, header pane) here.
  MsgViewer = new TfraMessageViewer(MsgBodyPanel, true);
  auto* body_layout = new QVBoxLayout(MsgBodyPanel);
  body_layout->setContentsMargins(0, 0, 0, 0);
  body_layout->addWidget(MsgViewer);
  msgPaneSplitter = new QSplitter(Qt::Vertical, RightPanel);
  msgPaneSplitter->setObjectName("msgPaneSplitter");
  msgPaneSplitter->addWidget(lstMsgs);
  msgPaneSplitter->addWidget(MsgBodyPanel);
  msgPaneSplitter->setStretchFactor(0, 1);
  msgPaneSplitter->setChildrenCollapsible(false);
  auto* right_layout = new QVBoxLayout(RightPanel);
  right_layout->setContentsMargins(0, 0, 0, 0);
  right_layout->addWidget(msgPaneSplitter);

  mainSplitter = new QSplitter(Qt::Horizontal, this);
  mainSplitter->setObjectName("mainSplitter");
  mainSplitter->addWidget(LeftPane);
  mainSplitter->addWidget(RightPanel);
  mainSplitter->setStretchFactor(1, 1);
  mainSplitter->setChildrenCollapsible(false);

  // Full-screen viewing puts the body pane on a page of its own.
  auto* stack = new QStackedWidget(this);
  stack->setObjectName("pnlClient");
  stack->addWidget(mainSplitter);
  auto* full_page = new QWidget(stack);
  full_page->setObjectName("pnlFullScreen");
  auto* full_layout = new QVBoxLayout(full_page);
  full_layout->setContentsMargins(0, 0, 0, 0);
  stack->addWidget(full_page);
  setCentralWidget(stack);

  connect(lstFolders, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
    if (selecting_ || !item) return;
    RunGuarded([&] { SelectNode(NodeOf(item)); });
  });
  connect(lstFolders, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { RunGuarded([&] { lstFoldersContextMenu(p); }); });
  connect(lstMsgs->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { RunGuarded([&] { lstMsgsFocusChanged(); }); });
  connect(lstMsgs->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateCommands(); });
  connect(lstMsgs, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { RunGuarded([&] { lstMsgsContextMenu(p); }); });
  connect(lstMsgs, &QAbstractItemView::doubleClicked, this, Guarded([this] {
            if (QAction* a = Command("mnuMessage_OpenInWindow")) a->trigger();
          }));
  connect(lstMsgs->header(), &QHeaderView::sectionMoved, this, [this] { UpdateCommands(); });
  connect(cboContactGroups, &QComboBox::currentIndexChanged, this, Guarded([this] { cboContactGroupsChange(); }));
  connect(lstContacts, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { RunGuarded([&] { lstContactsContextMenu(p); }); });
  connect(lstContacts, &QListWidget::itemDoubleClicked, this, Guarded([this] { ContactSendMail(); }));
}

void TfrmMain::CreateStatusBar() {
  auto* bar = new QStatusBar(this);
  bar->setObjectName("StatusBar");
  bar->setSizeGripEnabled(true);
  pnlTasks = new TStatusPanel(20, bar);
  pnlTasks->setObjectName("pnlTasks");
  pnlStatusText = new QLabel(bar);
  pnlStatusText->setObjectName("pnlStatusText");
  pnlStatusText->setMinimumWidth(280);
  pnlOnline = new TStatusPanel(22, bar);
  pnlOnline->setObjectName("pnlOnline");
  pnlCounters = new QLabel(bar);
  pnlCounters->setObjectName("pnlCounters");
  pnlCounters->setMinimumWidth(50);
  bar->addWidget(pnlTasks);
  bar->addWidget(pnlStatusText, 1);
  bar->addWidget(pnlOnline);
  bar->addWidget(pnlCounters);
  setStatusBar(bar);
  pnlOnline->OnDoubleClick = [this] { RunGuarded([&] { SetWorkingOffline(!working_offline_); }); };
  pnlTasks->OnClick = [this] {
    if (TasksWindow)
      TasksWindow->View().ShowWindow(true);
    else if (TasksRunning())
      ShowTaskWindow();
  };
}

// --- Layout -------------------------------------------------------------------

void TfrmMain::RestoreLayout() {
  IniFile* ini = OptionsIni.get();
  auto read = [&](const char* key, int def) { return ini ? ini->ReadInteger("MainWnd", key, def) : def; };
  QRect r(read("Left", kDesignLeft), read("Top", kDesignTop), read("Width", kDesignWidth),
          read("Height", kDesignHeight));
  // A layout saved on a larger screen must not leave the window out of reach.
  if (QScreen* screen = QApplication::primaryScreen()) {
    QRect avail = screen->availableGeometry();
    r.setWidth(std::min(r.width(), avail.width()));
    r.setHeight(std::min(r.height(), avail.height()));
    if (!avail.intersects(r)) r.moveTopLeft(avail.topLeft());
  }
  setGeometry(r);
  int left = read("LeftPaneWidth", kDesignLeftPaneWidth);
  mainSplitter->setSizes({left, std::max(100, r.width() - left)});
  int contacts = read("ContactsPaneHeight", kDesignContactsHeight);
  leftSplitter->setSizes({std::max(50, r.height() - contacts), contacts});
  int body = read("MsgBodyHeight", kDesignMsgBodyHeight);
  msgPaneSplitter->setSizes({std::max(50, r.height() - body), body});
  if (ini && ini->ReadBool("MainWnd", "Maximized", false)) setWindowState(windowState() | Qt::WindowMaximized);
}

void TfrmMain::SaveLayout() {
  if (!OptionsIni) return;
  IniFile& ini = *OptionsIni;
  ini.WriteBool("MainWnd", "WorkingOffline", working_offline_);
  ini.WriteString("MainWnd", "LastSelGroup", S(cboContactGroups->currentText()));
  bool maximised = isMaximized();
  QRect r = maximised ? normalGeometry() : geometry();
  ini.WriteInteger("MainWnd", "Left", r.left());
  ini.WriteInteger("MainWnd", "Top", r.top());
  ini.WriteInteger("MainWnd", "Height", r.height());
  ini.WriteInteger("MainWnd", "Width", r.width());
  if (LeftPane->isVisible() || !isVisible()) ini.WriteInteger("MainWnd", "LeftPaneWidth", mainSplitter->sizes().value(0));
  if (ContactPanePanel->isVisible())
    ini.WriteInteger("MainWnd", "ContactsPaneHeight", leftSplitter->sizes().value(1));
  if (MsgBodyPanel->isVisible()) ini.WriteInteger("MainWnd", "MsgBodyHeight", msgPaneSplitter->sizes().value(1));
  ini.WriteBool("MainWnd", "Maximized", maximised);
  ini.WriteBool("View", "ContactsPaneVisible", Command("mnuView_ContactPane")->isChecked());
  ini.WriteBool("View", "StatusBarVisible", Command("mnuView_Statusbar")->isChecked());
  ini.WriteBool("View", "MsgBodyVisible", Command("mnuView_MsgBody")->isChecked());
  ini.WriteBool("View", "MailboxStatsVisible", Command("mnuView_MailboxStats")->isChecked());
  SaveColumnLayout();
}

void TfrmMain::RestoreColumns() {
  std::vector<ColumnDesc> cols(kMsgColumnCount);
  for (int c = 0; c < kMsgColumnCount; ++c) {
    cols[c].name = MsgColumnName(c);
    cols[c].width = DesignColumnWidth(c, lstMsgs->fontMetrics());
    cols[c].position = c;
    cols[c].sort = c == clnDateTime ? ColumnSort::Descending : ColumnSort::None;
  }
  if (OptionsIni && OptionsIni->SectionExists("MainWndColumns")) LoadColumns(*OptionsIni, cols, "MainWndColumns");
  QHeaderView* h = lstMsgs->header();
  // Positions: place columns in display order.
  std::vector<int> order(kMsgColumnCount);
  for (int c = 0; c < kMsgColumnCount; ++c) order[c] = c;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return cols[a].position < cols[b].position; });
  for (int visual = 0; visual < kMsgColumnCount; ++visual) {
    int logical = order[visual];
    int from = h->visualIndex(logical);
    if (from != visual) h->moveSection(from, visual);
  }
  user_column_visible_.assign(kMsgColumnCount, true);
  for (int c = 0; c < kMsgColumnCount; ++c) {
    if (c != clnAttachments) h->resizeSection(c, std::max(20, cols[c].width));
    h->setSectionHidden(c, !cols[c].visible);
    user_column_visible_[c] = cols[c].visible;
    if (cols[c].sort != ColumnSort::None)
      h->setSortIndicator(c, cols[c].sort == ColumnSort::Ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  }
}

void TfrmMain::SaveColumnLayout() {
  if (!OptionsIni) return;
  QHeaderView* h = lstMsgs->header();
  std::vector<ColumnDesc> cols(kMsgColumnCount);
  for (int visual = 0; visual < kMsgColumnCount; ++visual) {
    int c = h->logicalIndex(visual);
    ColumnDesc& d = cols[visual];
    d.name = MsgColumnName(c);
    d.position = visual;
    // To and Account follow the column mode; their own setting is kept.
    d.visible = (c == clnTo || c == clnAccount) ? user_column_visible_[c] : !h->isSectionHidden(c);
    d.width = h->isSectionHidden(c) ? h->defaultSectionSize() : h->sectionSize(c);
    if (h->isSectionHidden(c)) d.width = std::max(20, h->sectionSize(c));
    d.sort = h->sortIndicatorSection() == c
                 ? (h->sortIndicatorOrder() == Qt::AscendingOrder ? ColumnSort::Ascending : ColumnSort::Descending)
                 : ColumnSort::None;
  }
  SaveColumns(*OptionsIni, cols, "MainWndColumns");
}

void TfrmMain::ApplyViewToggles() {
  auto read = [](const char* key) { return !OptionsIni || OptionsIni->ReadBool("View", key, true); };
  Command("mnuView_ContactPane")->setChecked(read("ContactsPaneVisible"));
  Command("mnuView_MessageHeaders")->setChecked(read("MessageHeadersVisible"));
  Command("mnuView_Statusbar")->setChecked(read("StatusBarVisible"));
  Command("mnuView_MsgBody")->setChecked(read("MsgBodyVisible"));
  Command("mnuView_MailboxStats")->setChecked(read("MailboxStatsVisible"));
  ContactPanePanel->setVisible(Command("mnuView_ContactPane")->isChecked());
  statusBar()->setVisible(Command("mnuView_Statusbar")->isChecked());
  MsgBodyPanel->setVisible(Command("mnuView_MsgBody")->isChecked());
  bool stats = Command("mnuView_MailboxStats")->isChecked();
  lstFolders->setColumnHidden(1, !stats);
  lstFolders->setColumnHidden(2, !stats);
}

void TfrmMain::ApplyFonts() {
  FontDesc desc;
  if (!OptionsIni || !OptionsIni->SectionExists("MainWindowFont")) return;  // the desktop's own
  LoadFont(*OptionsIni, desc, "MainWindowFont");
  QFont f = ToQFont(desc);
  for (QWidget* w : std::initializer_list<QWidget*>{cboContactGroups, lstFolders, lstContacts, lstMsgs}) w->setFont(f);
}

// --- Switches the Options dialog sets --------------------------------------------

void TfrmMain::SetCheckMailTimer(bool enabled, int minutes) {
  tmrCheckMail->setInterval(std::max(1, minutes) * 60000);
  if (enabled)
    tmrCheckMail->start();
  else
    tmrCheckMail->stop();
}

void TfrmMain::SetMarkRead(bool on, int seconds) {
  mark_read_ = on;
  shown_mark_read_interval_ = std::max(0, seconds) * 1000;
  tmrMarkRead->setInterval(shown_mark_read_interval_);
}

void TfrmMain::SetShowFullName(bool on) {
  show_full_name_ = on;
  msgModel->SetShowFullName(on);
}

// --- Offline and status ---------------------------------------------------------

void TfrmMain::SetWorkingOffline(bool offline) {
  working_offline_ = offline;
  if (OptionsIni) OptionsIni->WriteBool("MainWnd", "WorkingOffline", offline);
  pnlOnline->SetPicture(OnlinePicture(offline));
  pnlOnline->setToolTip(offline ? "Working offline" : "Online");
  if (QAction* a = Command("mnuFile_WorkOffline")) a->setChecked(offline);
}

bool TfrmMain::AskToGoOnline(bool ask) {
  if (!working_offline_) return true;
  if (!ask) return false;
  if (QMessageBox::question(this, "Working offline", "You are now working offline. Return to online mode?",
                            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return false;
  SetWorkingOffline(false);
  return true;
}

void TfrmMain::SetTasksRunning(bool running) {
  tasks_running_ = running;
  pnlTasks->SetPicture(running ? TasksRunningPicture() : QIcon());
  pnlTasks->setToolTip(running ? "Tasks running" : "");
}

bool TfrmMain::TasksRunning() const { return tasks_running_ || TasksWindow != nullptr; }

void TfrmMain::SetStatusText(const QString& text) { pnlStatusText->setText(text); }

// --- Keyboard and minimising ------------------------------------------------------

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w->window() == this && !QApplication::activeModalWidget()) {
      auto* key = static_cast<QKeyEvent*>(event);
      Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
      if (key->key() == Qt::Key_Escape && mods == Qt::NoModifier && full_screen_) {
        SetFullScreen(false);
        return true;
      }
      if (key->key() == Qt::Key_Space && mods == Qt::NoModifier) {
        QScrollBar* bar = MsgViewer->MsgViewer->verticalScrollBar();
        bar->setValue(bar->value() + 80);
        return true;
      }
      if (key->key() == Qt::Key_A && mods == Qt::ControlModifier && lstMsgs->hasFocus()) {
        lstMsgs->selectAll();
        return true;
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isMinimized()) {
    bool to_tray = OptionsIni && OptionsIni->ReadBool("Options", "MinToTray", false);
    if (to_tray && Command("mnuTools_MinToTray")->isEnabled()) QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
  }
}

// --- Full screen ---------------------------------------------------------------

void TfrmMain::SetFullScreen(bool on) {
  auto* stack = static_cast<QStackedWidget*>(centralWidget());
  QWidget* full_page = stack->widget(1);
  if (on == full_screen_) {
    Command("tbViewFullScreen")->setChecked(on);
    return;
  }
  if (on && !MsgBodyPanel->isVisible()) {
    // No body pane to enlarge: the message gets its own window.
    Command("tbViewFullScreen")->setChecked(false);
    int row = FocusedRow();
    if (row >= 0) OpenMessageWindow(MessageRefOfRow(row));
    return;
  }
  full_screen_ = on;
  Command("tbViewFullScreen")->setChecked(on);
  if (on) {
    full_page->layout()->addWidget(MsgViewer);
    // A moved widget would only be shown by a later event; focus wants it now.
    MsgViewer->show();
    stack->setCurrentIndex(1);
    if (isVisible()) MsgViewer->setFocus();
  } else {
    MsgBodyPanel->layout()->addWidget(MsgViewer);
    MsgViewer->show();
    stack->setCurrentIndex(0);
    if (isVisible()) lstMsgs->setFocus();
  }
}

// --- Closing ---------------------------------------------------------------------

void TfrmMain::closeEvent(QCloseEvent* event) {
  RunGuarded([&] {
    // The close query.
    if (TasksRunning()) {
      if (TasksWindow)
        TasksWindow->View().ShowWindow(true);
      else
        ShowTaskWindow();
      event->ignore();
      return;
    }
    if (!CloseAllComposeWindows()) {
      event->ignore();
      return;
    }
    // The close.
    closing_ = true;
    ++fill_generation_;
    tmrMarkRead->stop();
    tmrCheckMail->stop();
    if (saveState() != toolbar_state_at_start_) {
      IniFile ini(MainToolbarFile);
      ini.WriteString("Layout", "State", saveState().toBase64().toStdString());
    }
    if (OptionsIni && OptionsIni->ReadBool("Options", "EmptyTrashOnQuit", false)) EmptyTrashOfEveryAccount();
    SaveMailboxStats();
    ReleaseCurrentMailbox();
    MsgViewer->SaveAttachPaneHeight();
    SaveLayout();
    ClearViewer();
    if (TrayIcon) TrayIcon->hide();
    event->accept();
  });
}

// --- Hand-off -------------------------------------------------------------------

void TfrmMain::ReceiveHandOff() {
  RunGuarded([] {
    // A file that vanished before we got to it is no request.
    if (auto request = TakeHandOffFile(HandOffFile())) OpenComposeForRequest(*request);
  });
}

}  // namespace qm
