// What the window's tree hears from the model, and the desktop trash.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/trash.h"
#include "shell/text_utils.h"
#include "store/folder_tree_scan.h"
#include "store/tree_operations.h"
#include "store/tree_test_support.h"

namespace qm {
namespace {

class RecordingListener : public cFolderTreeListener {
 public:
  void NodeAdded(cFolderNode& n) override { events.push_back("added " + n.caption); }
  void NodeAboutToBeRemoved(cFolderNode& n) override { events.push_back("removing " + n.caption); }
  void NodeChanged(cFolderNode& n, bool scroll) override {
    events.push_back("changed " + n.caption + (scroll ? " scroll" : ""));
  }
  void TreeCleared() override { events.push_back("cleared"); }
  void SelectionChanged(cFolderNode* n) override { events.push_back("selected " + (n ? n->caption : "none")); }
  std::vector<std::string> events;
};

class TreeModelTest : public TreeTest {
 protected:
  void SetUp() override {
    TreeTest::SetUp();
    FolderTree().AddListener(&listener_);
  }
  void TearDown() override {
    FolderTree().RemoveListener(&listener_);
    TreeTest::TearDown();
  }
  RecordingListener listener_;
};

TEST_F(TreeModelTest, TheMirrorHearsEveryChange) {
  Make({"Local.FLD/Old.zqf", "Box.zqf"});
  BuildFolderTree();
  EXPECT_EQ(listener_.events, (std::vector<std::string>{"cleared", "added Quillmar", "added Box",
                                                        "added Local", "added Old", "selected Quillmar"}));
  listener_.events.clear();
  cFolderNode* old = FolderTree().FindNodeByPath(MailDir + "Local.FLD/Old.zqf");
  FolderTree().Select(old);
  TQDB* db = nullptr;
  ASSERT_TRUE(GetQDBForFile(old->info.path, db));
  TKey key;
  ASSERT_TRUE(AddMessage(*db, Message("new"), true, old, key));
  ReleaseQDB(db);
  ASSERT_TRUE(MoveNodeTo(FolderTree().FindNodeByPath(MailDir + "Box.zqf"), FolderTree().FindNodeByPath(MailDir + "Local.FLD/")));
  ASSERT_TRUE(DeleteNode(FolderTree().FindNodeByPath(MailDir + "Local.FLD/"), false));
  EXPECT_EQ(listener_.events,
            (std::vector<std::string>{"selected Old", "changed Old scroll", "removing Box", "added Box", "changed Box",
                                      "removing Local", "selected none", "selected Quillmar"}));
  EXPECT_EQ(FolderTree().Root()->Children().size(), 0u);
}

TEST_F(TreeModelTest, TrashKeepsEveryEntryUnderItsOwnName) {
  const std::string xdg = dir_.path() + "data";
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_DATA_HOME", xdg.c_str(), 1);
  Make({"a b.FLD/x.zqf", "note.txt"});
  ASSERT_TRUE(MoveToTrash(MailDir + "a b.FLD/"));
  Make({"a b.FLD/y.zqf"});
  ASSERT_TRUE(MoveToTrash(MailDir + "a b.FLD"));
  ASSERT_TRUE(MoveToTrash(MailDir + "note.txt"));
  Make({"note.txt"});
  ASSERT_TRUE(MoveToTrash(MailDir + "note.txt"));
  EXPECT_EQ(HomeTrashDir(), xdg + "/Trash/");
  std::string error;
  EXPECT_FALSE(MoveToTrash(MailDir + "gone.txt", &error));
  EXPECT_NE(error.find("gone.txt"), std::string::npos);
  if (old) setenv("XDG_DATA_HOME", saved.c_str(), 1);
  else unsetenv("XDG_DATA_HOME");

  const std::string trash = xdg + "/Trash/";
  EXPECT_TRUE(FileExists(trash + "files/a b.FLD/x.zqf"));
  EXPECT_TRUE(FileExists(trash + "files/a b.FLD.2/y.zqf"));
  EXPECT_TRUE(FileExists(trash + "files/note.txt"));
  EXPECT_TRUE(FileExists(trash + "files/note.2.txt"));
  EXPECT_FALSE(PathExists(MailDir + "a b.FLD"));
  std::string info = ReadFileBytes(trash + "info/a b.FLD.2.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + ReplaceAll(MailDir, " ", "%20") + "a%20b.FLD\nDeletionDate=", 0), 0u)
      << info;
  EXPECT_EQ(ListDirectory(trash + "info").size(), 4u);
}

TEST_F(TreeModelTest, MailboxPasswordAndCompressThroughTheStore) {
  Make({"Box.zqf"});
  const std::string box = MailDir + "Box.zqf";
  ASSERT_TRUE(OpenCurrentMailbox(box));
  TKey key;
  ASSERT_TRUE(AddMessage(*CurrentMailbox, Message("secret words"), false, nullptr, key));
  ASSERT_TRUE(CompressMailbox(*CurrentMailbox));
  SetMailboxPassword(*CurrentMailbox, std::string(300, 'p'));
  EXPECT_EQ(CurrentMailbox->Password().size(), 255u);
  ReleaseCurrentMailbox();
  EXPECT_EQ(ReadFileBytes(box).find("secret words"), std::string::npos);
  ui_->passwords = {std::string(255, 'p')};
  ASSERT_TRUE(OpenCurrentMailbox(box));
  cMailMessage m;
  ASSERT_TRUE(GetMessage(*CurrentMailbox, m, true, key));
  EXPECT_EQ(m.Subject, "secret words");
  SetMailboxPassword(*CurrentMailbox, "");
  ReleaseCurrentMailbox();
  ASSERT_TRUE(OpenCurrentMailbox(box));
  EXPECT_EQ(ui_->password_prompts, 1) << "protection removed";
  ReleaseCurrentMailbox();
}

}  // namespace
}  // namespace qm
