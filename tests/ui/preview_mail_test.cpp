// The preview window: rows, ticks, sorting, and the tasks its buttons start.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QLocale>
#include <QTreeWidget>

#include "accounts/account_settings.h"
#include "shell/app_paths.h"
#include "test_support/temp_dir.h"
#include "test_support_ui.h"
#include "ui_task_host.h"
#include "ui/attachment_pane.h"
#include "ui/preview_mail.h"
#include "transport/preview_mail_task.h"
#include "transport/task.h"
#include "transport/task_queue.h"
#include "ui/qt_text.h"

namespace qm {
namespace {

class PreviewMailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePaths(dir.path());
    window = new TfrmPreviewMail;
    window->StartFetch = [this](const std::string& a, const StringList& n) { fetches.emplace_back(a, n); };
    window->StartDelete = [this](const std::string& a, const StringList& n) { deletes.emplace_back(a, n); };
    window->SetAccount("Home");
    window->BeginUpdate();
    // Numbers 1..5 with dates rising by day and sizes falling.
    const char* subjects[] = {"banana", "Apple", "cherry", "apricot", "Date"};
    for (int n = 1; n <= 5; ++n) {
      cPreviewRow row;
      row.Number = n;
      row.Subject = subjects[n - 1];
      row.FromName = "Sender " + std::to_string(n);
      row.To = "me@example.org";
      row.Date = 45000 + n;
      row.DateText = "day " + std::to_string(n);
      row.Size = 6000 - n * 1000 + (n == 5 ? 0 : 0);
      row.SizeText = FormatSizeText(row.Size);
      window->AddRow(row);
    }
    window->EndUpdate();
    window->SetStats("5 Message(s) found, total size 10.00 KB");
    window->ShowAndFocus();
  }
  void TearDown() override {
    if (window) window->close();
    QApplication::processEvents();
    ReleaseSettings();
  }
  std::vector<int> Numbers() const {
    std::vector<int> out;
    for (int r = 0; r < window->RowCount(); ++r) out.push_back(window->RowNumber(r));
    return out;
  }
  int RowOf(int number) const {
    for (int r = 0; r < window->RowCount(); ++r)
      if (window->RowNumber(r) == number) return r;
    return -1;
  }
  void ClickRow(int number) {
    QTreeWidgetItem* item = window->lstMsgs->topLevelItem(RowOf(number));
    QRect r = window->lstMsgs->visualItemRect(item);
    QTest::mouseClick(window->lstMsgs->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
  }

  class TempDir dir;
  QPointer<TfrmPreviewMail> window;
  std::vector<std::pair<std::string, StringList>> fetches, deletes;
};

TEST_F(PreviewMailTest, OpensNewestFirstAndSortsByKind) {
  EXPECT_EQ(Numbers(), (std::vector<int>{5, 4, 3, 2, 1}));
  EXPECT_EQ(window->lblStats->text(), "5 Message(s) found, total size 10.00 KB");
  struct Case {
    int column;
    Qt::SortOrder order;
    std::vector<int> numbers;
  } cases[] = {
      {TfrmPreviewMail::clnSize, Qt::AscendingOrder, {5, 4, 3, 2, 1}},
      {TfrmPreviewMail::clnSize, Qt::DescendingOrder, {1, 2, 3, 4, 5}},
      // Texts without regard to case: Apple, apricot, banana, cherry, Date.
      {TfrmPreviewMail::clnSubject, Qt::AscendingOrder, {2, 4, 1, 3, 5}},
      {TfrmPreviewMail::clnDateTime, Qt::AscendingOrder, {1, 2, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    window->lstMsgs->sortByColumn(c.column, c.order);
    EXPECT_EQ(Numbers(), c.numbers) << c.column;
  }
}

TEST_F(PreviewMailTest, DownloadTakesTickedRowsLastToFirst) {
  // Shown newest first: 5 4 3 2 1. Tick 2 and 5, then untick and re-tick 4.
  ClickRow(2);
  ClickRow(5);
  ClickRow(4);
  ClickRow(4);
  EXPECT_TRUE(window->RowTicked(RowOf(2)));
  EXPECT_TRUE(window->RowTicked(RowOf(5)));
  EXPECT_FALSE(window->RowTicked(RowOf(4)));
  window->btnDownload->click();
  ASSERT_EQ(fetches.size(), 1u);
  EXPECT_EQ(fetches[0].first, "Home");
  EXPECT_EQ(fetches[0].second, (StringList{"2", "5"}));
  // Fetched without leaving them on the server: the rest are renumbered.
  EXPECT_EQ(Numbers(), (std::vector<int>{3, 2, 1}));

  // Nothing ticked: no task.
  window->btnDownload->click();
  EXPECT_EQ(fetches.size(), 1u);
}

TEST_F(PreviewMailTest, EraseAsksFirst) {
  ClickRow(3);
  WhenModalOpens([](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->windowTitle(), "Delete selected msgs");
    EXPECT_EQ(box->text(), "Are you sure you want to erase the selected messages?");
    box->button(QMessageBox::No)->click();
  });
  window->btnErase->click();
  EXPECT_TRUE(deletes.empty());
  EXPECT_EQ(window->RowCount(), 5);
  EXPECT_TRUE(window->RowTicked(RowOf(3)));

  WhenModalOpens([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
  window->btnErase->click();
  ASSERT_EQ(deletes.size(), 1u);
  EXPECT_EQ(deletes[0].second, StringList{"3"});
  EXPECT_EQ(window->RowCount(), 4);

  // Confirmed with nothing ticked still starts the (empty) delete task.
  WhenModalOpens([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
  window->btnErase->click();
  ASSERT_EQ(deletes.size(), 2u);
  EXPECT_TRUE(deletes[1].second.empty());
}

// Once messages leave the server it numbers the rest afresh; the rows must
// follow, or the next erase from this window deletes someone else's message.
TEST_F(PreviewMailTest, RowsFollowTheServersNumbersAfterMessagesLeaveIt) {
  cAccountSettings keep;
  keep.LeaveMailOnServer = true;
  SaveAccount("Home", keep);
  ClickRow(2);
  ClickRow(4);
  window->btnDownload->click();
  EXPECT_EQ(Numbers(), (std::vector<int>{5, 3, 1})) << "left on the server: numbers stay";

  ClickRow(3);
  WhenModalOpens([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
  window->btnErase->click();
  EXPECT_EQ(Numbers(), (std::vector<int>{4, 1}));
  ClickRow(4);
  WhenModalOpens([](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click(); });
  window->btnErase->click();
  ASSERT_EQ(deletes.size(), 2u);
  EXPECT_EQ(deletes[1].second, StringList{"4"}) << "the message that was number 5";
  EXPECT_EQ(Numbers(), std::vector<int>{1});
}

TEST_F(PreviewMailTest, LayoutIsSavedAndRestored) {
  window->resize(700, 420);
  window->lstMsgs->header()->resizeSection(TfrmPreviewMail::clnSubject, 260);
  window->lstMsgs->header()->moveSection(window->lstMsgs->header()->visualIndex(TfrmPreviewMail::clnSize), 1);
  window->lstMsgs->sortByColumn(TfrmPreviewMail::clnSize, Qt::AscendingOrder);
  for (int w : {700, 555}) {
    window->resize(w, 420);
    QApplication::processEvents();
    EXPECT_EQ(window->btnErase->mapTo(window, QPoint(0, 0)).x(), (window->width() - window->btnErase->width()) / 2);
  }
  window->resize(700, 420);
  window->close();
  ASSERT_TRUE(window.isNull() || !window->isVisible());
  EXPECT_EQ(OptionsIni->ReadInteger("PreviewForm", "Width", 0), 700);
  EXPECT_EQ(OptionsIni->ReadInteger("PreviewForm", "Height", 0), 420);
  EXPECT_TRUE(OptionsIni->SectionExists("PreviewFrmColumns"));

  TfrmPreviewMail again;
  EXPECT_EQ(again.size(), QSize(700, 420));
  EXPECT_EQ(again.lstMsgs->header()->sectionSize(TfrmPreviewMail::clnSubject), 260);
  EXPECT_EQ(again.lstMsgs->header()->visualIndex(TfrmPreviewMail::clnSize), 1);
  EXPECT_EQ(again.lstMsgs->header()->sortIndicatorSection(), TfrmPreviewMail::clnSize);
  EXPECT_EQ(again.lstMsgs->header()->sortIndicatorOrder(), Qt::AscendingOrder);
}

// The window as the preview task fills it from Dovecot, and the tasks its
// buttons start against the same server.
class PreviewServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    InitialisePaths(dir.path());
    SetTaskHost(&host);
  }
  void TearDown() override {
    cTask::WaitForThreads(10000);
    if (TasksWindow && TasksWindow->CurrentRow < 0) TasksWindow->Close();
    if (host.preview) host.preview->close();
    QApplication::processEvents();
    SetTaskHost(nullptr);
    ReleaseSettings();
  }
  int RowOf(const std::string& subject) const {
    for (int r = 0; r < host.preview->RowCount(); ++r)
      if (S(host.preview->lstMsgs->topLevelItem(r)->text(TfrmPreviewMail::clnSubject)) == subject) return r;
    return -1;
  }
  bool RunDone() { return WaitUntil([] { return TasksWindow == nullptr; }, 20000); }

  class TempDir dir;
  UiTaskHost host;
};

TEST_F(PreviewServerTest, FilledFromTheServerThenDownloadAndErase) {
  DovecotAccount account;
  ASSERT_TRUE(account.Open("Home"));
  account.Put("alpha");
  account.Put("bravo", 2048);
  account.Put("charlie");
  auto* task = new cPOP3Task_PreviewMail();
  task->SetTaskParams("Home", false, true);
  task->QueueTask();
  ASSERT_TRUE(RunDone());
  ASSERT_TRUE(host.preview);
  TfrmPreviewMail* w = host.preview;
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->windowTitle(), "Previewing mail on server 'Home'");
  EXPECT_EQ(host.status, " Tasks done");
  ASSERT_EQ(w->RowCount(), 3);
  EXPECT_EQ(w->lblStats->text().indexOf("3 Message(s) found, total size "), 0) << S(w->lblStats->text());
  int bravo = RowOf("bravo");
  ASSERT_GE(bravo, 0);
  QTreeWidgetItem* item = w->lstMsgs->topLevelItem(bravo);
  EXPECT_EQ(item->text(TfrmPreviewMail::clnFrom), "Ann Smith");
  EXPECT_EQ(item->text(TfrmPreviewMail::clnTo), "Home@example.test");
  EXPECT_TRUE(item->text(TfrmPreviewMail::clnSize).endsWith(" KB")) << S(item->text(TfrmPreviewMail::clnSize));
  // Headers only: nothing was fetched or deleted.
  EXPECT_TRUE(account.InboxSubjects().empty());
  EXPECT_EQ(account.OnServer(), 3u);

  // Erase "charlie" (number 3): the numbers below it keep theirs.
  w->ToggleTick(RowOf("charlie"));
  WhenModalOpens([](QWidget* box) { qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click(); });
  w->btnErase->click();
  EXPECT_EQ(w->RowCount(), 2);
  ASSERT_TRUE(RunDone());
  EXPECT_EQ(account.OnServer(), 2u);
  EXPECT_TRUE(account.InboxSubjects().empty());

  // Download "bravo" (number 2) only; it leaves the server.
  w->ToggleTick(RowOf("bravo"));
  w->btnDownload->click();
  EXPECT_EQ(w->RowCount(), 1);
  ASSERT_TRUE(RunDone());
  EXPECT_EQ(host.status, " 1 new message(s)");
  EXPECT_EQ(account.OnServer(), 1u);
  EXPECT_EQ(account.InboxSubjects(), std::multiset<std::string>{"bravo"});
}

}  // namespace
}  // namespace qm
