// Message references: resolving them to mailbox paths and keys, and making
// them from tree nodes.
#include <gtest/gtest.h>

#include "store/folder_tree_scan.h"
#include "store/message_ref.h"
#include "store/tree_test_support.h"

namespace qm {
namespace {

using RefTest = TreeTest;

TEST_F(RefTest, ReferencesResolveToPathsInsideMailDir) {
  Make({"Home/", "Proj.FLD/x.zqf"});
  struct Case {
    std::string ref;
    std::string path;  // relative to MailDir; empty: refused
    std::string key;
  } cases[] = {
      {"Home://Inbox/17", "Home/Inbox.zqf", "17"},
      {"Projects/Old/5", "Projects.FLD/Old.zqf", "5"},
      {"Local/0", "Local.zqf", "0"},
      {"Home://A/B/Sent Items/24999", "Home/A.FLD/B.FLD/Sent Items.zqf", "24999"},
      {"Home://Inbox", "", ""},          // too few parts
      {"17", "", ""},
      {"", "", ""},
      {"Nobody://Inbox/1", "", ""},      // unknown account
      {"Proj.FLD://x/1", "", ""},        // a folder, not an account
      {"://Inbox/1", "", ""},
      {"../Home://Inbox/1", "", ""},
      {"Home://../Inbox/1", "", ""},     // no climbing out
      {"Home://Inbox/..", "", ""},
      {"../../etc/passwd/1", "", ""},
      {"Home://Inbox//1", "", ""},       // empty element
      {"Home://Inbox/", "", ""},
      {std::string("Home://In\0box/1", 15), "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ref);
    std::string path = "stale", key = "stale";
    bool ok = ParseMessageRef(c.ref, path, key);
    EXPECT_EQ(ok, !c.path.empty());
    EXPECT_EQ(path, c.path.empty() ? "" : MailDir + c.path);
    EXPECT_EQ(key, c.key);
  }
}

TEST_F(RefTest, NodesMakeReferencesThatResolveBackToThem) {
  Make({"Home/Arch.FLD/2019.FLD/Jan.zqf", "Projects.FLD/Old.zqf", "Top.zqf"});
  BuildFolderTree();
  struct Case {
    std::string path;
    std::string ref;
  } cases[] = {
      {"Home/Inbox.zqf", "Home://Inbox/42"},
      {"Home/Arch.FLD/2019.FLD/Jan.zqf", "Home://Arch/2019/Jan/42"},
      {"Projects.FLD/Old.zqf", "Projects/Old/42"},
      {"Top.zqf", "Top/42"},
  };
  for (const Case& c : cases) {
    cFolderNode* node = FolderTree().FindNodeByPath(MailDir + c.path);
    ASSERT_NE(node, nullptr) << c.path;
    EXPECT_EQ(MakeMessageRef(node, "42"), c.ref);
    std::string path, key;
    ASSERT_TRUE(ParseMessageRef(c.ref, path, key));
    EXPECT_EQ(path, node->info.path);
    EXPECT_EQ(key, "42");
  }
  EXPECT_EQ(MakeMessageRef(FolderTree().FindNodeByPath(MailDir + "Home/"), "1"), "") << "not a mailbox";
}

}  // namespace
}  // namespace qm
