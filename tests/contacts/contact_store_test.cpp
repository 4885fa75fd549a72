#include "contacts/contact_store.h"

#include <gtest/gtest.h>

#include <vector>

#include "accounts/test_paths.h"
#include "platform/file_system.h"
#include "shell/ini_file.h"
#include "shell/text_utils.h"

namespace qm {
namespace {

class ContactStoreTest : public DataDirTest {
 protected:
  std::string Book() { return ContactsFile(); }
};

cContact FullContact(const std::string& name) {
  cContact c;
  c.Name = name;
  c.NickName = "Annie";
  c.Email = "ann@example.org";
  c.SecondaryEmail = "ann@home.example";
  c.HomePage = "http://ann.example/";
  c.ShowOnContactPane = false;
  c.HomeAddress = "1 Road";
  c.HomeStateOrProvince = "Shire";
  c.HomeCountry = "Nowhere";
  c.HomePhone = "111";
  c.HomeFax = "112";
  c.HomeMobile = "113";
  c.WorkCompany = "Example Ltd";
  c.WorkAddress = "2 Street";
  c.WorkStateOrProvince = "County";
  c.WorkPhone = "221";
  c.WorkFax = "222";
  c.WorkPager = "223";
  c.BirthDate = "1 May";
  c.Anniversary = "2 June";
  c.ICQNumber = "12345";
  c.Gender = 2;
  c.UseAccount = "Home";
  c.UseSignature = "Work";
  c.Notes = "first line\r\nsecond line";
  return c;
}

void ExpectSameContact(const cContact& a, const cContact& b) {
  EXPECT_EQ(a.Name, b.Name);
  EXPECT_EQ(a.NickName, b.NickName);
  EXPECT_EQ(a.Email, b.Email);
  EXPECT_EQ(a.SecondaryEmail, b.SecondaryEmail);
  EXPECT_EQ(a.HomePage, b.HomePage);
  EXPECT_EQ(a.ShowOnContactPane, b.ShowOnContactPane);
  EXPECT_EQ(a.HomeAddress, b.HomeAddress);
  EXPECT_EQ(a.HomeStateOrProvince, b.HomeStateOrProvince);
  EXPECT_EQ(a.HomeCountry, b.HomeCountry);
  EXPECT_EQ(a.HomePhone, b.HomePhone);
  EXPECT_EQ(a.HomeFax, b.HomeFax);
  EXPECT_EQ(a.HomeMobile, b.HomeMobile);
  EXPECT_EQ(a.WorkCompany, b.WorkCompany);
  EXPECT_EQ(a.WorkAddress, b.WorkAddress);
  EXPECT_EQ(a.WorkStateOrProvince, b.WorkStateOrProvince);
  EXPECT_EQ(a.WorkPhone, b.WorkPhone);
  EXPECT_EQ(a.WorkFax, b.WorkFax);
  EXPECT_EQ(a.WorkPager, b.WorkPager);
  EXPECT_EQ(a.BirthDate, b.BirthDate);
  EXPECT_EQ(a.Anniversary, b.Anniversary);
  EXPECT_EQ(a.ICQNumber, b.ICQNumber);
  EXPECT_EQ(a.Gender, b.Gender);
  EXPECT_EQ(a.UseAccount, b.UseAccount);
  EXPECT_EQ(a.UseSignature, b.UseSignature);
  EXPECT_EQ(a.Notes, b.Notes);
}

TEST_F(ContactStoreTest, FreshRecord) {
  cContact c = FullContact("x");
  InitContact(c);
  EXPECT_TRUE(c.Name.empty() && c.Email.empty() && c.Notes.empty() && c.WorkPager.empty());
  EXPECT_TRUE(c.ShowOnContactPane);
  EXPECT_EQ(c.Gender, 0);
}

TEST_F(ContactStoreTest, WritesEveryKeyInOrderAndReadsItBack) {
  ASSERT_TRUE(WriteContact(Book(), FullContact("Ann")));
  IniFile ini(Book());
  EXPECT_EQ(ini.ReadSection("Ann"),
            (StringList{"NickName", "Email", "SecondaryEmail", "HomePage", "ShowOnContactPane", "HomeAddress",
                        "HomeStateOrProvince", "HomeCountry", "HomePhone", "HomeFax", "HomeMobile", "WorkCompany",
                        "WorkAddress", "WorkStateOrProvince", "WorkPhone", "WorkFax", "workPager", "BirthDate",
                        "Anniversary", "ICQNumber", "Gender", "UseAccount", "UseSignature", "Notes"}));
  EXPECT_NE(ReadFileBytes(Book()).find("\r\nworkPager=223\r\n"), std::string::npos);
  EXPECT_EQ(ini.ReadString("Ann", "ShowOnContactPane", "?"), "0");
  EXPECT_EQ(ini.ReadString("Ann", "Notes", "?"), "first line#13#10second line");

  cContact r;
  ReadContact(Book(), "Ann", false, r);
  ExpectSameContact(r, FullContact("Ann"));
  EXPECT_EQ(SplitLines(r.Notes), (StringList{"first line", "second line"}));
}

TEST_F(ContactStoreTest, OverwritingKeepsOneSection) {
  cContact c = FullContact("Ann");
  ASSERT_TRUE(WriteContact(Book(), c));
  c.Email = "new@example.org";
  ASSERT_TRUE(WriteContact(Book(), c));
  EXPECT_EQ(ListContacts(Book()), StringList{"Ann"});
  cContact r;
  ReadContact(Book(), "Ann", true, r);
  EXPECT_EQ(r.Email, "new@example.org");
}

TEST_F(ContactStoreTest, NotesLineBreaksOfEveryKindAreStoredAsMarkers) {
  EXPECT_EQ(EncodeContactNotes("a\nb\rc\r\nd"), "a#13#10b#13#10c#13#10d");
  EXPECT_EQ(DecodeContactNotes("a#13#10b#13#10"), "a\r\nb\r\n");
  cContact c;
  c.Name = "Bob";
  c.Notes = "typed\nhere";
  ASSERT_TRUE(WriteContact(Book(), c));
  cContact r;
  ReadContact(Book(), "Bob", false, r);
  EXPECT_EQ(r.Notes, "typed\r\nhere");
}

TEST_F(ContactStoreTest, BlanksAndQuotesAtTheEdgesSurvive) {
  cContact c;
  c.Name = "Ann";
  c.NickName = "  padded  ";
  c.WorkCompany = "\"Quoted Ltd\"";
  c.Notes = " indented\r\n";
  ASSERT_TRUE(WriteContact(Book(), c));
  cContact r;
  ReadContact(Book(), "Ann", false, r);
  EXPECT_EQ(r.NickName, "  padded  ");
  EXPECT_EQ(r.WorkCompany, "\"Quoted Ltd\"");
  EXPECT_EQ(r.Notes, " indented\r\n");
}

TEST_F(ContactStoreTest, QuickReadTakesOnlyTheListFields) {
  ASSERT_TRUE(WriteContact(Book(), FullContact("Ann")));
  cContact r;
  ReadContact(Book(), "Ann", true, r);
  EXPECT_EQ(r.Name, "Ann");
  EXPECT_EQ(r.Email, "ann@example.org");
  EXPECT_EQ(r.HomePage, "http://ann.example/");
  EXPECT_FALSE(r.ShowOnContactPane);
  EXPECT_TRUE(r.NickName.empty() && r.Notes.empty() && r.UseAccount.empty());
  EXPECT_EQ(r.Gender, 0);
}

TEST_F(ContactStoreTest, TheWholeBookReadsQuicklyInFileOrder) {
  EXPECT_TRUE(ReadContactsQuick(Book()).empty()) << "no book yet";
  ASSERT_TRUE(WriteContact(Book(), FullContact("Zoe")));
  cContact bare;
  InitContact(bare);
  bare.Name = "adam";
  ASSERT_TRUE(WriteContact(Book(), bare));
  ASSERT_TRUE(WriteContact(Book(), FullContact("Ann")));
  const std::vector<cContact> all = ReadContactsQuick(Book());
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].Name, "Zoe");
  EXPECT_EQ(all[1].Name, "adam");
  EXPECT_EQ(all[2].Name, "Ann");
  EXPECT_EQ(all[0].Email, "ann@example.org");
  EXPECT_FALSE(all[0].ShowOnContactPane);
  EXPECT_TRUE(all[0].NickName.empty()) << "only the list fields are read";
  EXPECT_TRUE(all[1].Email.empty());
  EXPECT_TRUE(all[1].ShowOnContactPane);
  std::string by_name;
  for (const cContact& c : ReadContactsQuickByName(Book())) by_name += c.Name + " ";
  EXPECT_EQ(by_name, "adam Ann Zoe ") << "sorted ignoring case";
  // A change made by another writer is seen by the next list.
  IniFile(Book()).WriteString("adam", "Email", "adam@example.org");
  EXPECT_EQ(ReadContactsQuick(Book())[1].Email, "adam@example.org");
}

TEST_F(ContactStoreTest, MissingOrOddDataReadsAsDefaults) {
  cContact r = FullContact("junk");
  ReadContact(dir_.path() + "none.mcg", "Ann", false, r);
  EXPECT_EQ(r.Name, "Ann");
  EXPECT_TRUE(r.Email.empty() && r.Notes.empty());
  EXPECT_TRUE(r.ShowOnContactPane);

  WriteFileAtomically(Book(), "garbage\r\n[Ann]\r\nGender=7\r\nShowOnContactPane=no\r\nEmail\r\n[Bob]\r\nGender=x\r\n");
  ReadContact(Book(), "Ann", false, r);
  EXPECT_EQ(r.Gender, 0);
  EXPECT_TRUE(r.ShowOnContactPane);
  EXPECT_TRUE(r.Email.empty());
  ReadContact(Book(), "Bob", false, r);
  EXPECT_EQ(r.Gender, 0);
}

TEST_F(ContactStoreTest, LongValuesAreCutTo255) {
  cContact c;
  c.Name = "Ann";
  c.WorkAddress = std::string(300, 'w');
  c.Notes = std::string(300, 'n');
  // 254 ASCII bytes and then a two-byte letter that would be split.
  c.Email = std::string(254, 'e') + "\xC3\xA9" "tail";
  ASSERT_TRUE(WriteContact(Book(), c));
  cContact r;
  ReadContact(Book(), "Ann", false, r);
  EXPECT_EQ(r.WorkAddress, std::string(255, 'w'));
  EXPECT_EQ(r.Notes.size(), 300u) << "notes are not cut";
  EXPECT_EQ(r.Email, std::string(254, 'e')) << "no half character at the end";
}

TEST_F(ContactStoreTest, RenameChangesOnlyTheHeaderLine) {
  ASSERT_TRUE(WriteContact(Book(), FullContact("Bob")));
  ASSERT_TRUE(WriteContact(Book(), FullContact("Ann")));
  const std::string before = ReadFileBytes(Book());
  ASSERT_TRUE(RenameContact(Book(), "ann", "Anne"));
  const std::string after = ReadFileBytes(Book());
  EXPECT_EQ(after, ReplaceAll(before, "[Ann]", "[Anne]"));

  EXPECT_FALSE(RenameContact(Book(), "Nobody", "X"));
  EXPECT_EQ(ReadFileBytes(Book()), after);
  EXPECT_TRUE(RenameContact(Book(), "Anne", "ANNE")) << "a change of letter case only";
}

TEST_F(ContactStoreTest, RenameOntoAnotherContactIsRefused) {
  ASSERT_TRUE(WriteContact(Book(), FullContact("Ann")));
  cContact bob;
  bob.Name = "Bob";
  bob.Email = "bob@example.org";
  ASSERT_TRUE(WriteContact(Book(), bob));
  EXPECT_FALSE(RenameContact(Book(), "Bob", "ann"));
  DeleteContact(Book(), "Ann");
  cContact r;
  ReadContact(Book(), "Bob", true, r);
  EXPECT_EQ(r.Email, "bob@example.org") << "Bob survives deleting Ann";
}

TEST_F(ContactStoreTest, MoveBetweenBooksKeepsEveryField) {
  const std::string group = GetGroupFile("Friends");
  ASSERT_TRUE(WriteContact(Book(), FullContact("Ann")));
  cContact c;
  ReadContact(Book(), "Ann", false, c);
  ASSERT_TRUE(WriteContact(group, c));
  DeleteContact(Book(), "Ann");

  EXPECT_TRUE(ListContacts(Book()).empty());
  cContact moved;
  ReadContact(group, "Ann", false, moved);
  ExpectSameContact(moved, FullContact("Ann"));
}

TEST_F(ContactStoreTest, CopyAndMoveOperations) {
  const std::string group = GetGroupFile("Friends");
  ASSERT_TRUE(WriteContact(Book(), FullContact("Ann")));
  ASSERT_TRUE(CopyContact(Book(), group, "Ann"));
  EXPECT_EQ(ListContacts(Book()), StringList{"Ann"});
  EXPECT_EQ(ListContacts(group), StringList{"Ann"});

  ASSERT_TRUE(MoveContact(group, Book(), "Ann")) << "onto the same name: overwritten";
  EXPECT_TRUE(ListContacts(group).empty());
  ASSERT_TRUE(MoveContact(Book(), Book(), "Ann")) << "a move within one book";
  cContact r;
  ReadContact(Book(), "Ann", false, r);
  ExpectSameContact(r, FullContact("Ann"));

  EXPECT_FALSE(MoveContact(Book(), group, "Nobody"));
  EXPECT_FALSE(FileExists(group) && !ListContacts(group).empty());
}

TEST_F(ContactStoreTest, NamesThatCannotBeSectionsAreRefused) {
  for (const char* name : {"", "a]b", "two\r\nlines", " padded"}) {
    cContact c;
    c.Name = name;
    EXPECT_FALSE(WriteContact(Book(), c)) << name;
  }
  EXPECT_FALSE(FileExists(Book()));
  ASSERT_TRUE(WriteContact(Book(), FullContact("Ann")));
  EXPECT_FALSE(RenameContact(Book(), "Ann", "x]y"));
}

TEST_F(ContactStoreTest, BookList) {
  EXPECT_EQ(GetBookList(), StringList{"Contacts"});
  WriteFileAtomically(GetGroupFile("Friends"), "");
  WriteFileAtomically(GetGroupFile("Family"), "");
  WriteFileAtomically(ContactsDir + "notes.txt", "");
  WriteFileAtomically(ContactsDir + "Old.MCG", "");
  ASSERT_TRUE(ForceDirectories(ContactsDir + "Dir.mcg"));
  EXPECT_EQ(GetBookList(), (StringList{"Contacts", "Family", "Friends"}));
  EXPECT_EQ(GetGroupFile("Friends"), ContactsDir + "Friends.mcg");
  EXPECT_EQ(GetBookFile("Contacts"), AppDir + "Contacts.ini");
  EXPECT_EQ(GetBookFile("Friends"), ContactsDir + "Friends.mcg");
}

}  // namespace
}  // namespace qm
