#include "contacts/contact_groups.h"

#include <gtest/gtest.h>

#include "accounts/test_paths.h"
#include "contacts/contact_store.h"
#include "contacts/recording_contacts_ui.h"
#include "platform/file_error.h"
#include "platform/file_system.h"

namespace qm {
namespace {

using Calls = std::vector<std::string>;
const char kExists[] = "message Group already exists: A group with that name already exists! (!)";

class ContactGroupsTest : public DataDirTest {
 protected:
  RecordingContactsUi ui_;
};

TEST_F(ContactGroupsTest, AddCreatesAnEmptyFileAndListsIt) {
  ASSERT_TRUE(AddGroup("Friends", ui_));
  EXPECT_TRUE(FileExists(GetGroupFile("Friends")));
  EXPECT_EQ(FileSizeOf(GetGroupFile("Friends")), 0);
  EXPECT_EQ(ui_.calls, Calls{"added Friends"});
  EXPECT_EQ(GetBookList(), (StringList{"Contacts", "Friends"}));
}

TEST_F(ContactGroupsTest, AddingAnExistingNameInAnyCaseIsRefused) {
  ASSERT_TRUE(AddGroup("Friends", ui_));
  ui_.calls.clear();
  EXPECT_FALSE(AddGroup("friends", ui_));
  EXPECT_FALSE(AddGroup("CONTACTS", ui_)) << "the main book's name";
  EXPECT_EQ(ui_.calls, (Calls{kExists, kExists}));
  EXPECT_FALSE(FileExists(GetGroupFile("friends")));
  EXPECT_FALSE(FileExists(GetGroupFile("CONTACTS")));
}

TEST_F(ContactGroupsTest, RenameMovesTheFileWithItsContacts) {
  ASSERT_TRUE(AddGroup("Friends", ui_));
  cContact c;
  c.Name = "Ann";
  c.Email = "ann@example.org";
  ASSERT_TRUE(WriteContact(GetGroupFile("Friends"), c));
  ui_.calls.clear();

  ASSERT_TRUE(RenameGroup("Friends", "FRIENDS", ui_)) << "only the letter case changes";
  EXPECT_FALSE(FileExists(GetGroupFile("Friends")));
  EXPECT_EQ(ListContacts(GetGroupFile("FRIENDS")), StringList{"Ann"});
  ASSERT_TRUE(RenameGroup("FRIENDS", "Pals", ui_));
  EXPECT_EQ(ui_.calls, (Calls{"renamed Friends FRIENDS", "renamed FRIENDS Pals"}));
  EXPECT_EQ(GetBookList(), (StringList{"Contacts", "Pals"}));
}

TEST_F(ContactGroupsTest, RenameRefusals) {
  ASSERT_TRUE(AddGroup("Friends", ui_));
  ASSERT_TRUE(AddGroup("Work", ui_));
  ui_.calls.clear();
  EXPECT_FALSE(RenameGroup("Friends", "work", ui_));
  EXPECT_EQ(ui_.calls, Calls{kExists});
  ui_.calls.clear();
  EXPECT_FALSE(RenameGroup("Contacts", "Main", ui_)) << "the main book keeps its name";
  EXPECT_FALSE(RenameGroup("Missing", "Other", ui_)) << "no file to rename";
  EXPECT_FALSE(RenameGroup("Friends", "../Escaped", ui_));
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_TRUE(FileExists(GetGroupFile("Friends")));
  EXPECT_FALSE(FileExists(AppDir + "Main.mcg"));
}

TEST_F(ContactGroupsTest, DeleteSelectsTheMainBookFirstWhenTheGroupIsShown) {
  ASSERT_TRUE(AddGroup("Friends", ui_));
  ASSERT_TRUE(AddGroup("Work", ui_));
  ui_.calls.clear();
  ui_.selected = "Friends";
  ASSERT_TRUE(DeleteGroup("Friends", ui_));
  ASSERT_TRUE(DeleteGroup("Work", ui_));
  EXPECT_EQ(ui_.calls, (Calls{"select Contacts", "removed Friends", "removed Work"}));
  EXPECT_EQ(GetBookList(), StringList{"Contacts"});
}

TEST_F(ContactGroupsTest, MainBookIsNeverDeleted) {
  cContact c;
  c.Name = "Ann";
  ASSERT_TRUE(WriteContact(ContactsFile(), c));
  EXPECT_FALSE(DeleteGroup("Contacts", ui_));
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_TRUE(FileExists(ContactsFile()));
}

TEST_F(ContactGroupsTest, AGroupFileThatCannotBeMadeIsNotListed) {
  ASSERT_TRUE(RemoveDirectoryTree(ContactsDir));
  EXPECT_THROW(AddGroup("Friends", ui_), FileError);
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(ContactGroupsTest, NamesThatLeaveTheDirectoryAreRefused) {
  for (const char* name : {"", ".", "..", "../Escaped", "a/b"}) EXPECT_FALSE(AddGroup(name, ui_)) << name;
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_FALSE(FileExists(AppDir + "Escaped.mcg"));
}

}  // namespace
}  // namespace qm
