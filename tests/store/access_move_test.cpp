// Moving and copying messages between mailboxes, and one mailbox used from
// two threads at once.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "store/access_test_support.h"
#include "store/folder_tree.h"
#include "store/folder_tree_scan.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "store/store_lock.h"
#include "store/tree_operations.h"

namespace qm {
namespace {

class MoveTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    ForceDirectories(MailDir + "Home");
    BuildFolderTree();
    inbox_ = FindStandardMailbox("Home", "Inbox");
    trash_ = FindStandardMailbox("Home", "Trash");
    ASSERT_TRUE(inbox_ && trash_);
    ASSERT_TRUE(GetQDBForFile(inbox_->info.path, in_));
    ASSERT_TRUE(GetQDBForFile(trash_->info.path, out_));
    ui_->ClearEvents();
  }
  void TearDown() override {
    ReleaseQDB(in_);
    ReleaseQDB(out_);
    StoreTest::TearDown();
  }
  TKey Add(TQDB* db, cFolderNode* node, const std::string& subject, bool read = false) {
    TKey key;
    EXPECT_TRUE(AddMessage(*db, Message(subject, read), false, node, key));
    return key;
  }
  cFolderNode* inbox_ = nullptr;
  cFolderNode* trash_ = nullptr;
  TQDB* in_ = nullptr;
  TQDB* out_ = nullptr;
};

TEST_F(MoveTest, MoveCarriesTheMessageAndBothCounters) {
  const TKey unread = Add(in_, inbox_, "unread");
  const TKey read = Add(in_, inbox_, "read", true);
  FolderTree().Select(inbox_);
  TKey new_key;
  ASSERT_TRUE(MoveMessage(*in_, *out_, inbox_, new_key, true, true, unread, trash_));
  EXPECT_FALSE(in_->KeyExists(unread));
  EXPECT_TRUE(out_->KeyExists(new_key));
  EXPECT_EQ(inbox_->info.total, 1);
  EXPECT_EQ(inbox_->info.unread, 0);
  EXPECT_EQ(trash_->info.total, 1);
  EXPECT_EQ(trash_->info.unread, 1);
  EXPECT_EQ(ui_->Events(), (std::vector<std::string>{"remove " + unread, "status 1 Total message(s), 0 unread"}));
  cMailMessage r;
  ASSERT_TRUE(GetMessage(*out_, r, true, new_key));
  EXPECT_EQ(r.Subject, "unread");
  EXPECT_EQ(*r.Body, StringList{"Body of unread"});

  // A read message leaves the unread counts alone.
  ASSERT_TRUE(MoveMessage(*in_, *out_, inbox_, new_key, false, true, read, trash_));
  EXPECT_EQ(inbox_->info.total, 0);
  EXPECT_EQ(inbox_->info.unread, 0);
  EXPECT_EQ(trash_->info.total, 2);
  EXPECT_EQ(trash_->info.unread, 1);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(MoveTest, CopyKeepsTheSourceAndStillPacksIt) {
  const TKey gone = Add(in_, inbox_, "deleted");
  const TKey kept = Add(in_, inbox_, "kept");
  ASSERT_TRUE(DeleteMessage(*in_, gone, false));
  const int64_t with_dead_space = in_->DataSize();
  TKey new_key;
  ASSERT_TRUE(MoveMessage(*in_, *out_, inbox_, new_key, false, false, kept, trash_));
  EXPECT_TRUE(in_->KeyExists(kept));
  EXPECT_TRUE(out_->KeyExists(new_key));
  EXPECT_LT(in_->DataSize(), with_dead_space);
  EXPECT_EQ(inbox_->info.total, 2) << "copying lowers nothing";
  EXPECT_EQ(trash_->info.total, 1);
}

TEST_F(MoveTest, FailedStepsLoseNothing) {
  // The target cannot take another message: the source copy stays.
  TQDB* full = nullptr;
  ASSERT_TRUE(GetQDBForFile(MailDir + "full.zqf", full));
  full->BeginUpdate();
  for (int i = 0; i < kMaxMessageKeys; ++i) full->Add("x", std::to_string(i));
  full->EndUpdate();
  const TKey key = Add(in_, inbox_, "precious");
  TKey new_key = "stale";
  EXPECT_FALSE(MoveMessage(*in_, *full, inbox_, new_key, true, true, key, nullptr));
  EXPECT_EQ(new_key, "");
  EXPECT_TRUE(in_->KeyExists(key));
  EXPECT_EQ(inbox_->info.total, 1);
  EXPECT_EQ(inbox_->info.unread, 1);
  ReleaseQDB(full);

  // A key the source does not hold: reported with the keys it does hold.
  const TKey missing = key == "1" ? "2" : "1";
  EXPECT_FALSE(MoveMessage(*in_, *out_, inbox_, new_key, true, true, missing, trash_));
  EXPECT_EQ(out_->Count(), 0);
  auto errors = Errors();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].rfind("'The mailbox is full: ", 0), 0u);
  EXPECT_EQ(errors[1], "Could not fetch message body in MoveMessage ()!\r\nKey: " + missing + "\r\n\r\n" + key + "\r\n");
}

TEST_F(MoveTest, BetweenFilesFindsTheNodesAndReleasesBoth) {
  const TKey key = Add(in_, inbox_, "m");
  TKey new_key;
  ASSERT_TRUE(MoveMessageBetweenFiles(inbox_->info.path, trash_->info.path, key, new_key, false, true));
  EXPECT_EQ(inbox_->info.total, 0);
  EXPECT_EQ(trash_->info.total, 1);
  EXPECT_EQ(RefList().Find(inbox_->info.path)->RefCount, 1) << "only the fixture's reference is left";
  EXPECT_EQ(RefList().Find(trash_->info.path)->RefCount, 1);
  EXPECT_FALSE(MoveMessageBetweenFiles(inbox_->info.path, MailDir + "no/such/dir.zqf", key, new_key, false, true));
  EXPECT_EQ(RefList().Find(inbox_->info.path)->RefCount, 1);
}

// A task thread stores messages while the interface thread reads, marks and
// moves them in the same mailbox.
TEST_F(MoveTest, TaskThreadAndInterfaceThreadShareOneMailbox) {
  constexpr int kTaskAdds = 300;
  std::atomic<bool> done{false};
  std::thread task([&] {
    for (int i = 0; i < kTaskAdds; ++i) {
      TQDB* db = nullptr;
      ASSERT_TRUE(GetQDBForFile(inbox_->info.path, db));
      TKey key;
      EXPECT_TRUE(AddMessage(*db, Message("fetched " + std::to_string(i)), true, nullptr, key));
      EXPECT_TRUE(SaveQDB(db));
      ReleaseQDB(db);
    }
    done = true;
  });
  FolderTree().Select(inbox_);
  ASSERT_TRUE(OpenCurrentMailbox(inbox_->info.path));
  int moved = 0;
  while (!done || moved < 50) {
    StringList keys;
    {
      StoreLock lock;
      keys = CurrentMailbox->GetKeys();
    }
    if (keys.empty()) {
      std::this_thread::yield();
      continue;
    }
    keys.resize(std::min<size_t>(keys.size(), 3));
    MarkMessages(keys, true);
    moved += MoveSelectedMessages(StringList{keys[0]}, trash_, true);
    for (int i = 0; i < 5; ++i) {
      cMailMessage r;
      StoreLock lock;
      if (CurrentMailbox->Count() > 0) {
        EXPECT_TRUE(GetMessage(*CurrentMailbox, r, false, "", 0));
      }
    }
    if (moved > 400) break;
  }
  task.join();
  StoreLock lock;
  EXPECT_EQ(in_->Count() + out_->Count(), kTaskAdds);
  EXPECT_EQ(out_->Count(), moved);
  EXPECT_EQ(inbox_->info.total, in_->Count());
  EXPECT_EQ(trash_->info.total, out_->Count());
  int unread = 0;
  for (int i = 0; i < in_->Count(); ++i) {
    cMailMessage r;
    ASSERT_TRUE(GetMessage(*in_, r, false, "", i));
    unread += r.Read ? 0 : 1;
  }
  EXPECT_EQ(inbox_->info.unread, unread);
  EXPECT_TRUE(Errors().empty());
}

}  // namespace
}  // namespace qm
