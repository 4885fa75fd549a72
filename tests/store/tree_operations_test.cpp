// The disk side of the tree commands: new, rename, move, delete, empty, and
// the message list entry points.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/trash.h"
#include "store/folder_tree_scan.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "store/tree_operations.h"
#include "store/tree_test_support.h"

namespace qm {
namespace {

class TreeOpsTest : public TreeTest {
 protected:
  void SetUp() override {
    TreeTest::SetUp();
    const char* old = std::getenv("XDG_DATA_HOME");
    old_xdg_ = old ? old : "";
    had_xdg_ = old != nullptr;
    setenv("XDG_DATA_HOME", (dir_.path() + "xdg").c_str(), 1);
    Make({"Home/Lists.zqf", "Home/Arch.FLD/Old.zqf", "Home/Arch.FLD/Sub.FLD/", "Local.FLD/", "Box.zqf"});
    BuildFolderTree();
    ui_->ClearEvents();
  }
  void TearDown() override {
    if (had_xdg_) setenv("XDG_DATA_HOME", old_xdg_.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
    TreeTest::TearDown();
  }
  cFolderNode* Node(const std::string& rel) { return FolderTree().FindNodeByPath(MailDir + rel); }
  std::string old_xdg_;
  bool had_xdg_ = false;
};

TEST_F(TreeOpsTest, NewFoldersAndMailboxesGoInSortedPlaces) {
  cFolderNode* arch = Node("Home/Arch.FLD/");
  // With a mailbox selected they go next to it.
  cFolderNode* folder = NewFolder(Node("Home/Arch.FLD/Old.zqf"), "Alpha");
  ASSERT_NE(folder, nullptr);
  EXPECT_TRUE(DirectoryExists(MailDir + "Home/Arch.FLD/Alpha.FLD"));
  EXPECT_EQ(folder->info.path, MailDir + "Home/Arch.FLD/Alpha.FLD/");
  cFolderNode* box = NewMailbox(arch, "New");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(FileSizeOf(MailDir + "Home/Arch.FLD/New.zqf"), 21) << "a new, empty mailbox";
  EXPECT_TRUE(arch->expanded);
  cFolderNode* in_account = NewMailbox(Node("Home/"), "Aaa");
  ASSERT_NE(in_account, nullptr);
  EXPECT_EQ(in_account->IndexInParent(), 5) << "after the standard mailboxes";
  std::string arch_dump;
  DumpNode(*arch, 0, arch_dump);
  EXPECT_EQ(arch_dump,
            "Arch (2/7)\n  New (3/6) 0/0\n  Old (3/6) 0/0\n  Alpha (2/7)\n  Sub (2/7)\n");

  // Existing names and unusable names make nothing.
  EXPECT_EQ(NewFolder(arch, "Sub"), nullptr);
  EXPECT_EQ(NewMailbox(arch, "Old"), nullptr);
  EXPECT_EQ(NewFolder(arch, "../../escape"), nullptr);
  EXPECT_EQ(NewMailbox(arch, ".."), nullptr);
  EXPECT_EQ(NewMailbox(arch, ""), nullptr);
  EXPECT_EQ(Errors().size(), 5u);
  EXPECT_EQ(arch->Children().size(), 4u);
  EXPECT_FALSE(PathExists(dir_.path() + "escape.FLD"));
}

TEST_F(TreeOpsTest, RenameChangesDiskAndNodeOrNeither) {
  cFolderNode* lists = Node("Home/Lists.zqf");
  ASSERT_TRUE(RenameNode(lists, "Clubs"));
  EXPECT_EQ(lists->caption, "Clubs");
  EXPECT_EQ(lists->info.path, MailDir + "Home/Clubs.zqf");
  EXPECT_TRUE(FileExists(MailDir + "Home/Clubs.zqf"));
  EXPECT_FALSE(FileExists(MailDir + "Home/Lists.zqf"));

  cFolderNode* arch = Node("Home/Arch.FLD/");
  ASSERT_TRUE(RenameNode(arch, "Archive"));
  EXPECT_EQ(arch->info.path, MailDir + "Home/Archive.FLD/");
  ASSERT_EQ(arch->Children().size(), 2u);
  EXPECT_EQ(arch->Children()[0]->info.path, MailDir + "Home/Archive.FLD/Old.zqf");
  EXPECT_TRUE(arch->expanded);

  // Failures keep the old caption and path.
  Make({"Home/Taken.zqf"});
  struct Case {
    cFolderNode* node;
    std::string caption;
  } cases[] = {{lists, "Taken"}, {lists, "a/b"}, {arch, "."}, {FindStandardMailbox("Home", "Inbox"), "Other"}};
  for (const Case& c : cases) {
    const std::string caption = c.node->caption, path = c.node->info.path;
    EXPECT_FALSE(RenameNode(c.node, c.caption)) << c.caption;
    EXPECT_EQ(c.node->caption, caption);
    EXPECT_EQ(c.node->info.path, path);
  }
  EXPECT_EQ(ReadFileBytes(MailDir + "Home/Taken.zqf").size(), 21u) << "the other mailbox is untouched";
  // The source vanished behind our back.
  RemoveFile(MailDir + "Home/Clubs.zqf");
  EXPECT_FALSE(RenameNode(lists, "Again"));
  EXPECT_EQ(lists->info.path, MailDir + "Home/Clubs.zqf");
  EXPECT_FALSE(FileExists(MailDir + "Home/Again.zqf"));
  EXPECT_EQ(Errors().size(), 4u) << "the standard mailbox is refused silently";
}

TEST_F(TreeOpsTest, RenameRefusesMailboxesOpenElsewhere) {
  TQDB* db = nullptr;
  ASSERT_TRUE(GetQDBForFile(MailDir + "Home/Arch.FLD/Old.zqf", db));
  EXPECT_FALSE(RenameNode(Node("Home/Arch.FLD/Old.zqf"), "New"));
  EXPECT_FALSE(RenameNode(Node("Home/Arch.FLD/"), "New")) << "a mailbox inside is open";
  EXPECT_FALSE(DeleteNode(Node("Home/Arch.FLD/"), false));
  EXPECT_TRUE(DirectoryExists(MailDir + "Home/Arch.FLD"));
  ReleaseQDB(db);
  // The mailbox shown is let go by the command itself.
  ASSERT_TRUE(OpenCurrentMailbox(MailDir + "Home/Arch.FLD/Old.zqf"));
  EXPECT_TRUE(RenameNode(Node("Home/Arch.FLD/Old.zqf"), "New"));
  EXPECT_EQ(CurrentMailbox, nullptr);
}

TEST_F(TreeOpsTest, MovesKeepFileNamesAndNeverNestAFolderInItself) {
  cFolderNode* arch = Node("Home/Arch.FLD/");
  cFolderNode* sub = Node("Home/Arch.FLD/Sub.FLD/");
  EXPECT_FALSE(MoveNodeTo(arch, sub));
  EXPECT_FALSE(MoveNodeTo(arch, arch));
  EXPECT_TRUE(DirectoryExists(MailDir + "Home/Arch.FLD/Sub.FLD"));
  EXPECT_FALSE(MoveNodeTo(Node("Box.zqf"), Node("Home/Lists.zqf"))) << "not onto a mailbox";

  ASSERT_TRUE(MoveNodeTo(arch, Node("Local.FLD/")));
  EXPECT_EQ(arch->Parent(), Node("Local.FLD/"));
  EXPECT_EQ(arch->info.path, MailDir + "Local.FLD/Arch.FLD/");
  EXPECT_NE(Node("Local.FLD/Arch.FLD/Old.zqf"), nullptr);
  EXPECT_NE(Node("Local.FLD/Arch.FLD/Sub.FLD/"), nullptr);
  EXPECT_TRUE(FileExists(MailDir + "Local.FLD/Arch.FLD/Old.zqf"));

  cFolderNode* box = Node("Box.zqf");
  ASSERT_TRUE(MoveNodeTo(box, Node("Home/")));
  EXPECT_EQ(box->info.path, MailDir + "Home/Box.zqf");
  EXPECT_EQ(box->IndexInParent(), 5);

  // A name already taken in the target: nothing moves.
  Make({"Lists.zqf"});
  cFolderNode* lists = Node("Home/Lists.zqf");
  EXPECT_FALSE(MoveNodeTo(lists, FolderTree().Root()));
  EXPECT_EQ(lists->info.path, MailDir + "Home/Lists.zqf");
  EXPECT_EQ(lists->Parent(), Node("Home/"));
  EXPECT_TRUE(FileExists(MailDir + "Home/Lists.zqf"));
}

TEST_F(TreeOpsTest, DeleteAsksThenErasesMailboxesAndTrashesFolders) {
  ui_->answer_yes = false;
  EXPECT_FALSE(DeleteNode(Node("Home/Lists.zqf"), true));
  EXPECT_FALSE(DeleteNode(Node("Home/"), true));
  EXPECT_TRUE(FileExists(MailDir + "Home/Lists.zqf"));
  EXPECT_EQ(ui_->Events(), (std::vector<std::string>{
                               "ask [Delete 'Lists'] Are you certain you wish to permanently erase 'Lists'?",
                               "ask [Delete 'Home'] Are you certain you wish to permanently erase the server 'Home'?"}));
  ui_->answer_yes = true;
  ASSERT_TRUE(DeleteNode(Node("Home/Lists.zqf"), true));
  EXPECT_FALSE(FileExists(MailDir + "Home/Lists.zqf"));
  EXPECT_EQ(Node("Home/Lists.zqf"), nullptr);
  EXPECT_EQ(FolderTree().Selected(), FolderTree().Root());

  ASSERT_TRUE(DeleteNode(Node("Home/Arch.FLD/"), false));
  EXPECT_FALSE(PathExists(MailDir + "Home/Arch.FLD"));
  const std::string trash = dir_.path() + "xdg/Trash/";
  EXPECT_TRUE(FileExists(trash + "files/Arch.FLD/Old.zqf"));
  std::string info = ReadFileBytes(trash + "info/Arch.FLD.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + MailDir + "Home/Arch.FLD\nDeletionDate=", 0), 0u) << info;

  ASSERT_TRUE(DeleteNode(Node("Home/"), false));
  EXPECT_TRUE(DirectoryExists(trash + "files/Home"));
  EXPECT_EQ(FindStandardMailbox("Home", "Inbox"), nullptr);
  EXPECT_FALSE(DeleteNode(FolderTree().Root(), false));
}

TEST_F(TreeOpsTest, EmptyMailboxKeepsTheEngineUsable) {
  cFolderNode* lists = Node("Home/Lists.zqf");
  FolderTree().Select(lists);
  ASSERT_TRUE(OpenCurrentMailbox(lists->info.path));
  TKey plain, with_files;
  ASSERT_TRUE(AddMessage(*CurrentMailbox, Message("plain"), false, lists, plain));
  cMailMessage m = Message("files");
  AddAttachment(m, AttachmentsDir + "a.bin");
  ASSERT_TRUE(AddMessage(*CurrentMailbox, m, false, lists, with_files));
  ui_->ClearEvents();
  ui_->answer_yes = false;
  EXPECT_FALSE(EmptyMailbox(lists, true));
  EXPECT_EQ(CurrentMailbox->Count(), 2);
  ui_->answer_yes = true;
  ASSERT_TRUE(EmptyMailbox(lists, true));
  EXPECT_EQ(ui_->Events(), (std::vector<std::string>{
                               "ask [Empty 'Lists'] Are you certain you wish to empty the mailbox 'Lists'?",
                               "ask [Empty 'Lists'] Are you certain you wish to empty the mailbox 'Lists'?",
                               "attachments files: " + AttachmentsDir + "a.bin", "reload"}));
  EXPECT_EQ(lists->info.total, 0);
  EXPECT_EQ(lists->info.unread, 0);
  ASSERT_NE(CurrentMailbox, nullptr);
  EXPECT_EQ(CurrentMailbox->Count(), 0);
  TKey again;
  EXPECT_TRUE(AddMessage(*CurrentMailbox, Message("after"), false, lists, again));
  ReleaseCurrentMailbox();
  TQDB check;
  check.SetFileName(MailDir + "Home/Lists.zqf");
  EXPECT_EQ(check.GetKeys(), (StringList{again}));
  EXPECT_TRUE(Errors().empty());
}

TEST_F(TreeOpsTest, MessageListOpenMarkAndMove) {
  cFolderNode* lists = Node("Home/Lists.zqf");
  cFolderNode* trash = FindStandardMailbox("Home", "Trash");
  StringList keys;
  for (int i = 0; i < 4; ++i) {
    cMailMessage m = Message("m" + std::to_string(i), i == 3);
    TKey key;
    ASSERT_TRUE(AddMessageToFile(lists->info.path, m));
  }
  lists->info.unread = 99;  // stale counters are recounted on opening
  FolderTree().Select(lists);
  ui_->ClearEvents();
  cMailboxListing listing = OpenMailboxInList(lists);
  ASSERT_TRUE(listing.ok);
  ASSERT_EQ(listing.rows.size(), 4u);
  EXPECT_EQ(listing.window_caption, "Torvane Quillmar - [Lists]");
  EXPECT_EQ(lists->info.unread, 3);
  EXPECT_EQ(lists->info.total, 4);
  EXPECT_EQ(ui_->Events(), (std::vector<std::string>{"status 4 Total message(s), 3 unread"}));
  for (const auto& row : listing.rows) {
    EXPECT_EQ(row.info.Size, row.msg.Size);
    keys.push_back(row.info.Key);
  }

  EXPECT_EQ(MarkMessages(keys, true), 3) << "the read one is not rewritten";
  EXPECT_EQ(lists->info.unread, 0);
  EXPECT_EQ(MarkMessages({keys[0], keys[1]}, false), 2);
  EXPECT_EQ(lists->info.unread, 2);

  ui_->ClearEvents();
  const int64_t before = CurrentMailbox->DataSize();
  EXPECT_EQ(MoveSelectedMessages({keys[0], keys[2]}, trash, true), 2);
  EXPECT_LT(CurrentMailbox->DataSize(), before) << "the source is packed";
  EXPECT_EQ(ui_->Events(), (std::vector<std::string>{"remove " + keys[2], "remove " + keys[0],
                                                     "status 2 Total message(s), 1 unread"}));
  EXPECT_EQ(lists->info.total, 2);
  EXPECT_EQ(lists->info.unread, 1);
  EXPECT_EQ(trash->info.total, 2);
  EXPECT_EQ(trash->info.unread, 1);
  EXPECT_EQ(MoveSelectedMessages({keys[1]}, trash, false), 1);
  EXPECT_EQ(lists->info.total, 2);
  EXPECT_EQ(trash->info.total, 3);
  EXPECT_EQ(CurrentMailbox->Count(), 2);
}

TEST_F(TreeOpsTest, FetchAndSendEntryPoints) {
  Make({"Quiet/"});
  WriteFileAtomically(MailDir + "Quiet/Settings.ini", "[Server]\r\nDoNotCheckMail=1\r\n");
  EXPECT_TRUE(StartFetchOnAccount("Home", false, true, false));
  EXPECT_FALSE(StartFetchOnAccount("Quiet", false, false, true));
  EXPECT_TRUE(StartFetchOnAccount("Quiet", true, false, true));
  EXPECT_FALSE(StartFetchOnAccount("Nobody", true, false, true));
  EXPECT_FALSE(SendUnsentOfAccount("Home")) << "an empty Unsent starts nothing";
  cMailMessage m = Message("out", true);
  ASSERT_TRUE(AddMessageToFile(MailDir + "Home/Unsent.zqf", m));
  ASSERT_TRUE(AddMessageToFile(MailDir + "Home/Unsent.zqf", m));
  EXPECT_TRUE(SendUnsentOfAccount("Home"));
  TQDB check;
  check.SetFileName(MailDir + "Home/Unsent.zqf");
  StringList keys = check.GetKeys();
  ASSERT_EQ(tasks_->calls.size(), 3u);
  EXPECT_EQ(tasks_->calls[0], "fetch Home silent");
  EXPECT_EQ(tasks_->calls[1], "fetch Quiet ask");
  EXPECT_EQ(tasks_->calls[2], "send Home Unsent.zqf " + keys[0] + " " + keys[1]);
}

}  // namespace
}  // namespace qm
