// Shared mailbox engines, records stored through them, keys and counters.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

#include "platform/file_system.h"
#include "store/folder_tree.h"
#include "store/folder_tree_scan.h"
#include "store/message_store.h"
#include "store/qdb_container.h"
#include "store/ref_list.h"
#include "store/tqdb.h"
#include "store/access_test_support.h"

namespace qm {
namespace {

class AccessTest : public StoreTest {
 protected:
  std::string Box(const std::string& name = "box") const { return MailDir + name + ".zqf"; }
};

TEST_F(AccessTest, EveryRecordFieldSurvivesTheMailboxFile) {
  cMailMessage m;
  InitMessage(m);
  m.Subject = "Quarterly \xC3\xA9tat";
  m.From = "\"Ann O'Neil\" <ann@example.org>";
  m.FromName = "Ann O'Neil";
  m.FromAddress = "ann@example.org";
  m.ReplyTo = "reply@example.org";
  m.To = "bob@example.org";
  m.CC = "cc@example.org";
  m.BCC = "bcc@example.org";
  m.MessageID = "<id.1@example.org>";
  m.Organization = "Org";
  m.Account = "Home";
  m.SourceRef = "Home://Inbox/17";
  m.Size = 12345;
  m.Reserved = 7;
  m.Date = 45000.5;
  m.ReservedFlag = true;
  m.Answered = true;
  m.Complete = true;
  m.IsHTML = true;
  m.Read = false;
  *m.Headers = {"From: ann@example.org", "Subject: x"};
  *m.Body = {"first", "", "!QM36_xMailBoundary12_12", "last"};
  AddAttachment(m, AttachmentsDir + "a.txt");
  ASSERT_TRUE(AddMessageToFile(Box(), m));
  EXPECT_TRUE(RefList().Count() == 0) << "released after the add";

  // The file itself holds one item that decodes to the record.
  {
    TQDB raw;
    raw.SetFileName(Box());
    ASSERT_EQ(raw.Count(), 1);
    cMailMessage d;
    DecodeMessage(raw.Get(), true, d);
    EXPECT_EQ(d.SourceRef, "Home://Inbox/17");
    EXPECT_EQ(*d.Body, *m.Body);
  }
  TQDB* db = nullptr;
  ASSERT_TRUE(GetQDBForFile(Box(), db));
  const TKey key = db->GetKeys().at(0);
  cMailMessage r;
  ASSERT_TRUE(GetMessage(*db, r, true, key));
  EXPECT_EQ(r.Subject, m.Subject);
  EXPECT_EQ(r.From, m.From);
  EXPECT_EQ(r.FromName, m.FromName);
  EXPECT_EQ(r.FromAddress, m.FromAddress);
  EXPECT_EQ(r.ReplyTo, m.ReplyTo);
  EXPECT_EQ(r.To, m.To);
  EXPECT_EQ(r.CC, m.CC);
  EXPECT_EQ(r.BCC, m.BCC);
  EXPECT_EQ(r.MessageID, m.MessageID);
  EXPECT_EQ(r.Organization, m.Organization);
  EXPECT_EQ(r.Account, m.Account);
  EXPECT_EQ(r.Size, 12345);
  EXPECT_EQ(r.Reserved, 7);
  EXPECT_DOUBLE_EQ(r.Date, 45000.5);
  EXPECT_TRUE(r.ReservedFlag && r.Answered && r.Complete && r.IsHTML && r.HasAttachments);
  EXPECT_FALSE(r.Read);
  EXPECT_EQ(*r.Headers, *m.Headers);
  EXPECT_EQ(*r.Body, *m.Body);
  EXPECT_EQ(*r.Attachments, *m.Attachments);

  // Without the body: every first-part field, no lists; by position too.
  cMailMessage first;
  ASSERT_TRUE(GetMessage(*db, first, false, "", 0));
  EXPECT_EQ(first.Subject, m.Subject);
  EXPECT_EQ(first.SourceRef, m.SourceRef);
  EXPECT_TRUE(first.HasAttachments);
  EXPECT_TRUE(first.Headers->empty() && first.Body->empty() && first.Attachments->empty());
  EXPECT_TRUE(ReleaseQDB(db));
  EXPECT_TRUE(Errors().empty());
}

// The list reads only the head of each item; heads of every shape decode
// to the same first part as the whole item.
TEST_F(AccessTest, FirstPartReadsMatchWholeReads) {
  ForceDirectories(MailDir);
  TQDB* db = nullptr;
  ASSERT_TRUE(GetQDBForFile(Box(), db));
  struct Case {
    std::string subject;
    size_t body_lines;
  } cases[] = {{"tiny", 0}, {std::string(1000, 's'), 0}, {std::string(1003, 'b'), 5}, {std::string(5000, 'l'), 200}};
  StringList keys;
  for (const Case& c : cases) {
    cMailMessage m = Message(c.subject);
    for (size_t i = 0; i < c.body_lines; ++i) m.Body->push_back(std::string(70, 'x'));
    TKey key;
    ASSERT_TRUE(AddMessage(*db, m, false, nullptr, key));
    keys.push_back(key);
  }
  auto check_all = [&](const char* stage) {
    for (size_t i = 0; i < keys.size(); ++i) {
      SCOPED_TRACE(std::string(stage) + " " + std::to_string(i));
      cMailMessage head, whole;
      ASSERT_TRUE(GetMessage(*db, head, false, keys[i]));
      ASSERT_TRUE(GetMessage(*db, whole, true, keys[i]));
      EXPECT_EQ(head.Subject, cases[i].subject);
      EXPECT_EQ(head.Size, whole.Size);
      EXPECT_DOUBLE_EQ(head.Date, whole.Date);
      EXPECT_TRUE(head.Body->empty());
    }
  };
  check_all("cached");
  db->SetCacheSize(0);  // empties the cache and keeps it empty
  check_all("from the file");
  db->Compress();
  db->SetCacheSize(0);
  check_all("compressed");
  ReleaseQDB(db);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(AccessTest, FileIsWrittenOnlyAtTheLastRelease) {
  TQDB* a = nullptr;
  TQDB* b = nullptr;
  ASSERT_TRUE(GetQDBForFile(Box(), a));
  ASSERT_TRUE(GetQDBForFile(Box(), b));
  EXPECT_EQ(a, b);
  EXPECT_EQ(RefList().Count(), 1);
  EXPECT_EQ(RefList().Find(Box())->RefCount, 2);
  EXPECT_EQ(RefList().Find(Box())->Openers, (StringList{"GetQDBForFile ()"}));
  const std::string empty = ReadFileBytes(Box());
  cMailMessage m = Message("kept");
  TKey key;
  ASSERT_TRUE(AddMessage(*a, m, false, nullptr, key));
  EXPECT_FALSE(ReleaseQDB(a));
  EXPECT_EQ(ReadFileBytes(Box()), empty) << "another holder still has it open";
  EXPECT_TRUE(ReleaseQDB(b));
  EXPECT_EQ(RefList().Count(), 0);
  TQDB check;
  check.SetFileName(Box());
  EXPECT_EQ(check.GetKeys(), (StringList{key}));
  // An engine that is not in the list is not ours to release.
  EXPECT_FALSE(ReleaseQDB(&check));
}

TEST_F(AccessTest, MailboxesThatCannotBeOpenedStayOutOfTheList) {
  WriteFileAtomically(Box("corrupt"), "NOTAQDBFILE-----------------");
  const std::string before = ReadFileBytes(Box("corrupt"));
  struct Case {
    std::string path;
    std::string report;
  } cases[] = {
      {Box("corrupt"), "'The file " + Box("corrupt") + " is not a valid QDB file' has occured in GetQDBForFile ()"},
      {MailDir + "missing/dir/box.zqf", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    TQDB* db = reinterpret_cast<TQDB*>(1);
    EXPECT_FALSE(GetQDBForFile(c.path, db));
    EXPECT_EQ(db, nullptr);
    EXPECT_EQ(RefList().Count(), 0);
  }
  auto errors = Errors();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], cases[0].report);
  EXPECT_NE(errors[1].find(" has occured in GetQDBForFile ()"), std::string::npos);
  EXPECT_EQ(errors[1].front(), '\'');
  EXPECT_EQ(ReadFileBytes(Box("corrupt")), before) << "left untouched";
}

TEST_F(AccessTest, WrongOrCancelledPasswordIsReportedOnceAndAskedAgain) {
  {
    TQDB db;
    db.SetFileName(Box("secret"));
    db.Add(EncodeMessage(Message("hidden")), "5");
    db.SetPassword("s3cret");
    db.SetFileName("");
  }
  ForceDirectories(MailDir);
  BuildFolderTree();
  FolderTree().Select(nullptr);
  TQDB* db = nullptr;
  ui_->passwords = {"wrong"};
  EXPECT_FALSE(GetQDBForFile(Box("secret"), db));
  EXPECT_FALSE(GetQDBForFile(Box("secret"), db)) << "cancelled";
  EXPECT_EQ(Errors(), (std::vector<std::string>{"The password is invalid.", "The password is invalid."}));
  EXPECT_EQ(FolderTree().Selected(), FolderTree().FirstNode());
  EXPECT_EQ(RefList().Count(), 0);
  ui_->passwords = {"s3cret"};
  ASSERT_TRUE(GetQDBForFile(Box("secret"), db));
  EXPECT_EQ(ui_->password_prompts, 3);
  EXPECT_EQ(db->GetKeys(), (StringList{"5"}));
  ReleaseQDB(db);
}

TEST_F(AccessTest, PasswordPromptDoesNotHoldTheStore) {
  {
    TQDB db;
    db.SetFileName(Box("secret"));
    db.SetPassword("pw");
    db.SetFileName("");
  }
  // While the prompt is up, another thread uses the store and finishes.
  bool other_done = false;
  ui_->passwords = {"pw"};
  ui_->while_prompting = [&] {
    std::thread other([&] { other_done = AddMessageToFile(Box("other"), Message("x")); });
    other.join();
  };
  TQDB* db = nullptr;
  ASSERT_TRUE(GetQDBForFile(Box("secret"), db));
  EXPECT_TRUE(other_done);
  ReleaseQDB(db);
}

TEST_F(AccessTest, CountersFollowAddsOfReadAndUnreadMessages) {
  ForceDirectories(MailDir);
  CreateEmptyMailbox(Box());
  BuildFolderTree();
  ui_->ClearEvents();
  cFolderNode* node = FolderTree().FindNodeByPath(Box());
  ASSERT_NE(node, nullptr);
  TQDB* db = nullptr;
  ASSERT_TRUE(GetQDBForFile(Box(), db));
  TKey k1, k2, k3;
  ASSERT_TRUE(AddMessage(*db, Message("unread"), false, nullptr, k1));
  EXPECT_EQ(node->info.unread, 1);
  EXPECT_EQ(node->info.total, 1);
  ASSERT_TRUE(AddMessage(*db, Message("read", true), false, node, k2));
  EXPECT_EQ(node->info.unread, 1);
  EXPECT_EQ(node->info.total, 2);
  EXPECT_TRUE(ui_->Events().empty()) << "no refresh asked";

  // Refresh adds a row only while the mailbox is the one shown.
  ASSERT_TRUE(AddMessage(*db, Message("hidden"), true, node, k3));
  EXPECT_TRUE(ui_->Events().empty());
  FolderTree().Select(node);
  TKey k4;
  ASSERT_TRUE(AddMessage(*db, Message("shown"), true, node, k4));
  EXPECT_EQ(ui_->Events(), (std::vector<std::string>{"add " + k4 + " shown", "status 4 Total message(s), 3 unread"}));
  EXPECT_EQ(std::set<TKey>({k1, k2, k3, k4}).size(), 4u);
  for (const TKey& k : {k1, k2, k3, k4}) {
    int n = std::stoi(k);
    EXPECT_TRUE(n >= 0 && n < 25000 && std::to_string(n) == k) << k;
  }
  ReleaseQDB(db);
  // A mailbox without a node still stores the message.
  EXPECT_TRUE(AddMessageToFile(Box("nodeless"), Message("x")));
  EXPECT_TRUE(Errors().empty());
}

TEST_F(AccessTest, FullMailboxRefusesNewMessagesAndKeysNeverLoop) {
  ForceDirectories(MailDir);
  TQDB* db = nullptr;
  ASSERT_TRUE(GetQDBForFile(Box(), db));
  db->BeginUpdate();
  for (int i = 0; i < kMaxMessageKeys; ++i)
    if (i != 12345) db->Add("x", std::to_string(i));
  db->EndUpdate();
  // One key left: it is found however the draws fall.
  EXPECT_EQ(NewMessageKey(*db), "12345");
  db->Add("x", "12345");
  EXPECT_EQ(NewMessageKey(*db), "");
  TKey key = "stale";
  EXPECT_FALSE(AddMessage(*db, Message("one too many"), false, nullptr, key));
  EXPECT_EQ(key, "");
  EXPECT_EQ(db->Count(), kMaxMessageKeys);
  EXPECT_EQ(Errors(), (std::vector<std::string>{"'The mailbox is full: " + Box() + "' has occured in AddMessage ()"}));
  ReleaseQDB(db);
}

TEST_F(AccessTest, ReadChangeAndDeleteByKey) {
  ForceDirectories(MailDir);
  TQDB* db = nullptr;
  ASSERT_TRUE(GetQDBForFile(Box(), db));
  cMailMessage m = Message("with files");
  AddAttachment(m, AttachmentsDir + "one.pdf");
  AddAttachment(m, "/elsewhere/two.pdf");
  TKey key;
  ASSERT_TRUE(AddMessage(*db, m, false, nullptr, key));
  const TKey missing = key == "1" ? "2" : "1";
  cMailMessage r;
  EXPECT_FALSE(GetMessage(*db, r, true, missing));
  EXPECT_FALSE(ChangeMessage(*db, m, missing, true));
  EXPECT_FALSE(DeleteMessage(*db, missing, true));
  EXPECT_TRUE(Errors().empty()) << "missing keys are not reported";

  // A position out of range is a failed read.
  EXPECT_FALSE(GetMessage(*db, r, false, "", 5));
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0], "'The list index is out of bounds' has occured in GetMessage ()");

  m.Subject = "changed";
  m.Read = true;
  ASSERT_TRUE(ChangeMessage(*db, m, key, false));
  ASSERT_TRUE(GetMessage(*db, r, true, key));
  EXPECT_EQ(r.Subject, "changed");
  EXPECT_TRUE(r.Read);

  ASSERT_TRUE(DeleteMessage(*db, key, true));
  EXPECT_EQ(ui_->Events(),
            (std::vector<std::string>{"attachments changed: " + AttachmentsDir + "one.pdf /elsewhere/two.pdf"}));
  EXPECT_EQ(db->Count(), 0);
  ReleaseQDB(db);
}

TEST_F(AccessTest, ChangeRefreshesTheRowOfTheMailboxShown) {
  ForceDirectories(MailDir);
  CreateEmptyMailbox(Box());
  BuildFolderTree();
  ui_->ClearEvents();
  FolderTree().Select(FolderTree().FindNodeByPath(Box()));
  TQDB* db = nullptr;
  ASSERT_TRUE(GetQDBForFile(Box(), db));
  cMailMessage m = Message("m");
  TKey key;
  ASSERT_TRUE(AddMessage(*db, m, false, nullptr, key));
  m.Read = true;
  ASSERT_TRUE(ChangeMessage(*db, m, key, true));
  ASSERT_TRUE(ChangeMessage(*db, m, key, false));
  EXPECT_EQ(ui_->Events(), (std::vector<std::string>{"refresh " + key + " read"}));
  ReleaseQDB(db);
}

TEST_F(AccessTest, RedirectQueuesInUnsentAndSendsOnlyWhenAsked) {
  ForceDirectories(MailDir + "Home");
  BuildFolderTree();
  cMailMessage m = Message("fw");
  m.To = "old@example.org";
  m.CC = "c@example.org";
  m.BCC = "b@example.org";
  ASSERT_TRUE(RedirectMessage(m, "Home", "new@example.org", false));
  EXPECT_TRUE(tasks_->calls.empty());
  ASSERT_TRUE(RedirectMessage(m, "Home", "now@example.org", true));
  cFolderNode* unsent = FindStandardMailbox("Home", "Unsent");
  ASSERT_NE(unsent, nullptr);
  EXPECT_EQ(unsent->info.total, 2);
  TQDB* db = nullptr;
  ASSERT_TRUE(GetQDBForFile(unsent->info.path, db));
  ASSERT_EQ(db->Count(), 2);
  StringList tos;
  TKey sent_key;
  for (int i = 0; i < 2; ++i) {
    cMailMessage r;
    ASSERT_TRUE(GetMessage(*db, r, true, "", i));
    EXPECT_EQ(r.CC, "");
    EXPECT_EQ(r.BCC, "");
    tos.push_back(r.To);
    if (r.To == "now@example.org") sent_key = db->Key();
  }
  std::sort(tos.begin(), tos.end());
  EXPECT_EQ(tos, (StringList{"new@example.org", "now@example.org"}));
  EXPECT_EQ(tasks_->calls, (std::vector<std::string>{"send Home Unsent.zqf " + sent_key}));
  ReleaseQDB(db);
  // The caller's record keeps its own recipients.
  EXPECT_EQ(m.To, "old@example.org");
  EXPECT_FALSE(RedirectMessage(m, "../escape", "x@example.org", false));
  EXPECT_FALSE(FileExists(dir_.path() + "Unsent.zqf"));
}

}  // namespace
}  // namespace qm
