#include "contacts/contact_actions.h"

#include <gtest/gtest.h>

#include "accounts/test_paths.h"
#include "contacts/contact_store.h"
#include "contacts/recording_contacts_ui.h"

namespace qm {
namespace {

using Calls = std::vector<std::string>;

class ContactActionsTest : public DataDirTest {
 protected:
  void Add(const std::string& book, const std::string& name, const std::string& email,
           const std::string& home_page = "") {
    cContact c;
    c.Name = name;
    c.Email = email;
    c.HomePage = home_page;
    c.UseAccount = name == "Ann" ? "Home" : "";
    c.UseSignature = name == "Ann" ? "Friendly" : "";
    ASSERT_TRUE(WriteContact(book, c));
  }
  RecordingContactsUi ui_;
};

TEST_F(ContactActionsTest, WriteToContactUsesItsAccountAndSignature) {
  Add(ContactsFile(), "Ann", "ann@example.org");
  WriteToContact("Ann", ContactsFile(), "", ui_);
  WriteToContact("Ann", ContactsFile(), "other@example.org", ui_);
  EXPECT_EQ(ui_.calls, (Calls{"compose to=ann@example.org account=Home signature=Friendly",
                              "compose to=other@example.org account=Home signature=Friendly"}));
}

TEST_F(ContactActionsTest, WriteToGroupJoinsTheAddressesInSectionOrder) {
  const std::string group = GetGroupFile("Team");
  Add(group, "Zed", "zed@example.org");
  Add(group, "Ann", "ann@example.org");
  Add(group, "Bob", "bob@example.org");
  EXPECT_EQ(GroupRecipients(group), "zed@example.org, ann@example.org, bob@example.org");
  Add(group, "NoMail", "");
  WriteToGroup(group, ui_);
  EXPECT_EQ(ui_.calls, Calls{"compose to=zed@example.org, ann@example.org, bob@example.org account= signature="});
  EXPECT_EQ(GroupRecipients(GetGroupFile("Missing")), "");
}

TEST_F(ContactActionsTest, VisitHomePageWithTheShellOrTheChosenBrowser) {
  Add(ContactsFile(), "Ann", "a@x", "http://ann.example/");
  Add(ContactsFile(), "Bob", "b@x");
  EXPECT_TRUE(VisitHomePage("Ann", ContactsFile(), ui_));
  OptionsIni->WriteBool("Browser", "UseCustom", true);
  OptionsIni->WriteString("Browser", "Path", "/usr/bin/firefox");
  EXPECT_TRUE(VisitHomePage("Ann", ContactsFile(), ui_));
  EXPECT_FALSE(VisitHomePage("Bob", ContactsFile(), ui_)) << "no home page";
  EXPECT_EQ(ui_.calls, (Calls{"open http://ann.example/", "run /usr/bin/firefox http://ann.example/"}));
}

TEST_F(ContactActionsTest, MenuEntriesAreTheNamesSortedIgnoringCase) {
  Add(ContactsFile(), "bob", "b@x");
  Add(ContactsFile(), "Carol", "c@x");
  Add(ContactsFile(), "Ann", "a@x");
  StringList items;
  AddContactsMenu([&](const std::string& caption) { items.push_back(caption); }, ContactsFile());
  EXPECT_EQ(items, (StringList{"Ann", "bob", "Carol"}));
}

}  // namespace
}  // namespace qm
