// The address book window: books, contacts, their commands, in-place edits,
// moves between books and the saved layout.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolBar>

#include "addrbook_test_support.h"
#include "contacts/contact_groups.h"
#include "shell/ini_file.h"
#include "test_support_ui.h"
#include "ui/add_contact.h"
#include "ui/address_book.h"
#include "ui/contact_properties.h"
#include "ui/window_entry_points.h"

namespace qm {
namespace {

class AddrBookWindowTest : public AddrBookTestBase {
 protected:
  void SetUp() override {
    AddrBookTestBase::SetUp();
    Add(ContactsFile(), Contact("Ann", "ann@example.org", "http://ann.example.org"));
    Add(ContactsFile(), Contact("Bob", ""));
    Add(ContactsFile(), Contact("Cleo", "cleo@example.org"));
    MakeGroup("Friends");
    Add(GetGroupFile("Friends"), Contact("Dan", "dan@example.org"));
  }
  void TearDown() override {
    win_.reset();
    AddrBookTestBase::TearDown();
  }
  TfrmAddressBook& Open() {
    win_ = std::make_unique<TfrmAddressBook>();
    win_->show();
    return *win_;
  }
  void Focus(int row) {
    win_->lstContacts->clearSelection();
    win_->lstContacts->setCurrentItem(win_->lstContacts->topLevelItem(row));
  }
  bool Enabled(const char* command) { return win_->Command(command)->isEnabled(); }

  std::unique_ptr<TfrmAddressBook> win_;
};

TEST_F(AddrBookWindowTest, ShowsBooksAndTheContactsOfTheSelectedOneInFileOrder) {
  TfrmAddressBook& w = Open();
  EXPECT_EQ(w.windowTitle(), "Address Book - Quillmar");
  ASSERT_EQ(w.lstGroups->count(), 2);
  EXPECT_EQ(w.lstGroups->item(0)->text(), "Contacts");
  EXPECT_EQ(w.lstGroups->item(1)->text(), "Friends");
  EXPECT_EQ(w.lstGroups->currentRow(), 0);
  EXPECT_EQ(Column(w.lstContacts), (std::vector<std::string>{"Ann", "Bob", "Cleo"}));
  EXPECT_EQ(Column(w.lstContacts, 1), (std::vector<std::string>{"ann@example.org", "", "cleo@example.org"}));
  EXPECT_EQ(w.lstContacts->headerItem()->text(2), " Home Page");
  EXPECT_EQ(w.FocusedContact(), "Ann") << "the first entry is selected";
  EXPECT_FALSE(Enabled("mnuRename")) << "the main book keeps its name";
  EXPECT_FALSE(Enabled("mnuDeleteGroup"));
  EXPECT_FALSE(w.lstGroups->item(0)->flags() & Qt::ItemIsEditable);

  w.lstGroups->setCurrentRow(1);
  EXPECT_EQ(Column(w.lstContacts), (std::vector<std::string>{"Dan"}));
  EXPECT_EQ(w.FocusedContact(), "Dan");
  EXPECT_TRUE(Enabled("mnuRename"));
  EXPECT_TRUE(Enabled("mnuDeleteGroup"));
  EXPECT_EQ(w.SelectedBookFile(), GetGroupFile("Friends"));
}

TEST_F(AddrBookWindowTest, CommandsAndDetailBoxesFollowTheFocusedContact) {
  cContact full = Contact("Eve", "eve@example.org");
  full.HomeAddress = "1 High Street";
  full.HomeCountry = "Utopia";
  full.HomeMobile = "555-0199";
  Add(ContactsFile(), full);
  TfrmAddressBook& w = Open();
  struct Case {
    int row;
    bool send, visit;
    const char* home;
    const char* info;
  } cases[] = {
      {0, true, true, "(No Home Info avaliable)", "(No Contacting Info avaliable)"},
      {1, false, false, "(No Home Info avaliable)", "(No Contacting Info avaliable)"},
      {3, true, false, "1 High Street\nUtopia", "555-0199"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    Focus(c.row);
    EXPECT_TRUE(Enabled("mnuProperties"));
    EXPECT_TRUE(Enabled("mnuDelete"));
    EXPECT_EQ(Enabled("mnuSendMail"), c.send);
    EXPECT_EQ(Enabled("mnuVisitHomePage"), c.visit);
    EXPECT_EQ(S(w.edtHome->toPlainText()), c.home);
    EXPECT_EQ(S(w.edtContactInfo->toPlainText()), c.info);
  }
  w.lstContacts->clearSelection();
  EXPECT_TRUE(w.edtHome->toPlainText().isEmpty()) << "nothing selected: both boxes empty";
  EXPECT_TRUE(w.edtContactInfo->toPlainText().isEmpty());
  EXPECT_FALSE(Enabled("mnuProperties"));
  EXPECT_FALSE(Enabled("mnuDelete"));
}

TEST_F(AddrBookWindowTest, NewContactIsWrittenToTheSelectedBookAndListed) {
  TfrmAddressBook& w = Open();
  w.lstGroups->setCurrentRow(1);
  WhenModalOpens([](QWidget* dialog) {
    auto* add = qobject_cast<TfrmAddContact*>(dialog);
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->windowTitle(), "Add contact");
    EXPECT_EQ(add->cboGroups->currentText(), "Friends");
    EXPECT_FALSE(add->btnOK->isEnabled()) << "no name yet";
    add->edtFullName->setText("Fay");
    add->edtEmail->setText("fay@example.org");
    add->btnOK->click();
  });
  w.Command("mnuNewContact")->trigger();
  cContact c;
  ReadContact(GetGroupFile("Friends"), "Fay", false, c);
  EXPECT_EQ(c.Email, "fay@example.org");
  EXPECT_EQ(Column(w.lstContacts), (std::vector<std::string>{"Dan", "Fay"}));
  EXPECT_EQ(ListContacts(ContactsFile()).size(), 3u) << "the main book is untouched";
}

TEST_F(AddrBookWindowTest, QuickAddRefusesANameThatWouldOverwriteAContact) {
  cContact dan;
  ReadContact(GetGroupFile("Friends"), "Dan", false, dan);
  dan.HomePhone = "555-0100";
  Add(GetGroupFile("Friends"), dan);
  TfrmAddContact add(GetGroupFile("Friends"), "Dan", "other@example.org");
  WhenModalOpens([](QWidget* box) { static_cast<QDialog*>(box)->reject(); });
  EXPECT_FALSE(add.Save());
  cContact after;
  ReadContact(GetGroupFile("Friends"), "Dan", false, after);
  EXPECT_EQ(after.Email, "dan@example.org");
  EXPECT_EQ(after.HomePhone, "555-0100");

  TfrmAddContact unknown_book("/no/such/book.mcg", "Gil", "");
  EXPECT_EQ(unknown_book.cboGroups->currentIndex(), 0) << "an unknown book falls back to the first";
}

TEST_F(AddrBookWindowTest, PropertiesWriteEveryFieldOnOkAndNothingOnCancel) {
  TfrmAddressBook& w = Open();
  Focus(0);
  WhenModalOpens([](QWidget* dialog) {
    auto* p = qobject_cast<TfrmContactProperties*>(dialog);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->windowTitle(), "Ann - Contact properties");
    EXPECT_EQ(p->PageControl->currentIndex(), 0);
    EXPECT_EQ(p->edtFullName->text(), "Ann");
    EXPECT_TRUE(p->edtFullName->isReadOnly());
    EXPECT_TRUE(p->btnSendMail->isEnabled());
    EXPECT_FALSE(p->btnSendMailSecondary->isEnabled());
    p->edtNickName->setText("Annie");
    p->edtEmail->setText("ann@new.example.org");
    p->edtWorkStateOrProvince->setText("Somewhere, Utopia");
    p->edtWorkPager->setText("12345");
    p->edtHomeAddress->setText("2 Low Road");
    p->cboGender->setCurrentIndex(2);
    p->edtNotes->setPlainText("first line\nsecond line");
    p->chkShowOnContactPane->setChecked(false);
    p->cboUseSignature->setCurrentText("Work");
    p->btnOK->click();
  });
  w.Command("mnuProperties")->trigger();
  cContact c;
  ReadContact(ContactsFile(), "Ann", false, c);
  EXPECT_EQ(c.NickName, "Annie");
  EXPECT_EQ(c.Email, "ann@new.example.org");
  EXPECT_EQ(c.WorkStateOrProvince, "Somewhere, Utopia");
  EXPECT_EQ(c.WorkPager, "12345");
  EXPECT_EQ(c.Gender, 2);
  EXPECT_EQ(c.Notes, "first line\r\nsecond line");
  EXPECT_FALSE(c.ShowOnContactPane);
  EXPECT_EQ(c.UseSignature, "Work");
  EXPECT_EQ(c.HomePage, "http://ann.example.org") << "untouched fields keep their values";
  EXPECT_EQ(S(w.lstContacts->topLevelItem(0)->text(1)), "ann@new.example.org") << "the list is refreshed";
  EXPECT_EQ(S(w.edtHome->toPlainText()), "2 Low Road");

  const std::string before = ReadFileBytes(ContactsFile());
  WhenModalOpens([](QWidget* dialog) {
    auto* p = qobject_cast<TfrmContactProperties*>(dialog);
    p->edtNickName->setText("changed");
    p->btnCancel->click();
  });
  w.Command("mnuProperties")->trigger();
  EXPECT_EQ(ReadFileBytes(ContactsFile()), before);
}

TEST_F(AddrBookWindowTest, NotesAndGenderShowAsStored) {
  cContact c = Contact("Hal", "hal@example.org");
  c.Notes = "one\r\ntwo";
  c.Gender = 1;
  Add(ContactsFile(), c);
  TfrmContactProperties p(ContactsFile(), "Hal");
  EXPECT_EQ(p.edtNotes->toPlainText(), "one\ntwo");
  EXPECT_EQ(p.cboGender->currentText(), "Male");
  ASSERT_TRUE(p.Save());
  cContact back;
  ReadContact(ContactsFile(), "Hal", false, back);
  EXPECT_EQ(back.Notes, "one\r\ntwo") << "an unchanged dialog writes the same notes back";
}

TEST_F(AddrBookWindowTest, EditingANameInPlaceRenamesTheContact) {
  cContact bob;
  ReadContact(ContactsFile(), "Bob", false, bob);
  bob.HomeFax = "555-0111";
  Add(ContactsFile(), bob);
  TfrmAddressBook& w = Open();
  QTreeWidgetItem* item = w.lstContacts->topLevelItem(1);
  item->setText(0, "Robert");
  EXPECT_EQ(ListContacts(ContactsFile()), (StringList{"Ann", "Robert", "Cleo"}));
  cContact renamed;
  ReadContact(ContactsFile(), "Robert", false, renamed);
  EXPECT_EQ(renamed.HomeFax, "555-0111") << "the keys stay";

  // A name another contact has, or an empty one, is refused and the row shows the old name.
  for (const char* refused : {"Ann", "  "}) {
    SCOPED_TRACE(refused);
    item->setText(0, refused);
    EXPECT_EQ(item->text(0), "Robert");
    EXPECT_EQ(ListContacts(ContactsFile()), (StringList{"Ann", "Robert", "Cleo"}));
  }
}

TEST_F(AddrBookWindowTest, DeleteErasesEverySelectedContactAtOnceAndSelectsTheNextRow) {
  Add(ContactsFile(), Contact("Dora", "dora@example.org"));
  TfrmAddressBook& w = Open();
  // Ann, Bob, Cleo, Dora: delete the first three with the focus on Cleo.
  w.lstContacts->clearSelection();
  for (int r = 0; r < 3; ++r) w.lstContacts->topLevelItem(r)->setSelected(true);
  w.lstContacts->setCurrentItem(w.lstContacts->topLevelItem(2), 0, QItemSelectionModel::NoUpdate);
  ASSERT_EQ(w.SelectedContacts().size(), 3u);
  w.Command("mnuDelete")->trigger();  // no question is asked
  EXPECT_EQ(ListContacts(ContactsFile()), (StringList{"Dora"}));
  EXPECT_EQ(Column(w.lstContacts), (std::vector<std::string>{"Dora"}));
  EXPECT_EQ(w.FocusedContact(), "Dora") << "the last entry when the list got shorter";

  Add(ContactsFile(), Contact("Ed", ""));
  Add(ContactsFile(), Contact("Flo", ""));
  w.RefreshContacts();
  Focus(1);  // Dora, Ed, Flo: deleting Ed focuses Flo at the same position
  w.Command("mnuDelete")->trigger();
  EXPECT_EQ(w.FocusedContact(), "Flo");
}

TEST_F(AddrBookWindowTest, DroppingContactsOnAnotherBookMovesOrCopiesThem) {
  cContact ann;
  ReadContact(ContactsFile(), "Ann", false, ann);
  ann.WorkCompany = "Acme";
  ann.Notes = "a\r\nb";
  Add(ContactsFile(), ann);
  TfrmAddressBook& w = Open();
  w.lstContacts->clearSelection();
  w.lstContacts->topLevelItem(0)->setSelected(true);  // Ann
  w.lstContacts->topLevelItem(2)->setSelected(true);  // Cleo

  EXPECT_FALSE(w.DropContactsOn(0, false)) << "the book they are in";
  EXPECT_EQ(ListContacts(ContactsFile()).size(), 3u);

  ASSERT_TRUE(w.DropContactsOn(1, false));
  EXPECT_EQ(ListContacts(ContactsFile()), (StringList{"Bob"}));
  EXPECT_EQ(Column(w.lstContacts), (std::vector<std::string>{"Bob"}));
  EXPECT_EQ(ListContacts(GetGroupFile("Friends")), (StringList{"Dan", "Ann", "Cleo"}));
  cContact moved;
  ReadContact(GetGroupFile("Friends"), "Ann", false, moved);
  EXPECT_EQ(moved.WorkCompany, "Acme") << "read fully from the source";
  EXPECT_EQ(moved.Notes, "a\r\nb");

  w.lstGroups->setCurrentRow(1);
  w.lstContacts->clearSelection();
  w.lstContacts->topLevelItem(0)->setSelected(true);  // Dan
  ASSERT_TRUE(w.DropContactsOn(0, true));
  EXPECT_EQ(ListContacts(ContactsFile()), (StringList{"Bob", "Dan"}));
  EXPECT_EQ(ListContacts(GetGroupFile("Friends")), (StringList{"Dan", "Ann", "Cleo"})) << "a copy stays";
  EXPECT_EQ(Column(w.lstContacts).size(), 3u);
}

TEST_F(AddrBookWindowTest, GroupsAreAddedRenamedAndDeletedThroughTheWindow) {
  TfrmAddressBook& w = Open();
  WhenModalOpens([](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Add contact folder");
    auto* name = dialog->findChild<QLineEdit*>("edtName");
    auto* ok = dialog->findChild<QPushButton*>("btnOK");
    name->setText("   ");
    EXPECT_FALSE(ok->isEnabled()) << "blank";
    name->setText("Work");
    EXPECT_TRUE(ok->isEnabled());
    ok->click();
  });
  w.Command("mnuNewGroup")->trigger();
  EXPECT_TRUE(FileExists(GetGroupFile("Work")));
  ASSERT_EQ(w.lstGroups->count(), 3);
  EXPECT_EQ(w.lstGroups->item(2)->text(), "Work");

  // A clash ignoring case is refused with the store's message.
  std::string message;
  WhenModalOpens([&message](QWidget* dialog) {
    dialog->findChild<QLineEdit*>("edtName")->setText("friends");
    WhenModalOpens([&message](QWidget* box) {
      message = S(static_cast<QMessageBox*>(box)->text());
      static_cast<QMessageBox*>(box)->accept();
    });
    dialog->findChild<QPushButton*>("btnOK")->click();
  });
  w.Command("mnuNewGroup")->trigger();
  EXPECT_EQ(message, "A group with that name already exists!");
  EXPECT_EQ(w.lstGroups->count(), 3);

  // Rename in place: the file follows; letter case alone is allowed.
  w.lstGroups->setCurrentRow(1);
  w.lstGroups->item(1)->setText("FRIENDS");
  EXPECT_TRUE(FileExists(GetGroupFile("FRIENDS")));
  EXPECT_EQ(w.SelectedBookFile(), GetGroupFile("FRIENDS"));
  EXPECT_EQ(Column(w.lstContacts), (std::vector<std::string>{"Dan"}));

  w.Command("mnuDeleteGroup")->trigger();  // without a question
  EXPECT_FALSE(FileExists(GetGroupFile("FRIENDS")));
  ASSERT_EQ(w.lstGroups->count(), 2);
  EXPECT_EQ(w.lstGroups->item(1)->text(), "Work");

  w.lstGroups->setCurrentRow(0);
  w.Command("mnuDeleteGroup")->trigger();
  EXPECT_TRUE(FileExists(ContactsFile())) << "the main book is never deleted";
  EXPECT_EQ(w.lstGroups->count(), 2);
}

TEST_F(AddrBookWindowTest, WindowSizeColumnsAndToolbarAreKept) {
  {
    TfrmAddressBook& w = Open();
    w.close();
    EXPECT_FALSE(FileExists(AddressBookToolbarFile)) << "an unchanged toolbar is not written";
  }
  IniFile& ini = *OptionsIni;
  EXPECT_GT(ini.ReadInteger("AddrBook", "Width", 0), 0);
  EXPECT_GT(ini.ReadInteger("AddrBook", "LeftPanelWidth", 0), 0);
  EXPECT_EQ(ini.ReadString("AddrBookColumns", "Column0_Name", ""), "Name");

  // A saved layout: Email first, Home Page hidden, sorted by name descending.
  ini.EraseSection("AddrBookColumns");
  ini.WriteString("AddrBookColumns", "Column0_Name", "Email");
  ini.WriteString("AddrBookColumns", "Column1_Name", "Name");
  ini.WriteInteger("AddrBookColumns", "Column1_Sort", 1);
  ini.WriteString("AddrBookColumns", "Column2_Name", "HomePage");
  ini.WriteBool("AddrBookColumns", "Column2_Visible", false);
  ini.WriteInteger("AddrBook", "Width", 700);
  TfrmAddressBook& w = Open();
  EXPECT_EQ(w.width(), 700);
  QHeaderView* h = w.lstContacts->header();
  EXPECT_EQ(h->logicalIndex(0), 1);
  EXPECT_TRUE(h->isSectionHidden(2));
  EXPECT_EQ(Column(w.lstContacts), (std::vector<std::string>{"Cleo", "Bob", "Ann"}));
  w.AddressBookToolbar->hide();
  w.close();
  EXPECT_TRUE(FileExists(AddressBookToolbarFile));
  EXPECT_EQ(ini.ReadString("AddrBookColumns", "Column0_Name", ""), "Email");
  EXPECT_EQ(ini.ReadInteger("AddrBookColumns", "Column1_Sort", 0), 1);
  EXPECT_FALSE(ini.ReadBool("AddrBookColumns", "Column2_Visible", true));

  TfrmAddressBook again;
  EXPECT_FALSE(again.AddressBookToolbar->isVisibleTo(&again)) << "the toolbar layout comes back";
}

TEST_F(AddrBookWindowTest, OneWindowAtMostWhichForgetsItselfWhenClosed) {
  OpenAddressBook();
  TfrmAddressBook* first = TfrmAddressBook::Instance();
  ASSERT_NE(first, nullptr);
  OpenAddressBook();
  EXPECT_EQ(TfrmAddressBook::Instance(), first);
  EXPECT_TRUE(AddressBookShowsFile(ContactsFile()));
  EXPECT_FALSE(AddressBookShowsFile(GetGroupFile("Friends")));

  // Another window adds a contact: the open book refreshes.
  Add(ContactsFile(), Contact("Gus", ""));
  RefreshAddressBook();
  EXPECT_EQ(Column(first->lstContacts).back(), "Gus");

  first->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(TfrmAddressBook::Instance(), nullptr);
  EXPECT_FALSE(AddressBookShowsFile(ContactsFile()));
}

}  // namespace
}  // namespace qm
