// The contact picker: the address text in, the chosen entries, and the text out.
#include <QListWidget>
#include <QSplitter>

#include "addrbook_test_support.h"
#include "shell/ini_file.h"
#include "test_support_ui.h"
#include "ui/browse_contacts.h"
#include "ui/window_entry_points.h"

namespace qm {
namespace {

class AddrBookPickerTest : public AddrBookTestBase {
 protected:
  void SetUp() override {
    AddrBookTestBase::SetUp();
    Add(ContactsFile(), Contact("zoe", "zoe@example.org"));
    Add(ContactsFile(), Contact("Adam", "adam@example.org"));
    Add(ContactsFile(), Contact("Nobody", ""));
    Add(ContactsFile(), Contact("Mia", "mia@example.org"));
    MakeGroup("Club");
    Add(GetGroupFile("Club"), Contact("Kai", "kai@example.org"));
  }
  using Entries = std::vector<std::pair<std::string, std::string>>;
  static Entries Chosen(const TfrmBrowseContacts& w) {
    Entries e;
    for (int r = 0; r < w.lstSelected->topLevelItemCount(); ++r)
      e.emplace_back(S(w.lstSelected->topLevelItem(r)->text(0)), S(w.lstSelected->topLevelItem(r)->text(1)));
    return e;
  }
};

TEST_F(AddrBookPickerTest, AddressTextRoundTrips) {
  struct Case {
    const char* text;
    Entries chosen;
    const char* out;
  } cases[] = {
      // A bare address: its display name is the whole text.
      {"ann@example.org, Bob Stone <bob@example.org>",
       {{"ann@example.org", "ann@example.org"}, {"Bob Stone", "bob@example.org"}},
       "ann@example.org <ann@example.org>, Bob Stone <bob@example.org>"},
      {"\"Cleo M\" <cleo@example.org>,    dan@example.org",
       {{"\"Cleo M\"", "cleo@example.org"}, {"dan@example.org", "dan@example.org"}},
       "\"Cleo M\" <cleo@example.org>, dan@example.org <dan@example.org>"},
      {"eve@example.org (Eve)", {{"Eve", "eve@example.org"}}, "Eve <eve@example.org>"},
      // Empty pieces make no entries.
      {"a@example.org,, ,", {{"a@example.org", "a@example.org"}}, "a@example.org <a@example.org>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TfrmBrowseContacts w;
    w.SetAddresses(c.text);
    EXPECT_EQ(Chosen(w), c.chosen);
    EXPECT_TRUE(w.btnOK->isEnabled());
    EXPECT_EQ(w.Addresses(), c.out);
    // The output read again gives the same entries back.
    TfrmBrowseContacts again;
    again.SetAddresses(w.Addresses());
    EXPECT_EQ(again.Addresses(), c.out);
  }
  TfrmBrowseContacts empty;
  empty.SetAddresses("");
  EXPECT_TRUE(Chosen(empty).empty());
  EXPECT_FALSE(empty.btnOK->isEnabled()) << "OK needs a chosen entry";
  EXPECT_FALSE(empty.btnRemove->isEnabled());
}

TEST_F(AddrBookPickerTest, AddAndRemoveMoveEntriesBetweenTheLists) {
  TfrmBrowseContacts w;
  EXPECT_EQ(w.windowTitle(), "Browse contacts");
  ASSERT_EQ(w.lstGroups->count(), 2);
  EXPECT_EQ(w.lstGroups->currentRow(), 0);
  EXPECT_EQ(Column(w.lstContacts), (std::vector<std::string>{"Adam", "Mia", "Nobody", "zoe"})) << "sorted by name";
  w.SetAddresses("first@example.org");
  EXPECT_TRUE(w.btnAdd->isEnabled());

  w.lstContacts->clearSelection();
  w.lstContacts->topLevelItem(1)->setSelected(true);  // Mia
  w.lstContacts->topLevelItem(3)->setSelected(true);  // zoe
  w.btnAddClick();
  EXPECT_EQ(Column(w.lstContacts), (std::vector<std::string>{"Adam", "Nobody"}));
  EXPECT_EQ(w.Addresses(), "first@example.org <first@example.org>, Mia <mia@example.org>, zoe <zoe@example.org>");

  // Another book; Add all takes every contact with an address.
  w.lstGroups->setCurrentRow(1);
  EXPECT_EQ(Column(w.lstContacts), (std::vector<std::string>{"Kai"}));
  w.btnAddAllClick();
  w.lstGroups->setCurrentRow(0);
  w.btnAddAllClick();
  EXPECT_EQ(Column(w.lstContacts), (std::vector<std::string>{"Nobody"})) << "no address, nothing to send to";
  EXPECT_EQ(Chosen(w).size(), 7u) << "a book selected again lists its contacts again";

  // Remove takes the focused entry.
  w.lstSelected->setCurrentItem(w.lstSelected->topLevelItem(0));
  w.btnRemoveClick();
  EXPECT_EQ(w.Addresses(),
            "Mia <mia@example.org>, zoe <zoe@example.org>, Kai <kai@example.org>, Adam <adam@example.org>, "
            "Mia <mia@example.org>, zoe <zoe@example.org>");
  w.btnRemoveAllClick();
  EXPECT_TRUE(Chosen(w).empty());
  EXPECT_FALSE(w.btnOK->isEnabled());
  EXPECT_FALSE(w.btnRemove->isEnabled());
}

TEST_F(AddrBookPickerTest, DialogReplacesTheTextOnlyOnOkAndKeepsItsSize) {
  std::string field = "x@example.org";
  WhenModalOpens([](QWidget* dialog) {
    auto* w = qobject_cast<TfrmBrowseContacts*>(dialog);
    ASSERT_NE(w, nullptr);
    w->lstContacts->clearSelection();
    w->lstContacts->topLevelItem(0)->setSelected(true);
    w->btnAdd->click();
    w->resize(610, 430);
    w->btnOK->click();
  });
  ASSERT_TRUE(BrowseContactsDialog(field));
  EXPECT_EQ(field, "x@example.org <x@example.org>, Adam <adam@example.org>");
  EXPECT_EQ(OptionsIni->ReadInteger("BrowseContacts", "Width", 0), 610);
  EXPECT_EQ(OptionsIni->ReadInteger("BrowseContacts", "Height", 0), 430);
  EXPECT_GT(OptionsIni->ReadInteger("BrowseContacts", "LeftPaneWidth", 0), 0);
  EXPECT_GT(OptionsIni->ReadInteger("BrowseContacts", "TopPaneHeight", 0), 0);

  WhenModalOpens([](QWidget* dialog) {
    auto* w = qobject_cast<TfrmBrowseContacts*>(dialog);
    EXPECT_EQ(w->width(), 610);
    w->btnRemoveAll->click();
    w->btnCancel->click();
  });
  const std::string before = field;
  EXPECT_FALSE(BrowseContactsDialog(field));
  EXPECT_EQ(field, before);
}

}  // namespace
}  // namespace qm
