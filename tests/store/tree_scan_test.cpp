// Building the folder tree from disk, the counter cache and node lookups.
#include <gtest/gtest.h>
#include <unistd.h>

#include "shell/app_paths.h"
#include "store/folder_tree_scan.h"
#include "store/mailbox_stats.h"
#include "store/tree_test_support.h"

namespace qm {
namespace {

TEST_F(TreeTest, ScanFollowsTheDirectoryConventions) {
  Make({"Inbox.zqf", "zeta.zqf", "Alpha.zqf", "notes.txt", "Old.fld/", "Old.fld/x.zqf", "Proj.FLD/Old.zqf",
        "Proj.FLD/sub.FLD/deep.zqf", "Proj.FLD/Old.fld/", "Proj.FLD/Inbox.zqf", "Proj.FLD/Trash.ZQF",
        "Home/Inbox.zqf", "Home/Trash.zqf", "Home/b.zqf", "Home/A.zqf", "Home/Arch.FLD/", "Home/Arch.FLD/Inbox.zqf",
        "Home/inbox.zqf", "work/"});
  BuildFolderTree();
  EXPECT_EQ(DumpTree(),
            "Quillmar (0/0)\n"
            "  Alpha (3/6) 0/0\n"
            "  Inbox (3/6) 0/0\n"  // an ordinary mailbox outside the accounts
            "  zeta (3/6) 0/0\n"
            "  Proj (2/7)\n"
            "    Inbox (3/6) 0/0\n"
            "    Old (3/6) 0/0\n"
            "    sub (2/7)\n"
            "      deep (3/6) 0/0\n"
            "  Home (1/8)\n"
            "    Inbox (3/1) 0/0\n"
            "    Unsent (3/2) 0/0\n"
            "    Unfinished (3/4) 0/0\n"
            "    Sent Items (3/3) 0/0\n"
            "    Trash (3/5) 0/0\n"
            "    A (3/6) 0/0\n"
            "    b (3/6) 0/0\n"
            "    inbox (3/6) 0/0\n"  // names compare exactly
            "    Arch (2/7)\n"
            "      Inbox (3/6) 0/0\n"
            "  Old.fld (1/8)\n"  // a lower-case extension is an account at the top
            "    Inbox (3/1) 0/0\n"
            "    Unsent (3/2) 0/0\n"
            "    Unfinished (3/4) 0/0\n"
            "    Sent Items (3/3) 0/0\n"
            "    Trash (3/5) 0/0\n"
            "    x (3/6) 0/0\n"
            "  work (1/8)\n"
            "    Inbox (3/1) 0/0\n"
            "    Unsent (3/2) 0/0\n"
            "    Unfinished (3/4) 0/0\n"
            "    Sent Items (3/3) 0/0\n"
            "    Trash (3/5) 0/0\n");
  EXPECT_EQ(FolderTree().FindNodeByPath(MailDir + "Proj.FLD/sub.FLD/deep.zqf")->caption, "deep");
  EXPECT_EQ(FolderTree().FindNodeByPath(MailDir + "Proj.FLD/")->info.kind, fnkFolder);
  EXPECT_EQ(FolderTree().FindNodeByPath(MailDir + "proj.fld/"), nullptr);
  // The standard mailbox files are not made by the scan.
  EXPECT_FALSE(FileExists(MailDir + "work/Inbox.zqf"));
  EXPECT_EQ(FolderTree().Selected(), FindStandardMailbox("Home", "Inbox")) << "the default account's Inbox";
  EXPECT_TRUE(ui_->Events().empty());
}

TEST_F(TreeTest, LinkedFoldersAreNotFollowedRound) {
  Make({"Loop.FLD/a.zqf", "Home/"});
  ASSERT_EQ(::symlink("..", (MailDir + "Loop.FLD/Back.FLD").c_str()), 0);
  ASSERT_EQ(::symlink(".", (MailDir + "Home/Self.FLD").c_str()), 0);
  BuildFolderTree();
  cFolderNode* loop = FolderTree().FindNodeByPath(MailDir + "Loop.FLD/");
  ASSERT_NE(loop, nullptr);
  ASSERT_EQ(loop->Children().size(), 2u);
  EXPECT_EQ(loop->Children()[1]->caption, "Back");
  EXPECT_TRUE(loop->Children()[1]->Children().empty());
  cFolderNode* self = FolderTree().FindNodeByPath(MailDir + "Home/Self.FLD/");
  ASSERT_NE(self, nullptr);
  EXPECT_TRUE(self->Children().empty());
}

TEST_F(TreeTest, SelectionAfterBuild) {
  ForceDirectories(MailDir);
  BuildFolderTree();
  EXPECT_EQ(ui_->Events(), (std::vector<std::string>{"add account"}));
  EXPECT_EQ(FolderTree().Selected(), FolderTree().Root());

  Make({"Alpha/", "Beta/"});
  OptionsIni->WriteString("Options", "DefaultAccount", "Beta");
  BuildFolderTree();
  EXPECT_EQ(FolderTree().Selected(), FindStandardMailbox("Beta", "Inbox"));
  OptionsIni->WriteString("Options", "DefaultAccount", "Gone");
  EXPECT_EQ(cTreeAccounts::GetDefaultAccount(), "Alpha");
  OptionsIni->WriteBool("Options", "OpenDefaultInbox", false);
  BuildFolderTree();
  EXPECT_EQ(FolderTree().Selected(), FolderTree().Root());
}

TEST_F(TreeTest, AccountListsAndAccountOfNode) {
  Make({"beta/", "Alpha/", "Gamma/", "Local.FLD/x.zqf", "Alpha/Sub.FLD/deep.zqf"});
  WriteFileAtomically(MailDir + "Gamma/Settings.ini", "[Server]\r\nHideWhenComposing=1\r\n");
  EXPECT_EQ(cTreeAccounts::ListAccounts(false), (StringList{"Alpha", "beta", "Gamma"}));
  EXPECT_EQ(cTreeAccounts::ListAccounts(true), (StringList{"Alpha", "beta"}));
  BuildFolderTree();
  struct Case {
    std::string path;
    std::string account;
  } cases[] = {{MailDir, ""},
               {MailDir + "Local.FLD/x.zqf", ""},
               {MailDir + "Alpha/", "Alpha"},
               {MailDir + "Alpha/Sub.FLD/deep.zqf", "Alpha"},
               {MailDir + "beta/Trash.zqf", "beta"}};
  for (const Case& c : cases) {
    cFolderNode* node = FolderTree().FindNodeByPath(c.path);
    ASSERT_NE(node, nullptr) << c.path;
    EXPECT_EQ(AccountOfNode(node), c.account) << c.path;
  }
  EXPECT_EQ(AccountOfNode(nullptr), "");
  EXPECT_EQ(FindStandardMailbox("beta", "Sent Items")->info.path, MailDir + "beta/Sent Items.zqf");
  EXPECT_EQ(FindStandardMailbox("nobody", "Inbox"), nullptr);
}

TEST_F(TreeTest, CountersComeFromMailboxesTxtIgnoringCase) {
  Make({"Home/", "Home/Lists.zqf", "Proj.FLD/Old.zqf"});
  SaveLinesToFile(MailboxesFile(), {"home/INBOX.zqf", "3", "10",     // other case: matched
                                    "Home/Lists.zqf", "x", "4",      // not a number: skipped
                                    "Gone.zqf", "1", "1",            // no such mailbox: dropped later
                                    "garbage line",                  // shifts nothing past a bad group
                                    "Proj.FLD/Old.zqf", "0"});       // trailing short group
  BuildFolderTree();
  EXPECT_EQ(FindStandardMailbox("Home", "Inbox")->info.unread, 3);
  EXPECT_EQ(FindStandardMailbox("Home", "Inbox")->info.total, 10);
  EXPECT_EQ(FolderTree().FindNodeByPath(MailDir + "Home/Lists.zqf")->info.total, 0);
  EXPECT_EQ(FolderTree().FindNodeByPath(MailDir + "Proj.FLD/Old.zqf")->info.total, 0);

  FolderTree().FindNodeByPath(MailDir + "Proj.FLD/Old.zqf")->info.total = 2;
  ASSERT_TRUE(SaveMailboxStats());
  EXPECT_EQ(LoadLinesFromFile(MailboxesFile()),
            (StringList{"Proj.FLD/Old.zqf", "0", "2", "Home/Inbox.zqf", "3", "10", "Home/Unsent.zqf", "0", "0",
                        "Home/Unfinished.zqf", "0", "0", "Home/Sent Items.zqf", "0", "0", "Home/Trash.zqf", "0", "0",
                        "Home/Lists.zqf", "0", "0"}));
  // Read back the same way.
  BuildFolderTree();
  EXPECT_EQ(FolderTree().FindNodeByPath(MailDir + "Proj.FLD/Old.zqf")->info.total, 2);
}

TEST_F(TreeTest, MailboxStatusOfTheSelectedNode) {
  Make({"Home/"});
  BuildFolderTree();
  cFolderNode* inbox = FindStandardMailbox("Home", "Inbox");
  inbox->info.total = 12;
  inbox->info.unread = 5;
  FolderTree().Select(inbox);
  EXPECT_EQ(MailboxStatusText(), " 12 Total message(s), 5 unread");
  FolderTree().Select(inbox->Parent());
  EXPECT_EQ(MailboxStatusText(), "");
}

}  // namespace
}  // namespace qm
