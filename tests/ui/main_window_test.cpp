// The main window over a real data directory: selection, delete, counters,
// the mark-read timer, Trash, sending, drops, the viewer frame in the body
// pane and closing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QLabel>
#include <QMenu>
#include <QTreeWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>
#include <QTextDocument>
#include <QTreeView>

#include "contacts/contact_store.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "store/folder_tree.h"
#include "store/folder_tree_scan.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "store/store_lock.h"
#include "store/store_ui.h"
#include "test_support/recording_error_sink.h"
#include "test_support/temp_dir.h"
#include "ui/empty_trash_dialog.h"
#include "ui/main_error_guard.h"
#include "ui/main_message_list.h"
#include "ui/attachment_pane.h"
#include "ui/html_display.h"
#include "ui/main_window.h"
#include "ui/message_properties.h"
#include "ui/message_viewer_frame.h"
#include "ui/message_viewer_window.h"
#include "ui/test_support_ui.h"
#include "ui/window_entry_points_trace.h"

namespace qm {
namespace {

class RecordingStarter : public MailTaskStarter {
 public:
  void StartFetchTask(const std::string& account, bool silent, bool ask) override {
    fetches.push_back(account + (silent ? " silent" : "") + (ask ? " ask" : ""));
  }
  void StartSendTask(const std::string& account, const std::string& path, const StringList& keys) override {
    sends.push_back({account, path, keys});
  }
  struct Send {
    std::string account, path;
    StringList keys;
  };
  std::vector<std::string> fetches;
  std::vector<Send> sends;
};

struct Msg {
  const char* subject;
  bool read;
  int day;  // dates apart by days: the list sorts newest first
  bool attachment = false;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePaths(dir_.path());
    // Whatever goes to the desktop's trash stays in this test's directory.
    old_data_home_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir_.path() + "share"));
    starter_ = std::make_shared<RecordingStarter>();
    previous_starter_ = SetMailTaskStarter(starter_);
    SetEntryPointTracer([this](const std::string& name) { entry_points_.push_back(name); });
  }
  void TearDown() override {
    win_.reset();
    ReleaseCurrentMailbox();
    CloseAllMailboxes();
    FolderTree().Clear();
    SetEntryPointTracer(nullptr);
    SetMailTaskStarter(previous_starter_);
    qputenv("XDG_DATA_HOME", old_data_home_);
    ReleaseSettings();
  }

  void AddAccount(const std::string& account) { ForceDirectories(MailDir + account + "/"); }
  void Fill(const std::string& path, std::initializer_list<Msg> msgs) {
    ForceDirectories(ExtractFilePath(path));
    for (const Msg& m : msgs) {
      cMailMessage msg;
      InitMessage(msg);
      msg.Subject = m.subject;
      msg.FromName = "Sender";
      msg.From = "Sender <s@example.invalid>";
      msg.To = "me@example.invalid";
      msg.Account = "Home";
      msg.Read = m.read;
      msg.Size = 100;
      msg.Date = 45000 + m.day;
      if (m.attachment) AddAttachment(msg, dir_.path() + "outside.bin");
      ASSERT_TRUE(AddMessageToFile(path, msg));
      FreeMessage(msg);
    }
  }
  // One message with its own body and attachment files.
  void FillOne(const std::string& path, const std::string& subject, const StringList& body, bool read, int day,
               const StringList& attachments = {}) {
    ForceDirectories(ExtractFilePath(path));
    cMailMessage msg;
    InitMessage(msg);
    msg.Subject = subject;
    msg.FromName = "Ann Smith";
    msg.From = "Ann Smith <ann@example.invalid>";
    msg.To = "me@example.invalid";
    msg.Account = "Home";
    msg.Read = read;
    msg.Size = 100;
    msg.Date = 45000 + day;
    *msg.Body = body;
    *msg.Headers = {"From: Ann Smith <ann@example.invalid>", "Subject: " + subject};
    for (const std::string& a : attachments) AddAttachment(msg, a);
    ASSERT_TRUE(AddMessageToFile(path, msg));
    FreeMessage(msg);
  }
  TfrmMain& Open() {
    win_ = std::make_unique<TfrmMain>();
    return *win_;
  }
  cFolderNode* Box(const std::string& account, const std::string& name) { return FindStandardMailbox(account, name); }
  std::pair<int, int> Counts(cFolderNode* node) {
    StoreLock lock;
    return {node->info.unread, node->info.total};
  }
  std::vector<std::string> Subjects() {
    std::vector<std::string> s;
    for (int r = 0; r < win_->msgModel->Count(); ++r) s.push_back(win_->msgModel->Row(r).subject);
    return s;
  }
  void SelectRows(std::initializer_list<int> rows) {
    auto* sel = win_->lstMsgs->selectionModel();
    sel->clearSelection();
    bool first = true;
    for (int r : rows) {
      QModelIndex i = win_->msgModel->index(r, 0);
      if (first)
        sel->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      else
        sel->select(i, QItemSelectionModel::Select | QItemSelectionModel::Rows);
      first = false;
    }
  }
  int KeysIn(const std::string& path) {
    TQDB* db = nullptr;
    if (!GetQDBForFile(path, db)) return -1;
    int n;
    {
      StoreLock lock;
      n = db->Count();
    }
    ReleaseQDB(db);
    return n;
  }

  class TempDir dir_;
  QByteArray old_data_home_;
  std::shared_ptr<RecordingStarter> starter_;
  std::shared_ptr<MailTaskStarter> previous_starter_;
  std::vector<std::string> entry_points_;
  std::unique_ptr<TfrmMain> win_;
};

TEST_F(MainWindowTest, SelectingANodeSetsTheCaptionAndTheColumnMode) {
  AddAccount("Home");
  Fill(MailDir + "Home/Inbox.zqf", {{"one", false, 1}});
  Fill(MailDir + "Local.zqf", {{"local", true, 1}});
  ForceDirectories(MailDir + "Home/Archive.FLD/");
  Fill(MailDir + "Home/Archive.FLD/Sent Items.zqf", {{"deep", true, 1}});
  TfrmMain& w = Open();
  EXPECT_EQ(w.windowTitle(), "Torvane Quillmar - [Inbox]") << "the default account's Inbox is selected at start";

  struct Case {
    std::string path;
    QString title;
    bool to_shown, account_shown;
    int rows;
  };
  const Case cases[] = {
      {MailDir + "Home/Inbox.zqf", "Torvane Quillmar - [Inbox]", false, false, 1},
      {MailDir + "Home/Sent Items.zqf", "Torvane Quillmar - [Sent Items]", true, false, 0},
      {MailDir + "Home/Unfinished.zqf", "Torvane Quillmar - [Unfinished]", true, false, 0},
      // Named like a standard mailbox anywhere in the account's branch.
      {MailDir + "Home/Archive.FLD/Sent Items.zqf", "Torvane Quillmar - [Sent Items]", true, false, 1},
      {MailDir + "Local.zqf", "Torvane Quillmar - [Local]", true, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    cFolderNode* node = FolderTree().FindNodeByPath(c.path);
    ASSERT_NE(node, nullptr);
    w.SelectNode(node);
    EXPECT_EQ(w.windowTitle(), c.title);
    EXPECT_EQ(!w.lstMsgs->header()->isSectionHidden(clnTo), c.to_shown);
    EXPECT_EQ(!w.lstMsgs->header()->isSectionHidden(clnAccount), c.account_shown);
    EXPECT_EQ(w.msgModel->Count(), c.rows);
    EXPECT_EQ(w.FocusedRow(), c.rows > 0 ? 0 : -1) << "the first row is selected";
    EXPECT_TRUE(CurrentMailbox != nullptr);
  }
  w.SelectNode(FolderTree().FindNodeByPath(MailDir + "Home/"));
  EXPECT_EQ(w.windowTitle(), "Torvane Quillmar");
  EXPECT_EQ(w.msgModel->Count(), 0);
  EXPECT_EQ(CurrentMailbox, nullptr) << "the mailbox is released when another node is selected";
  EXPECT_TRUE(w.Command("tbServerProperties")->isEnabled());
  EXPECT_FALSE(w.Command("tbDelete")->isEnabled()) << "no row is focused";
  w.SelectNode(FolderTree().Root());
  EXPECT_FALSE(w.Command("tbServerProperties")->isEnabled()) << "no current account under the root";
}

TEST_F(MainWindowTest, DeleteInAnInboxMovesToTrashAndKeepsTheRowPosition) {
  AddAccount("Home");
  Fill(MailDir + "Home/Inbox.zqf",
       {{"e", true, 1}, {"d", false, 2}, {"c", true, 3}, {"b", false, 4}, {"a", true, 5}});
  TfrmMain& w = Open();
  ASSERT_EQ(Subjects(), (std::vector<std::string>{"a", "b", "c", "d", "e"})) << "newest first";
  EXPECT_EQ(Counts(Box("Home", "Inbox")), std::make_pair(2, 5));

  SelectRows({1, 2});  // "b" unread, "c" read
  w.tbDeleteClick();
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"a", "d", "e"}));
  EXPECT_EQ(w.FocusedRow(), 1) << "the row at the lowest deleted index is selected";
  EXPECT_EQ(Counts(Box("Home", "Inbox")), std::make_pair(1, 3));
  EXPECT_EQ(Counts(Box("Home", "Trash")), std::make_pair(1, 2));
  EXPECT_EQ(w.pnlCounters->text(), " 3 Total message(s), 1 unread");

  // In the account's own Trash the messages are erased for good.
  OptionsIni->WriteInteger("Options", "DeleteAttachmentsBehavior", 2);
  w.SelectNode(Box("Home", "Trash"));
  ASSERT_EQ(w.msgModel->Count(), 2);
  SelectRows({0, 1});
  w.tbDeleteClick();
  EXPECT_EQ(w.msgModel->Count(), 0);
  EXPECT_EQ(w.FocusedRow(), -1);
  EXPECT_EQ(Counts(Box("Home", "Trash")), std::make_pair(0, 0));
  w.SelectNode(Box("Home", "Inbox"));
  EXPECT_EQ(KeysIn(MailDir + "Home/Trash.zqf"), 0);
}

TEST_F(MainWindowTest, DeleteUnderTheLocalRootErasesAndLowersBothCounters) {
  AddAccount("Home");
  Fill(MailDir + "Local.zqf", {{"r", true, 1}, {"u1", false, 2}, {"u2", false, 3}, {"keep", true, 4}});
  // An attachment outside the attachments folder is never offered, so no window.
  Fill(MailDir + "Local.zqf", {{"att", true, 0, true}});
  SaveLinesToFile(dir_.path() + "outside.bin", {"x"});
  TfrmMain& w = Open();
  w.SelectNode(FolderTree().FindNodeByPath(MailDir + "Local.zqf"));
  ASSERT_EQ(Subjects(), (std::vector<std::string>{"keep", "u2", "u1", "r", "att"}));
  SelectRows({1, 2, 3, 4});
  w.tbDeleteClick();
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"keep"}));
  cFolderNode* node = FolderTree().FindNodeByPath(MailDir + "Local.zqf");
  EXPECT_EQ(Counts(node), std::make_pair(0, 1)) << "two unread and four in all were erased";
  EXPECT_TRUE(FileExists(dir_.path() + "outside.bin"));
  EXPECT_EQ(w.FocusedRow(), 0) << "the remembered index is past the end: the last row";
}

TEST_F(MainWindowTest, MarkingChangesOnlyRowsWhoseStateChanges) {
  AddAccount("Home");
  Fill(MailDir + "Home/Inbox.zqf", {{"c", false, 1}, {"b", true, 2}, {"a", false, 3}});
  OptionsIni->WriteBool("Options", "MarkMsgRead", false);
  TfrmMain& w = Open();
  EXPECT_EQ(Counts(Box("Home", "Inbox")), std::make_pair(2, 3));
  SelectRows({0, 1, 2});
  w.MarkSelected(true);
  EXPECT_EQ(Counts(Box("Home", "Inbox")), std::make_pair(0, 3));
  for (int r = 0; r < 3; ++r) EXPECT_TRUE(w.msgModel->Row(r).read);
  SelectRows({1});
  w.MarkSelected(false);
  EXPECT_EQ(Counts(Box("Home", "Inbox")), std::make_pair(1, 3));
  w.MarkSelected(false);
  EXPECT_EQ(Counts(Box("Home", "Inbox")), std::make_pair(1, 3)) << "an unread row is not marked again";
  // What the list shows is what the file holds.
  w.SelectNode(Box("Home", "Trash"));
  w.SelectNode(Box("Home", "Inbox"));
  EXPECT_EQ(Counts(Box("Home", "Inbox")), std::make_pair(1, 3));
  EXPECT_FALSE(w.msgModel->Row(1).read);
}

TEST_F(MainWindowTest, MarkReadTimerMarksOneSelectedRowOnly) {
  AddAccount("Home");
  Fill(MailDir + "Home/Inbox.zqf", {{"c", true, 1}, {"b", false, 2}, {"a", false, 3}});
  OptionsIni->WriteInteger("Options", "MarkMsgReadTimeout", 0);
  TfrmMain& w = Open();
  // The first row ("a", unread) was selected at start: 0 s becomes 1 ms.
  EXPECT_EQ(w.tmrMarkRead->interval(), 1);
  QTRY_COMPARE_WITH_TIMEOUT(w.msgModel->Row(0).read, true, 2000);
  EXPECT_EQ(Counts(Box("Home", "Inbox")), std::make_pair(1, 3));

  SelectRows({1, 0});  // "b" focused, "a" also selected
  QTest::qWait(50);
  EXPECT_FALSE(w.msgModel->Row(1).read) << "two selected rows are never marked by the timer";

  // A read row does not arm the timer.
  SelectRows({2});
  EXPECT_FALSE(w.tmrMarkRead->isActive());
  SelectRows({1});
  QTRY_COMPARE_WITH_TIMEOUT(w.msgModel->Row(1).read, true, 2000);
  EXPECT_EQ(Counts(Box("Home", "Inbox")), std::make_pair(0, 3));
}

TEST_F(MainWindowTest, EmptyTrashOutsideAnAccountAsksOnceForAll) {
  for (const char* a : {"Alpha", "Beta", "Gamma"}) {
    AddAccount(a);
    Fill(MailDir + a + "/Trash.zqf", {{"old", true, 1}});
  }
  TfrmMain& w = Open();
  w.SelectNode(FolderTree().Root());
  auto trash_counts = [&] {
    std::vector<int> n;
    for (const char* a : {"Alpha", "Beta", "Gamma"}) n.push_back(KeysIn(MailDir + a + "/Trash.zqf"));
    return n;
  };
  int asked = 0;
  auto answer = [&](bool yes, bool dont_ask) {
    WhenModalOpens([&, yes, dont_ask](QWidget* d) {
      auto* dialog = qobject_cast<TfrmEmptyTrash*>(d);
      ASSERT_NE(dialog, nullptr);
      ++asked;
      dialog->chkDontAskAgain->setChecked(dont_ask);
      (yes ? dialog->btnYes : dialog->btnNo)->click();
    });
  };

  answer(false, false);
  w.Command("tbEmptyTrash")->trigger();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(trash_counts(), (std::vector<int>{1, 1, 1})) << "No empties nothing";

  answer(false, true);
  w.Command("tbEmptyTrash")->trigger();
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(OptionsIni->ReadBool("Options", "TrashPrompt", true)) << "written whatever the answer";
  EXPECT_EQ(trash_counts(), (std::vector<int>{1, 1, 1}));

  w.Command("tbEmptyTrash")->trigger();
  EXPECT_EQ(asked, 2) << "no question any more";
  EXPECT_EQ(trash_counts(), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(Counts(Box("Beta", "Trash")), std::make_pair(0, 0));
}

TEST_F(MainWindowTest, SendUnsentStartsATaskOnlyForMessagesWaiting) {
  AddAccount("Home");
  AddAccount("Work");
  Fill(MailDir + "Work/Unsent.zqf", {{"waiting", true, 1}});
  TfrmMain& w = Open();
  w.SelectNode(Box("Home", "Inbox"));
  w.Command("tbSendUnsent")->trigger();
  EXPECT_TRUE(starter_->sends.empty()) << "an empty Unsent starts nothing";
  EXPECT_TRUE(entry_points_.empty()) << "and shows no window";

  w.SelectNode(FolderTree().Root());
  w.Command("tbSendUnsent")->trigger();
  ASSERT_EQ(starter_->sends.size(), 1u);
  EXPECT_EQ(starter_->sends[0].account, "Work");
  EXPECT_EQ(starter_->sends[0].path, MailDir + "Work/Unsent.zqf");
  EXPECT_EQ(starter_->sends[0].keys.size(), 1u);

  // Fetches: the current account is asked about going online, not forced.
  w.SelectNode(Box("Work", "Inbox"));
  w.Command("tbGetMail")->trigger();
  w.tmrCheckMailTimer();
  EXPECT_EQ(starter_->fetches,
            (std::vector<std::string>{"Work ask", "Home silent", "Work silent"}));
}

TEST_F(MainWindowTest, FolderDropsAreRefusedIntoThemselvesAndBelow) {
  AddAccount("Home");
  ForceDirectories(MailDir + "Projects.FLD/Old.FLD/");
  ForceDirectories(MailDir + "Other.FLD/");
  CreateEmptyMailbox(MailDir + "Projects.FLD/Notes.zqf");
  TfrmMain& w = Open();
  auto node = [](const std::string& p) { return FolderTree().FindNodeByPath(MailDir + p); };
  cFolderNode* projects = node("Projects.FLD/");
  ASSERT_NE(projects, nullptr);
  struct Case {
    const char* dragged;
    const char* target;
    bool accepted;
  } cases[] = {
      {"Projects.FLD/", "Projects.FLD/", false},          // itself
      {"Projects.FLD/", "Projects.FLD/Old.FLD/", false},  // below itself
      {"Projects.FLD/Old.FLD/", "Projects.FLD/", false},  // where it lies already
      {"Projects.FLD/Notes.zqf", "Projects.FLD/", false},
      {"Projects.FLD/Notes.zqf", "Home/Inbox.zqf", false},  // never onto a mailbox
      {"Home/Inbox.zqf", "Other.FLD/", false},              // standard mailboxes stay
      {"Projects.FLD/Old.FLD/", "Other.FLD/", true},
      {"Projects.FLD/Notes.zqf", "Home/", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.dragged) + " -> " + c.target);
    cFolderNode* dragged = node(c.dragged);
    if (std::string(c.dragged) == "Home/Inbox.zqf") dragged = Box("Home", "Inbox");
    cFolderNode* target = std::string(c.target) == "Home/Inbox.zqf" ? Box("Home", "Inbox") : node(c.target);
    ASSERT_NE(dragged, nullptr);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(w.CanDropNodeOn(dragged, target), c.accepted);
  }
  // A refused drop changes nothing, an accepted one moves disk and tree.
  w.DropNodeOn(projects, node("Projects.FLD/Old.FLD/"));
  EXPECT_TRUE(DirectoryExists(MailDir + "Projects.FLD/Old.FLD/"));
  w.DropNodeOn(node("Projects.FLD/Old.FLD/"), node("Other.FLD/"));
  EXPECT_TRUE(DirectoryExists(MailDir + "Other.FLD/Old.FLD/"));
  EXPECT_FALSE(DirectoryExists(MailDir + "Projects.FLD/Old.FLD/"));
  cFolderNode* moved = node("Other.FLD/Old.FLD/");
  ASSERT_NE(moved, nullptr);
  EXPECT_NE(w.ItemOf(moved), nullptr) << "the window's tree follows";
  EXPECT_EQ(w.ItemOf(moved)->parent(), w.ItemOf(node("Other.FLD/")));
}

TEST_F(MainWindowTest, RowsDropOnOtherMailboxesOnly) {
  AddAccount("Home");
  Fill(MailDir + "Home/Inbox.zqf", {{"b", false, 1}, {"a", true, 2}});
  CreateEmptyMailbox(MailDir + "Home/Keep.zqf");
  TfrmMain& w = Open();
  cFolderNode* keep = FolderTree().FindNodeByPath(MailDir + "Home/Keep.zqf");
  EXPECT_FALSE(w.CanDropRowsOn(Box("Home", "Inbox")));
  EXPECT_FALSE(w.CanDropRowsOn(FolderTree().Root()));
  EXPECT_TRUE(w.CanDropRowsOn(keep));
  SelectRows({0, 1});
  w.drag_source_node = Box("Home", "Inbox");
  w.DropRowsOn(keep, /*copy=*/true);
  EXPECT_EQ(w.msgModel->Count(), 2) << "a copy leaves the rows";
  EXPECT_EQ(Counts(keep), std::make_pair(1, 2));
  SelectRows({1});
  w.DropRowsOn(keep, false);
  w.drag_source_node = nullptr;
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"a"}));
  EXPECT_EQ(Counts(Box("Home", "Inbox")), std::make_pair(0, 1));
  EXPECT_EQ(Counts(keep), std::make_pair(2, 3));
}

TEST_F(MainWindowTest, CloseIsRefusedWhileTasksRunThenSavesTheState) {
  AddAccount("Home");
  Fill(MailDir + "Home/Inbox.zqf", {{"a", true, 1}});
  TfrmMain& w = Open();
  w.show();
  w.SetTasksRunning(true);
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(FileExists(MailboxesFile()));

  w.SetTasksRunning(false);
  w.SetWorkingOffline(true);
  EXPECT_TRUE(w.close());
  EXPECT_EQ(CurrentMailbox, nullptr);
  StringList stats = LoadLinesFromFile(MailboxesFile());
  ASSERT_GE(stats.size(), 3u);
  EXPECT_EQ(stats[0], "Home/Inbox.zqf");
  EXPECT_EQ(stats[2], "1");
  EXPECT_TRUE(OptionsIni->ReadBool("MainWnd", "WorkingOffline", false));
  EXPECT_TRUE(OptionsIni->SectionExists("MainWndColumns"));
  EXPECT_TRUE(OptionsIni->ValueExists("MainWnd", "LeftPaneWidth"));
}

TEST_F(MainWindowTest, ColumnLayoutSurvivesAReopen) {
  AddAccount("Home");
  TfrmMain& w = Open();
  QHeaderView* h = w.lstMsgs->header();
  h->moveSection(h->visualIndex(clnSize), 0);
  h->resizeSection(clnSubject, 222);
  h->setSortIndicator(clnSubject, Qt::AscendingOrder);
  ASSERT_TRUE(w.close());
  win_.reset();
  TfrmMain& again = Open();
  QHeaderView* h2 = again.lstMsgs->header();
  EXPECT_EQ(h2->logicalIndex(0), clnSize);
  EXPECT_EQ(h2->sectionSize(clnSubject), 222);
  EXPECT_EQ(h2->sortIndicatorSection(), clnSubject);
  EXPECT_EQ(h2->sortIndicatorOrder(), Qt::AscendingOrder);
  EXPECT_TRUE(h2->isSectionHidden(clnTo)) << "the column mode of an Inbox still rules To";
}

TEST_F(MainWindowTest, TrayMenuIsRebuiltWithTheAccountsAndTheOfflineQuestion) {
  AddAccount("Beta");
  AddAccount("alpha");
  TfrmMain& w = Open();
  w.BuildTrayMenu();
  QStringList items;
  for (QAction* a : w.TrayPopupMenu->actions()) items << (a->isSeparator() ? "|" : a->text());
  EXPECT_EQ(items, (QStringList{"&Show", "|", "&New message", "&Contacts", "|", "&Receive mail",
                                "&Send all unsent mail", "|", "&Quit"}));
  QMenu* receive = w.TrayPopupMenu->actions()[5]->menu();
  ASSERT_NE(receive, nullptr);
  QStringList accounts;
  for (QAction* a : receive->actions()) accounts << (a->isSeparator() ? "|" : a->text());
  EXPECT_EQ(accounts, (QStringList{"&Check on all accounts", "|", "alpha", "Beta"}));
  receive->actions()[3]->trigger();
  EXPECT_EQ(starter_->fetches, (std::vector<std::string>{"Beta ask"})) << "forced, asking to go online";

  w.SetTrayState(TrayState::NewMail, "2 new email(s)", false);
  w.SetNewMailCount(2);
  EXPECT_EQ(w.TrayIcon->toolTip(), "2 new email(s)");
  w.SetTrayState(TrayState::Normal, "Torvane Quillmar", true);
  EXPECT_EQ(w.NewMailCount(), 0);

  EXPECT_TRUE(w.AskToGoOnline(false)) << "online: go on";
  w.SetWorkingOffline(true);
  EXPECT_TRUE(w.Command("mnuFile_WorkOffline")->isChecked());
  EXPECT_FALSE(w.AskToGoOnline(false)) << "offline without asking: stop";
  WhenModalOpens([](QWidget* box) {
    auto* question = qobject_cast<QMessageBox*>(box);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), "You are now working offline. Return to online mode?");
    question->button(QMessageBox::Yes)->click();
  });
  EXPECT_TRUE(w.AskToGoOnline(true));
  EXPECT_FALSE(w.WorkingOffline());
}

TEST_F(MainWindowTest, NextPreviousAndNextUnreadMoveTheFocus) {
  AddAccount("Home");
  Fill(MailDir + "Home/Inbox.zqf", {{"d", false, 1}, {"c", true, 2}, {"b", true, 3}, {"a", true, 4}});
  OptionsIni->WriteBool("Options", "MarkMsgRead", false);
  TfrmMain& w = Open();
  ASSERT_EQ(Subjects(), (std::vector<std::string>{"a", "b", "c", "d"}));
  struct Step {
    const char* command;
    int focused;
  } steps[] = {{"mnuMessage_Previous", 0},  // nothing above the first row
               {"mnuMessage_Next", 1},
               {"mnuMessage_NextUnread", 3},
               {"mnuMessage_NextUnread", 3},  // no wrap-around
               {"mnuMessage_Next", 3},
               {"mnuMessage_Previous", 2}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.command);
    w.Command(s.command)->trigger();
    EXPECT_EQ(w.FocusedRow(), s.focused);
    EXPECT_EQ(w.SelectedRows(), (std::vector<int>{s.focused})) << "the old row is deselected";
  }
}

TEST_F(MainWindowTest, ContactPaneShowsTheChosenGroupsVisibleContacts) {
  AddAccount("Home");
  auto contact = [](const std::string& book, const std::string& name, bool shown) {
    cContact c;
    InitContact(c);
    c.Name = name;
    c.Email = name + "@example.invalid";
    c.ShowOnContactPane = shown;
    ASSERT_TRUE(WriteContact(book, c));
  };
  contact(ContactsFile(), "zoe", true);
  contact(ContactsFile(), "Adam", true);
  contact(ContactsFile(), "Hidden", false);
  SaveLinesToFile(GetGroupFile("Friends"), {});
  contact(GetGroupFile("Friends"), "Fred", true);
  OptionsIni->WriteString("MainWnd", "LastSelGroup", "Friends");
  TfrmMain& w = Open();
  auto names = [&] {
    QStringList n;
    for (int i = 0; i < w.lstContacts->count(); ++i) n << w.lstContacts->item(i)->text();
    return n;
  };
  EXPECT_EQ(w.cboContactGroups->currentText(), "Friends") << "the group of the last session";
  EXPECT_EQ(names(), QStringList{"Fred"});
  w.cboContactGroups->setCurrentIndex(0);
  EXPECT_EQ(names(), (QStringList{"Adam", "zoe"})) << "sorted, hidden contacts left out";

  w.lstContacts->item(1)->setSelected(true);
  w.Command("mnuContact_Delete")->trigger();
  EXPECT_EQ(names(), QStringList{"Adam"});
  EXPECT_EQ(ListContacts(ContactsFile()), (StringList{"Adam", "Hidden"}));
  ASSERT_TRUE(w.close());
  EXPECT_EQ(OptionsIni->ReadString("MainWnd", "LastSelGroup", ""), "Contacts");
}

TEST_F(MainWindowTest, SelectingAnUnreadMessageEndsTheNewMailAnnouncement) {
  AddAccount("Home");
  Fill(MailDir + "Home/Inbox.zqf", {{"unread", false, 1}, {"read", true, 2}});
  OptionsIni->WriteBool("Options", "MarkMsgRead", false);
  TfrmMain& w = Open();
  ASSERT_EQ(Subjects(), (std::vector<std::string>{"read", "unread"}));
  auto announce = [&] {
    w.SetTrayState(TrayState::NewMail, "3 new email(s)", false);
    w.SetNewMailCount(3);
  };
  announce();
  w.Command("mnuMessage_Next")->trigger();
  EXPECT_EQ(w.CurrentTrayState(), TrayState::Normal) << "an unread message was shown";
  EXPECT_EQ(w.NewMailCount(), 0);
  announce();
  w.Command("mnuMessage_Previous")->trigger();
  EXPECT_EQ(w.FocusedRow(), 0);
  EXPECT_EQ(w.CurrentTrayState(), TrayState::NewMail) << "a read message does not end it";
  EXPECT_EQ(w.NewMailCount(), 3);
}

TEST_F(MainWindowTest, MinimiseToTrayNeedsTheTrayIcon) {
  AddAccount("Home");
  OptionsIni->WriteBool("Options", "ShowTrayIcon", false);
  OptionsIni->WriteBool("Options", "MinToTray", true);
  TfrmMain& w = Open();
  EXPECT_FALSE(w.Command("mnuTools_MinToTray")->isEnabled());
  w.SetTrayIconShown(true);
  EXPECT_TRUE(w.Command("mnuTools_MinToTray")->isEnabled());
}

TEST_F(MainWindowTest, AFirstStartWithoutAccountsAsksForOneBeforeTheWindowShows) {
  bool asked = false, window_shown = true;
  WhenModalOpens([&](QWidget* d) {
    asked = true;
    EXPECT_EQ(d->windowTitle(), "Add new server");
    window_shown = TfrmMain::Instance() && TfrmMain::Instance()->isVisible();
    qobject_cast<QDialog*>(d)->reject();
  });
  TfrmMain& w = Open();
  EXPECT_TRUE(asked);
  EXPECT_FALSE(window_shown);
  EXPECT_TRUE(entry_points_.empty()) << "cancelled before the account properties";
  EXPECT_EQ(w.windowTitle(), "Torvane Quillmar") << "the root is selected";
}

// --- The viewer frame in the message body pane ----------------------------------

TEST_F(MainWindowTest, TheBodyPaneShowsTheFocusedMessageAndEmptiesWithoutOne) {
  AddAccount("Home");
  const std::string a = dir_.path() + "report.txt", b = dir_.path() + "chart.png";
  SaveLinesToFile(a, {"figures"});
  SaveLinesToFile(b, {});
  const std::string inbox = MailDir + "Home/Inbox.zqf";
  FillOne(inbox, "plain", {"Hello Bob,", "see http://example.invalid/q3 today", "> quoted line"}, true, 3);
  FillOne(inbox, "with files", {"two files"}, true, 2, {a, b});
  FillOne(inbox, "third", {"third body"}, true, 1);
  CreateEmptyMailbox(MailDir + "Home/Empty.zqf");
  TfrmMain& w = Open();
  TfraMessageViewer* v = w.MsgViewer;
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(w.MsgBodyPanel->isAncestorOf(v)) << "the frame sits in the body pane below the list";
  auto shown = [&] { return v->HasMessage() ? v->lblSubject->text().toStdString() : std::string("(none)"); };

  // The Inbox opens with its first row shown.
  ASSERT_EQ(Subjects(), (std::vector<std::string>{"plain", "with files", "third"}));
  EXPECT_EQ(shown(), "plain");
  EXPECT_EQ(v->lblFrom->text(), "Ann Smith <ann@example.invalid>");
  EXPECT_EQ(v->lblTo->text(), "me@example.invalid");
  EXPECT_NE(v->MsgViewer->toPlainText().indexOf("Hello Bob,"), -1);
  EXPECT_NE(v->MsgViewer->toHtml().indexOf("example.invalid/q3"), -1);
  EXPECT_NE(v->MsgViewer->document()->toHtml().indexOf("href="), -1) << "plain text is shown as HTML with links";
  EXPECT_TRUE(v->pnlAttachments->isHidden());

  w.SelectRow(1);
  EXPECT_EQ(shown(), "with files");
  EXPECT_FALSE(v->pnlAttachments->isHidden());
  ASSERT_EQ(v->pnlAttachments->lstAttachments->count(), 2);
  EXPECT_EQ(v->pnlAttachments->lstAttachments->item(0)->text(), "report.txt (9 bytes)");
  EXPECT_EQ(v->pnlAttachments->lstAttachments->item(1)->text(), "chart.png (0 bytes)");

  // Several rows selected: the focused one is shown.
  SelectRows({2, 0});
  EXPECT_EQ(shown(), "third");
  EXPECT_TRUE(v->pnlAttachments->isHidden()) << "a message without files hides the pane again";

  // Nothing focused, a node that is no mailbox, an empty mailbox: empty.
  w.SelectRow(-1);
  EXPECT_EQ(shown(), "(none)");
  EXPECT_EQ(v->lblSubject->text(), "");
  EXPECT_TRUE(v->MsgViewer->toPlainText().isEmpty());
  w.SelectNode(Box("Home", "Inbox"));
  EXPECT_EQ(shown(), "plain");
  w.SelectNode(FolderTree().FindNodeByPath(MailDir + "Home/"));
  EXPECT_EQ(shown(), "(none)");
  EXPECT_TRUE(v->MsgViewer->toPlainText().isEmpty());
  w.SelectNode(Box("Home", "Inbox"));
  w.SelectNode(FolderTree().FindNodeByPath(MailDir + "Home/Empty.zqf"));
  EXPECT_EQ(shown(), "(none)");

  // Deleting the shown message shows the one that takes its row.
  w.SelectNode(Box("Home", "Inbox"));
  SelectRows({1});
  w.tbDeleteClick();
  EXPECT_EQ(shown(), "third");
  w.SelectNode(Box("Home", "Trash"));
  EXPECT_EQ(shown(), "with files");
  OptionsIni->WriteInteger("Options", "DeleteAttachmentsBehavior", 2);
  SelectRows({0});
  w.tbDeleteClick();
  EXPECT_EQ(shown(), "(none)") << "the last row went";
}

TEST_F(MainWindowTest, PropertiesAndMarkingReadWorkOnTheShownMessage) {
  AddAccount("Home");
  StringList body;
  for (int i = 1; i <= 300; ++i) body.push_back("line " + std::to_string(i));
  FillOne(MailDir + "Home/Inbox.zqf", "long", body, false, 2);
  FillOne(MailDir + "Home/Inbox.zqf", "short", {"short body"}, true, 1);
  OptionsIni->WriteBool("Options", "MarkMsgRead", false);
  TfrmMain& w = Open();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  TfraMessageViewer* v = w.MsgViewer;
  ASSERT_EQ(v->lblSubject->text(), "long");
  QScrollBar* bar = v->MsgViewer->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 200);
  EXPECT_EQ(bar->value(), 0);

  // Space anywhere in the window scrolls the body by 80 pixels.
  QTest::keyClick(w.lstMsgs, Qt::Key_Space);
  EXPECT_EQ(bar->value(), 80);
  QTest::keyClick(w.lstMsgs, Qt::Key_Space);
  EXPECT_EQ(bar->value(), 160);

  // Marking it read refreshes the row, and the reader keeps the place.
  w.Command("mnuMessage_MarkAsRead")->trigger();
  EXPECT_TRUE(w.msgModel->Row(0).read);
  EXPECT_EQ(Counts(Box("Home", "Inbox")), std::make_pair(0, 2));
  EXPECT_EQ(v->lblSubject->text(), "long");
  EXPECT_EQ(bar->value(), 160);
  // Another message starts at the top, and so does this one when it comes back.
  w.SelectRow(1);
  EXPECT_EQ(v->lblSubject->text(), "short");
  w.SelectRow(0);
  EXPECT_EQ(bar->value(), 0);

  // "Properties" shows the viewer's message.
  QString props_subject;
  WhenModalOpens([&](QWidget* d) {
    auto* props = qobject_cast<TfrmMessageProperties*>(d);
    ASSERT_NE(props, nullptr);
    props_subject = props->lblSubject->text();
    props->reject();
  });
  w.Command("popMsgs_Props")->trigger();
  EXPECT_EQ(props_subject, "long");
}

TEST_F(MainWindowTest, FullScreenTakesTheFrameOutOfTheBodyPaneAndBack) {
  AddAccount("Home");
  FillOne(MailDir + "Home/Inbox.zqf", "first", {"first body"}, true, 2);
  FillOne(MailDir + "Home/Inbox.zqf", "second", {"second body"}, true, 1);
  TfrmMain& w = Open();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  TfraMessageViewer* v = w.MsgViewer;
  auto* stack = qobject_cast<QStackedWidget*>(w.centralWidget());
  ASSERT_NE(stack, nullptr);

  w.Command("tbViewFullScreen")->trigger();
  EXPECT_TRUE(w.FullScreen());
  EXPECT_FALSE(w.MsgBodyPanel->isAncestorOf(v));
  EXPECT_TRUE(stack->currentWidget()->isAncestorOf(v)) << "the frame fills the client area";
  EXPECT_TRUE(v->isVisible());
  EXPECT_EQ(v->lblSubject->text(), "first");
  QTest::keyClick(v->MsgViewer, Qt::Key_Escape);
  EXPECT_FALSE(w.FullScreen());
  EXPECT_FALSE(w.Command("tbViewFullScreen")->isChecked());
  EXPECT_TRUE(w.MsgBodyPanel->isAncestorOf(v));

  // Selecting a tree node also brings it back.
  w.Command("tbViewFullScreen")->trigger();
  ASSERT_TRUE(w.FullScreen());
  w.SelectNode(Box("Home", "Trash"));
  EXPECT_FALSE(w.FullScreen());
  EXPECT_TRUE(w.MsgBodyPanel->isAncestorOf(v));

  // With the body pane hidden the message gets a window of its own.
  w.SelectNode(Box("Home", "Inbox"));
  w.SelectRow(1);
  w.Command("mnuView_MsgBody")->trigger();
  ASSERT_TRUE(w.MsgBodyPanel->isHidden());
  const int before = OpenMessageWindowCount();
  w.Command("tbViewFullScreen")->trigger();
  EXPECT_FALSE(w.FullScreen());
  EXPECT_FALSE(w.Command("tbViewFullScreen")->isChecked()) << "the button is released";
  ASSERT_EQ(OpenMessageWindowCount(), before + 1);
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* window = qobject_cast<TfrmMessageViewer*>(top)) {
      EXPECT_EQ(window->Viewer->lblSubject->text(), "second");
      window->close();
    }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(OpenMessageWindowCount(), before);
}

TEST_F(MainWindowTest, MessageHeadersToggleReachesTheFrameAndNewMessageWindows) {
  AddAccount("Home");
  FillOne(MailDir + "Home/Inbox.zqf", "hello", {"body"}, true, 1);
  TfrmMain& w = Open();
  TfraMessageViewer* v = w.MsgViewer;
  QAction* toggle = w.Command("mnuView_MessageHeaders");
  ASSERT_TRUE(toggle->isChecked());
  EXPECT_FALSE(v->pnlHeaders->isHidden());

  toggle->trigger();
  EXPECT_FALSE(OptionsIni->ReadBool("View", "MessageHeadersVisible", true)) << "written at once";
  EXPECT_TRUE(v->pnlHeaders->isHidden());
  EXPECT_EQ(v->lblSubject->text(), "hello") << "the message stays shown";
  EXPECT_NE(v->MsgViewer->toPlainText().indexOf("body"), -1);

  auto* window = new TfrmMessageViewer;
  ASSERT_TRUE(window->LoadMessage(w.MessageRefOfRow(0)));
  EXPECT_TRUE(window->Viewer->pnlHeaders->isHidden()) << "a new message window follows the setting";
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  // The next start keeps it.
  ASSERT_TRUE(w.close());
  win_.reset();
  TfrmMain& again = Open();
  EXPECT_FALSE(again.Command("mnuView_MessageHeaders")->isChecked());
  EXPECT_TRUE(again.MsgViewer->pnlHeaders->isHidden());
  again.Command("mnuView_MessageHeaders")->trigger();
  EXPECT_FALSE(again.MsgViewer->pnlHeaders->isHidden());
  EXPECT_TRUE(OptionsIni->ReadBool("View", "MessageHeadersVisible", false));
}

TEST(MainWindowGuard, EscapedFailuresAreReportedAsUnhandled) {
  ScopedErrorRecorder errors;
  RunGuarded([] { throw std::runtime_error("Cannot create directory"); });
  RunGuarded([] {});
  EXPECT_EQ(errors.messages(), (std::vector<std::string>{"Unhandled error: Cannot create directory"}));
}

}  // namespace
}  // namespace qm
