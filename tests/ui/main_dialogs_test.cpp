// The small dialogs the main window's commands use: delete-attachments,
// browse-for-mailbox and redirect.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/text_utils.h"
#include "store/folder_tree.h"
#include "store/folder_tree_scan.h"
#include "store/message_ref.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "store/store_lock.h"
#include "store/store_ui.h"
#include "test_support/temp_dir.h"
#include "ui/browse_folders_dialog.h"
#include "ui/delete_attachments_dialog.h"
#include "ui/qt_text.h"
#include "ui/redirect_dialog.h"
#include "ui/test_support_ui.h"

namespace qm {
namespace {

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePaths(dir_.path());
    // The desktop's trash of this test lives in its own directory.
    old_data_home_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir_.path() + "share"));
  }
  void TearDown() override {
    qputenv("XDG_DATA_HOME", old_data_home_);
    ReleaseCurrentMailbox();
    CloseAllMailboxes();
    FolderTree().Clear();
    ReleaseSettings();
  }
  std::string MakeFile(const std::string& path) {
    ForceDirectories(ExtractFilePath(path));
    SaveLinesToFile(path, {"data"});
    return path;
  }
  class TempDir dir_;
  QByteArray old_data_home_;
};

TEST_F(DialogsTest, DeleteAttachmentsOffersOnlyFilesOfTheAttachmentsFolder) {
  const std::string inside = MakeFile(AttachmentsDir + "report.pdf");
  const std::string outside = MakeFile(dir_.path() + "elsewhere/photo.png");
  // Letter case does not matter when the folder is compared.
  std::string inside_other_case = inside;
  inside_other_case.replace(inside.size() - std::string("Attachments/report.pdf").size(),
                            std::string("Attachments").size(), "ATTACHMENTS");
  cMailMessage msg;
  InitMessage(msg);
  msg.FromName = "Ann";
  msg.Subject = "Figures";
  AddAttachment(msg, inside_other_case);
  AddAttachment(msg, outside);

  struct Case {
    bool dont_delete_outside;
    std::vector<bool> selected;
  } cases[] = {{true, {true, false}}, {false, {true, true}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dont_delete_outside);
    OptionsIni->WriteBool("Options", "DontDeleteOutsideAttachsFolder", c.dont_delete_outside);
    TfrmDeleteAttachments dialog;
    dialog.Fill(msg);
    EXPECT_EQ(dialog.lblFrom->text(), "Ann");
    EXPECT_EQ(dialog.lblSubject->text(), "Figures");
    ASSERT_EQ(dialog.lstFiles->count(), 2);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(dialog.lstFiles->item(i)->isSelected(), c.selected[i]) << i;
  }
  FreeMessage(msg);
}

TEST_F(DialogsTest, DeleteAttachmentsBehaviourDecidesWhatLeavesTheDisk) {
  auto message_with = [](const std::vector<std::string>& paths) {
    cMailMessage msg;
    InitMessage(msg);
    for (const std::string& p : paths) AddAttachment(msg, p);
    return msg;
  };
  // Keep (2): nothing goes, and no window opens.
  OptionsIni->WriteInteger("Options", "DeleteAttachmentsBehavior", 2);
  std::string a = MakeFile(AttachmentsDir + "a.txt");
  cMailMessage m1 = message_with({a});
  DeleteAttachmentsOf(m1);
  EXPECT_TRUE(FileExists(a));
  FreeMessage(m1);

  // Ask (0) with every file outside the attachments folder: no window, nothing deleted.
  OptionsIni->WriteInteger("Options", "DeleteAttachmentsBehavior", 0);
  std::string outside = MakeFile(dir_.path() + "outside.txt");
  cMailMessage m2 = message_with({outside});
  DeleteAttachmentsOf(m2);
  EXPECT_TRUE(FileExists(outside));
  FreeMessage(m2);

  // Ask (0), "&Proceed" with the preselection: the inside file goes to the trash.
  cMailMessage m3 = message_with({a, outside});
  WhenModalOpens([](QWidget* w) {
    auto* d = qobject_cast<TfrmDeleteAttachments*>(w);
    ASSERT_NE(d, nullptr);
    d->btnProceed->click();
  });
  DeleteAttachmentsOf(m3);
  EXPECT_FALSE(FileExists(a));
  EXPECT_TRUE(FileExists(outside));
  EXPECT_TRUE(FileExists(dir_.path() + "share/Trash/files/a.txt")) << "handed to the trash, not erased";
  FreeMessage(m3);

  // Delete (1): every file that exists, without a window; a missing one is skipped.
  OptionsIni->WriteInteger("Options", "DeleteAttachmentsBehavior", 1);
  cMailMessage m4 = message_with({outside, dir_.path() + "gone.txt"});
  DeleteAttachmentsOf(m4);
  EXPECT_FALSE(FileExists(outside));
  FreeMessage(m4);
}

TEST_F(DialogsTest, BrowseConfirmsOnlyAnotherMailbox) {
  ForceDirectories(MailDir + "Home/");
  ForceDirectories(MailDir + "Projects.FLD/");
  CreateEmptyMailbox(MailDir + "Projects.FLD/Old.zqf");
  OptionsIni->WriteBool("Options", "OpenDefaultInbox", false);
  BuildFolderTree();
  const std::string source = MailDir + "Home/Inbox.zqf";
  TfrmBrowseFolders dialog(source);
  EXPECT_EQ(dialog.windowTitle(), "Browse for folder");
  EXPECT_EQ(dialog.SelectedPath(), MailDir) << "the root is selected first";
  struct Case {
    std::string path;
    bool ok;
  } cases[] = {{MailDir, false},
               {MailDir + "Home/", false},
               {MailDir + "Projects.FLD/", false},
               {source, false},
               {MailDir + "Home/Trash.zqf", true},
               {MailDir + "Projects.FLD/Old.zqf", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    ASSERT_TRUE(dialog.SelectPath(c.path));
    EXPECT_EQ(dialog.btnOK->isEnabled(), c.ok);
  }
}

class RecordingSends : public MailTaskStarter {
 public:
  void StartFetchTask(const std::string&, bool, bool) override {}
  void StartSendTask(const std::string& account, const std::string& path, const StringList& keys) override {
    sends.push_back(account + " " + path + " " + std::to_string(keys.size()));
  }
  std::vector<std::string> sends;
};

TEST_F(DialogsTest, RedirectPutsInUnsentOrSendsAtOnce) {
  ForceDirectories(MailDir + "Home/");
  OptionsIni->WriteBool("Options", "OpenDefaultInbox", false);
  cMailMessage msg;
  InitMessage(msg);
  msg.Subject = "Forward me";
  msg.To = "me@example.invalid";
  msg.CC = "cc@example.invalid";
  ASSERT_TRUE(AddMessageToFile(MailDir + "Home/Inbox.zqf", msg));
  FreeMessage(msg);
  BuildFolderTree();
  auto starter = std::make_shared<RecordingSends>();
  auto previous = SetMailTaskStarter(starter);
  TQDB* inbox = nullptr;
  ASSERT_TRUE(GetQDBForFile(MailDir + "Home/Inbox.zqf", inbox));
  std::string key;
  {
    StoreLock lock;
    key = inbox->GetKeys().at(0);
  }
  ReleaseQDB(inbox);
  const std::string ref = MakeMessageRef(FindStandardMailbox("Home", "Inbox"), key);

  auto answer = [](const char* button) {
    WhenModalOpens([button](QWidget* w) {
      auto* d = qobject_cast<TfrmRedirectPrompt*>(w);
      ASSERT_NE(d, nullptr);
      EXPECT_FALSE(d->btnPutInUnsent->isEnabled()) << "no address yet";
      d->edtName->setText("  ");
      EXPECT_FALSE(d->btnPutInUnsent->isEnabled());
      d->edtName->setText("other@example.invalid");
      EXPECT_TRUE(d->btnPutInUnsent->isEnabled());
      d->findChild<QPushButton*>(button)->click();
    });
  };
  answer("btnCancel");
  EXPECT_FALSE(RedirectDialog(ref, "Home"));
  EXPECT_EQ(FileExists(MailDir + "Home/Unsent.zqf") ? 1 : 0, 0) << "a cancelled redirect stores nothing";

  answer("btnPutInUnsent");
  EXPECT_TRUE(RedirectDialog(ref, "Home"));
  EXPECT_TRUE(starter->sends.empty()) << "put in Unsent, not sent";
  answer("btnOK");
  EXPECT_TRUE(RedirectDialog(ref, "Home"));
  ASSERT_EQ(starter->sends.size(), 1u);
  EXPECT_EQ(starter->sends[0], "Home " + MailDir + "Home/Unsent.zqf 1") << "sent at once, that one message";

  TQDB* unsent = nullptr;
  ASSERT_TRUE(GetQDBForFile(MailDir + "Home/Unsent.zqf", unsent));
  StringList keys;
  {
    StoreLock lock;
    keys = unsent->GetKeys();
  }
  ASSERT_EQ(keys.size(), 2u);
  cMailMessage queued;
  InitMessage(queued);
  ASSERT_TRUE(GetMessage(*unsent, queued, true, keys[0]));
  EXPECT_EQ(queued.To, "other@example.invalid");
  EXPECT_EQ(queued.CC, "");
  FreeMessage(queued);
  ReleaseQDB(unsent);
  SetMailTaskStarter(previous);
}

}  // namespace
}  // namespace qm
