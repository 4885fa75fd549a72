// The find window over a real mail directory: enabling, one row per message,
// the captions, the start node, and the settings it keeps.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "store/folder_tree.h"
#include "store/folder_tree_scan.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "test_support/temp_dir.h"
#include "ui/find_message.h"

namespace qm {
namespace {

class FindWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePaths(dir_.path());
    Store("Home/Inbox.zqf", "Re: lunch", "the menu");
    Store("Home/Inbox.zqf", "menu", "menu and more menu");
    Store("Home/Inbox.zqf", "Other", "nothing here");
    Store("Local.FLD/Archive.zqf", "old menu", "x");
    BuildFolderTree();
  }
  void TearDown() override {
    CloseAllMailboxes();
    FolderTree().Clear();
    ReleaseSettings();
  }
  void Store(const std::string& relative, const char* subject, const char* body) {
    std::string path = MailDir + relative;
    ForceDirectories(ExtractFilePath(path));
    cMailMessage msg;
    InitMessage(msg);
    msg.Subject = subject;
    msg.From = "Ann <ann@example.invalid>";
    msg.FromName = "Ann";
    msg.Body->push_back(body);
    ASSERT_TRUE(AddMessageToFile(path, msg));
    FreeMessage(msg);
  }
  static QStringList Column(QTreeWidget* list, int column) {
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i) out << list->topLevelItem(i)->text(column);
    out.sort();
    return out;
  }
  class TempDir dir_;
};

TEST_F(FindWindowTest, BeginSearchNeedsTextAndAField) {
  TfrmFindMessage window;
  EXPECT_EQ(window.windowTitle(), "Find Message");
  EXPECT_TRUE(window.chkSearchAuthor->isChecked());
  EXPECT_FALSE(window.btnBeginSearch->isEnabled());
  QTest::keyClicks(window.edtCriteria, "menu");
  EXPECT_TRUE(window.btnBeginSearch->isEnabled());
  window.chkSearchAuthor->click();
  EXPECT_FALSE(window.btnBeginSearch->isEnabled());
  window.chkSearchBody->click();
  EXPECT_TRUE(window.btnBeginSearch->isEnabled());
  window.edtCriteria->clear();
  EXPECT_FALSE(window.btnBeginSearch->isEnabled());
}

TEST_F(FindWindowTest, EachMatchingMessageIsListedOnce) {
  TfrmFindMessage window;
  window.edtCriteria->setText("MENU");
  window.chkSearchSubject->setChecked(true);
  window.chkSearchBody->setChecked(true);
  window.chkSearchAuthor->setChecked(false);
  window.btnBeginSearchClick();
  window.WaitForSearch();
  EXPECT_EQ(window.windowTitle(), "Find Message - Search Done");
  EXPECT_EQ(Column(window.ResultsList, 1), (QStringList{"Re: lunch", "menu", "old menu"}));
  EXPECT_EQ(Column(window.ResultsList, 0), (QStringList{"Archive", "Inbox", "Inbox"}));
  EXPECT_EQ(Column(window.ResultsList, 2), (QStringList{"Ann", "Ann", "Ann"}));
  for (int row = 0; row < 3; ++row) EXPECT_FALSE(window.RowRef(row).empty());
}

TEST_F(FindWindowTest, StartingInAMailboxSearchesOnlyIt) {
  TfrmFindMessage window;
  QTreeWidgetItem* archive = nullptr;
  for (QTreeWidgetItem* item : window.lstFolders->findItems("Archive", Qt::MatchRecursive)) archive = item;
  ASSERT_NE(archive, nullptr);
  window.lstFolders->setCurrentItem(archive);
  window.edtCriteria->setText("menu");
  window.chkSearchSubject->setChecked(true);
  window.btnBeginSearchClick();
  window.WaitForSearch();
  EXPECT_EQ(Column(window.ResultsList, 1), (QStringList{"old menu"}));
}

TEST_F(FindWindowTest, ClosingKeepsTheBoxesAndGeometry) {
  auto* window = new TfrmFindMessage;
  EXPECT_EQ(TfrmFindMessage::Instance(), window);
  window->chkSearchBody->setChecked(true);
  window->chkSearchAuthor->setChecked(false);
  window->show();
  window->close();  // frees itself
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(TfrmFindMessage::Instance(), nullptr);
  EXPECT_TRUE(OptionsIni->ReadBool("FindWnd", "CheckBody", false));
  EXPECT_FALSE(OptionsIni->ReadBool("FindWnd", "CheckAuthor", true));
  EXPECT_GT(OptionsIni->ReadInteger("FindWnd", "TopPanelHeight", 0), 0);
  EXPECT_TRUE(OptionsIni->SectionExists("FindWindowColumns"));
  TfrmFindMessage again;
  EXPECT_TRUE(again.chkSearchBody->isChecked());
  EXPECT_FALSE(again.chkSearchAuthor->isChecked());
}

}  // namespace
}  // namespace qm
