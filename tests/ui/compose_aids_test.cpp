// The compose window's editing aids: attachments, auto-complete, paste
// quoted, signatures, insert commands, rewrap, the status bar and the view.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include "compose_test_support.h"
#include "contacts/contact_store.h"
#include "contacts/signatures.h"
#include "platform/file_system.h"
#include "ui/browse_contacts.h"
#include "ui/insert_signature.h"

namespace qm {
namespace {

using ComposeAidsTest = ComposeTest;

TEST_F(ComposeAidsTest, AttachmentsPaneFollowsTheList) {
  std::string a = dir.path() + "notes.txt", b = dir.path() + "scan.bin", c = dir.path() + "tiny.txt";
  WriteFileAtomically(a, std::string(1536, 'n'));
  WriteFileAtomically(b, std::string(1023, 'b'));
  WriteFileAtomically(c, "c");
  TfrmCompose* w = NewTo("x@example.org");
  EXPECT_TRUE(w->lstAttachments->isHidden());

  w->AddAttachmentFile(a);
  // Files dropped on the window are attached one by one; other URLs are not.
  w->AddDroppedFiles({QUrl::fromLocalFile(Q(b)), QUrl("https://example.org/x"), QUrl::fromLocalFile(Q(c))});

  ASSERT_EQ(w->lstAttachments->count(), 3);
  EXPECT_FALSE(w->lstAttachments->isHidden());
  EXPECT_EQ(S(w->lstAttachments->item(0)->text()), "notes.txt (1.50 KB)");
  EXPECT_EQ(S(w->lstAttachments->item(1)->text()), "scan.bin (1023 bytes)");
  EXPECT_EQ(*w->Message().Attachments, (StringList{a, b, c}));
  EXPECT_TRUE(w->Modified());

  // Removing the first and last leaves the middle one, list and record alike.
  w->lstAttachments->item(0)->setSelected(true);
  w->lstAttachments->item(2)->setSelected(true);
  w->Command("popRemoveAttachment")->trigger();
  EXPECT_EQ(*w->Message().Attachments, StringList{b});
  ASSERT_EQ(w->lstAttachments->count(), 1);
  EXPECT_TRUE(w->Message().HasAttachments);

  // The Delete key in the pane does the same; the last one hides the pane.
  w->lstAttachments->item(0)->setSelected(true);
  QTest::keyClick(w->lstAttachments, Qt::Key_Delete);
  EXPECT_EQ(w->lstAttachments->count(), 0);
  EXPECT_TRUE(w->lstAttachments->isHidden());
  EXPECT_FALSE(w->Message().HasAttachments);
  EXPECT_TRUE(w->Message().Attachments->empty());
}

class ComposeAutoCompleteWindowTest : public ComposeTest {
 protected:
  void SetUp() override {
    ComposeTest::SetUp();
    cContact john;
    john.Name = "John";
    john.Email = "john@example.org";
    john.SecondaryEmail = "jj@home.example";
    WriteContact(ContactsFile(), john);
    cContact ann;
    ann.Name = "Ann";
    ann.Email = "ann@example.org";
    std::string group = GetGroupFile("Friends");
    WriteFileAtomically(group, "");
    WriteContact(group, ann);
  }
  // Types into a field of an active window and lets the timer fire.
  static void Type(TfrmCompose* w, QLineEdit* field, const char* text) {
    w->show();
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
    field->setFocus();
    field->clear();
    QTest::keyClicks(field, text);
    Pump(400);
  }
};

TEST_F(ComposeAutoCompleteWindowTest, ListHoldsAddressesAndNamedAddressesOfEveryBook) {
  TfrmCompose* w = NewTo("");
  EXPECT_EQ(w->AutoCompleteList(), (StringList{"john@example.org", "John <john@example.org>", "jj@home.example",
                                               "John <jj@home.example>", "ann@example.org", "Ann <ann@example.org>"}));
}

TEST_F(ComposeAutoCompleteWindowTest, TypingCompletesTheLastAddress) {
  TfrmCompose* w = NewTo("");
  Type(w, w->edtTo, "jo");
  EXPECT_EQ(S(w->edtTo->text()), "john@example.org");
  EXPECT_EQ(S(w->edtTo->selectedText()), "hn@example.org");
  // Typing on replaces the selected rest.
  QTest::keyClicks(w->edtTo, "x");
  Pump(400);
  EXPECT_EQ(S(w->edtTo->text()), "jox");

  w->Command("mnuViewCC")->setChecked(true);
  Type(w, w->edtCC, "ann, jo");
  EXPECT_EQ(S(w->edtCC->text()), "ann,john@example.org");
  EXPECT_EQ(S(w->edtCC->selectedText()), "hn@example.org");

  // Switched off, nothing is completed.
  w->Command("mnuAutoComplete")->setChecked(false);
  Type(w, w->edtTo, "jo");
  EXPECT_EQ(S(w->edtTo->text()), "jo");
}

TEST_F(ComposeAutoCompleteWindowTest, ContactsMenuAppendsTheChosenAddress) {
  TfrmCompose* w = NewTo("first@example.org");
  w->AddressLabelRightClick(0, QPoint(0, 0));
  QMenu* menu = w->popContactsBrowser;
  QList<QAction*> items = menu->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(S(items[0]->text()), "John");
  ASSERT_NE(items[1]->menu(), nullptr);
  EXPECT_EQ(S(items[1]->text()), "Friends");
  items[0]->trigger();
  EXPECT_EQ(S(w->edtTo->text()), "first@example.org,john@example.org");
  menu->hide();

  w->AddressLabelRightClick(1, QPoint(0, 0));
  QMenu* friends = w->popContactsBrowser->actions()[1]->menu();
  ASSERT_EQ(friends->actions().size(), 1);
  friends->actions()[0]->trigger();
  EXPECT_EQ(S(w->edtCC->text()), "ann@example.org");
  w->popContactsBrowser->hide();
}

TEST_F(ComposeAutoCompleteWindowTest, ClickingAnAddressLabelEditsItsFieldInThePicker) {
  TfrmCompose* w = NewTo("ann@example.org");
  w->Command("mnuViewCC")->setChecked(true);
  w->show();
  w->edtCC->setText("Old <old@example.org>");
  std::string caption, shown;
  WhenModalOpens([&](QWidget* dialog) {
    auto* picker = qobject_cast<TfrmBrowseContacts*>(dialog);
    ASSERT_NE(picker, nullptr);
    caption = S(picker->windowTitle());
    shown = picker->Addresses();
    picker->lstContacts->setCurrentItem(picker->lstContacts->topLevelItem(0));  // John
    picker->btnAdd->click();
    picker->btnOK->click();
  });
  QTest::mouseClick(w->lblCC, Qt::LeftButton);
  EXPECT_EQ(caption, "Browse contacts");
  EXPECT_EQ(shown, "Old <old@example.org>") << "the picker starts from the label's own field";
  EXPECT_EQ(S(w->edtCC->text()), "Old <old@example.org>, John <john@example.org>");
  EXPECT_EQ(S(w->edtTo->text()), "ann@example.org");

  // Cancel leaves the field as it was.
  WhenModalOpens([](QWidget* dialog) { qobject_cast<TfrmBrowseContacts*>(dialog)->btnCancel->click(); });
  QTest::mouseClick(w->lblTo, Qt::LeftButton);
  EXPECT_EQ(S(w->edtTo->text()), "ann@example.org");
}

TEST_F(ComposeAidsTest, PasteQuotedRestoresTheClipboard) {
  TfrmCompose* w = NewTo("x@example.org");
  w->RichEdit->setPlainText("");
  QApplication::clipboard()->setText("a\nb");
  w->Command("mnuPasteQuoted")->trigger();
  EXPECT_EQ(w->EditorText(), ">a\n>b");
  EXPECT_EQ(S(QApplication::clipboard()->text()), "a\nb");
}

TEST_F(ComposeAidsTest, SignaturesMenuAndInsertion) {
  TfrmCompose* w = NewTo("x@example.org");
  QList<QAction*> items = w->popSignatures->actions();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(S(items[0]->text()), "No signatures present");
  EXPECT_FALSE(items[0]->isEnabled());
  EXPECT_TRUE(items[1]->isSeparator());
  EXPECT_EQ(S(items[2]->text()), "Manage signatures...");
  delete w;

  CreateSignature("Work", {"-- ", "Bob at work"});
  CreateSignature("Home", {"Bob at home"});
  OptionsIni->WriteBool("Message", "InsertDefSig", false);
  w = NewTo("x@example.org");
  items = w->popSignatures->actions();
  ASSERT_EQ(items.size(), 4);
  EXPECT_EQ(w->popSignatures->defaultAction(), items[0]);
  EXPECT_EQ(S(items[0]->text()), "Work");
  EXPECT_TRUE(items[0]->font().bold());

  // Inserting never moves the caret.
  w->RichEdit->setPlainText("Dear Ann,");
  QTextCursor c = w->RichEdit->textCursor();
  c.setPosition(4);
  w->RichEdit->setTextCursor(c);
  items[1]->trigger();
  EXPECT_EQ(w->EditorText(), "Dear Ann,\n\nBob at home\n");
  EXPECT_EQ(w->RichEdit->textCursor().position(), 4);
  w->Command("tbSignature")->trigger();  // the default one
  EXPECT_EQ(w->EditorText(), "Dear Ann,\n\nBob at home\n\n-- \nBob at work\n");
  EXPECT_EQ(w->RichEdit->textCursor().position(), 4);

  // A signature whose file is gone inserts nothing.
  RemoveFile(GetSignatureFile("Home"));
  items[1]->trigger();
  EXPECT_EQ(w->EditorText(), "Dear Ann,\n\nBob at home\n\n-- \nBob at work\n");
}

TEST_F(ComposeAidsTest, SignatureCommandInsertsWhatThePickerChose) {
  CreateSignature("Work", {"Bob at work"});
  CreateSignature("Home", {"Bob at home"});
  OptionsIni->WriteBool("Message", "InsertDefSig", false);
  TfrmCompose* w = NewTo("x@example.org");
  w->RichEdit->setPlainText("Hi");
  std::string caption;
  WhenModalOpens([&caption](QWidget* dialog) {
    auto* picker = qobject_cast<TfrmInsertSignature*>(dialog);
    ASSERT_NE(picker, nullptr);
    caption = S(picker->windowTitle());
    picker->lstSignatures->setCurrentRow(1);
    picker->btnOK->click();
  });
  w->Command("mnuInsertSignature")->trigger();
  EXPECT_EQ(caption, "Insert signature");
  EXPECT_EQ(w->EditorText(), "Hi\n\nBob at home\n");

  WhenModalOpens([](QWidget* dialog) { qobject_cast<TfrmInsertSignature*>(dialog)->btnCancel->click(); });
  w->Command("mnuInsertSignature")->trigger();
  EXPECT_EQ(w->EditorText(), "Hi\n\nBob at home\n") << "Cancel inserts nothing";

  // A signature whose file went is chosen but not inserted.
  RemoveFile(GetSignatureFile("Work"));
  WhenModalOpens([](QWidget* dialog) { qobject_cast<TfrmInsertSignature*>(dialog)->btnOK->click(); });
  w->Command("mnuInsertSignature")->trigger();
  EXPECT_EQ(w->EditorText(), "Hi\n\nBob at home\n");
}

TEST_F(ComposeAidsTest, InsertCommandsAndRewrap) {
  OptionsIni->WriteInteger("Message", "WrapColumnSize", 10);
  TfrmCompose* w = NewTo("x@example.org");
  w->RichEdit->setPlainText("ab");
  QTextCursor c = w->RichEdit->textCursor();
  c.setPosition(1);
  w->RichEdit->setTextCursor(c);
  w->Command("mnuInsertTime")->trigger();
  EXPECT_EQ(w->RichEdit->textCursor().position(), 1) << "the caret stays where it was";
  EXPECT_GT(w->EditorText().size(), 2u);

  w->RichEdit->setPlainText("aaaa bbbb cccc");
  w->Command("mnuRewrap")->trigger();
  EXPECT_EQ(w->EditorText(), "aaaa bbbb \ncccc \n");

  w->RichEdit->setPlainText("");
  w->Command("mnuComputerInfo")->trigger();
  EXPECT_NE(w->EditorText().find("==================== System info ===================="), std::string::npos);
  EXPECT_NE(w->EditorText().find("App folder:\t" + AppDir + "\n"), std::string::npos);

  // With AutoWrapMessage the stored body is wrapped.
  OptionsIni->WriteBool("Message", "AutoWrapMessage", true);
  w->RichEdit->setPlainText("aaaa bbbb cccc");
  ASSERT_TRUE(w->SaveMessage("Unfinished", false));
  cMailMessage m;
  ASSERT_TRUE(LoadStored(w->StoredPath(), w->StoredKey(), m));
  EXPECT_EQ(*m.Body, (StringList{"aaaa bbbb ", "cccc "}));
  FreeMessage(m);
}

TEST_F(ComposeAidsTest, StatusBarCountsAndInsertMode) {
  OptionsIni->WriteBool("Message", "InsertDefSig", false);
  TfrmCompose* w = NewTo("x@example.org");
  EXPECT_EQ(S(w->StatusText()), " 1:1, 0 lines in text, 0 characters.");
  w->RichEdit->setPlainText("one\ntwo three");
  QTextCursor c = w->RichEdit->textCursor();
  c.setPosition(7);
  w->RichEdit->setTextCursor(c);
  // Two lines, 13 characters with a CR LF line break.
  EXPECT_EQ(S(w->StatusText()), " 2:4, 2 lines in text, 14 characters.");
  EXPECT_EQ(S(w->pnlInsert->text()), "INS");
  QTest::keyClick(w->RichEdit, Qt::Key_Insert);
  EXPECT_EQ(S(w->pnlInsert->text()), "OVR");
  EXPECT_TRUE(w->RichEdit->overwriteMode());
  QTest::keyClick(w->RichEdit, Qt::Key_Insert);
  EXPECT_EQ(S(w->pnlInsert->text()), "INS");
}

TEST_F(ComposeAidsTest, TypingAfterAQuotedLineIsNotColoured) {
  std::string ref = StoreSource("Hello", "bob@example.org", "", {"quoted"});
  TfrmCompose* w = Reply(ref);
  // Put the caret at the end of the quoted line and type on a new line.
  QTextCursor c(w->RichEdit->document()->findBlockByNumber(2));
  c.movePosition(QTextCursor::EndOfBlock);
  w->RichEdit->setTextCursor(c);
  QTest::keyClick(w->RichEdit, Qt::Key_Return);
  QTest::keyClicks(w->RichEdit, "mine");
  QTextBlock typed = w->RichEdit->document()->findBlockByNumber(3);
  EXPECT_EQ(S(typed.text()), "mine");
  EXPECT_FALSE(typed.begin().fragment().charFormat().hasProperty(QTextFormat::ForegroundBrush));
}

TEST_F(ComposeAidsTest, ViewSettingsAreRememberedAtClose) {
  QPointer<TfrmCompose> w = NewTo("x@example.org");
  EXPECT_FALSE(w->edtFrom->isHidden());
  EXPECT_TRUE(w->edtCC->isHidden());
  EXPECT_TRUE(w->edtBCC->isHidden());
  w->Command("mnuViewFrom")->setChecked(false);
  w->Command("mnuViewBCC")->setChecked(true);
  w->Command("mnuViewStatusBar")->setChecked(false);
  EXPECT_TRUE(w->edtFrom->isHidden());
  EXPECT_TRUE(w->ServersList->isHidden());
  EXPECT_FALSE(w->edtBCC->isHidden());
  w->resize(700, 450);
  ASSERT_TRUE(w->close());
  EXPECT_FALSE(OptionsIni->ReadBool("MsgComp", "ViewFrom", true));
  EXPECT_TRUE(OptionsIni->ReadBool("MsgComp", "ViewBCC", false));
  EXPECT_EQ(OptionsIni->ReadInteger("MsgComp", "Width", 0), 700);
  EXPECT_EQ(OptionsIni->ReadInteger("MsgComp", "Height", 0), 450);

  TfrmCompose* again = NewTo("x@example.org");
  EXPECT_TRUE(again->edtFrom->isHidden());
  EXPECT_FALSE(again->edtBCC->isHidden());
  EXPECT_TRUE(again->statusBar()->isHidden());
  EXPECT_EQ(again->width(), 700);
}

}  // namespace
}  // namespace qm
