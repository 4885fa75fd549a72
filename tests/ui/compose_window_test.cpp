// The compose window: set-up of replies and forwards, the quote block,
// validation, saving and moving between Unfinished and Unsent, the close
// question, opening stored messages and the start-up hand-off.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTextBlock>
#include <QTextEdit>

#include "compose_test_support.h"
#include "contacts/signatures.h"
#include "platform/file_system.h"
#include "shell/command_line.h"
#include "ui/compose_entry.h"
#include "ui/compose_setup.h"

namespace qm {
namespace {

using ComposeWindowTest = ComposeTest;

TEST_F(ComposeWindowTest, ReplyAndForwardSubjectsAndRecipients) {
  std::string file = dir.path() + "plan.txt";
  WriteFileAtomically(file, "abc");
  struct Case {
    ComposeKind kind;
    const char* subject;
    bool all;
    const char* expected_subject;
    const char* expected_to;
  } cases[] = {
      {ComposeKind::Reply, "Hello", false, "Re: Hello", "ann@example.org"},
      {ComposeKind::Reply, "Re: Hello", false, "Re: [2] Hello", "ann@example.org"},
      {ComposeKind::Reply, "Re: [2] Hello", false, "Re: [3] Hello", "ann@example.org"},
      {ComposeKind::Reply, "RE: x", false, "RE: [2] x", "ann@example.org"},
      {ComposeKind::Reply, "Hello", true, "Re: Hello", "a@example.org,b@example.org"},
      {ComposeKind::Forward, "Re: [2] Hello", false, "FW: Re: [2] Hello", ""},
  };
  for (const Case& c : cases) {
    std::string ref = StoreSource(c.subject, c.all ? "a@example.org" : "bob@example.org",
                                  c.all ? "b@example.org" : "", {"x"}, {file});
    ComposeSetup s;
    s.kind = c.kind;
    s.source_ref = ref;
    s.reply_all = c.all;
    TfrmCompose* w = Open(s);
    EXPECT_EQ(S(w->edtSubject->text()), c.expected_subject);
    EXPECT_EQ(S(w->edtTo->text()), c.expected_to) << c.subject;
    EXPECT_EQ(S(w->windowTitle()), c.expected_subject);
    EXPECT_EQ(w->Message().SourceRef, ref);
    EXPECT_EQ(S(w->ServersList->currentText()), "Home");
    EXPECT_EQ(S(w->edtFrom->text()), "Bob Jones <bob@example.org>");
    EXPECT_EQ(w->Message().Organization, "Acme");
    EXPECT_EQ(w->Message().ReplyTo, "reply@example.org");
    EXPECT_FALSE(w->Modified());
    if (c.kind == ComposeKind::Forward) {
      // The forward carries the source's files and asks for the recipient first.
      ASSERT_EQ(w->lstAttachments->count(), 1);
      EXPECT_EQ(S(w->lstAttachments->item(0)->text()), "plan.txt (3 bytes)");
      EXPECT_FALSE(w->lstAttachments->isHidden());
      EXPECT_EQ(*w->Message().Attachments, StringList{file});
      EXPECT_EQ(w->focusWidget(), w->edtTo);
    } else {
      EXPECT_TRUE(w->lstAttachments->isHidden());
      EXPECT_EQ(w->focusWidget(), w->RichEdit);
    }
    delete w;
  }
}

TEST_F(ComposeWindowTest, ASourceThatCannotBeReadLeavesTheWindowUnshown) {
  StoreSource("Hello");
  ComposeSetup s;
  s.kind = ComposeKind::Reply;
  s.source_ref = "Home://Inbox/24999";  // the mailbox opens, the key is not there
  auto* w = new TfrmCompose();
  EXPECT_FALSE(w->SetupMessage(s));
  EXPECT_FALSE(w->isVisible());
  delete w;
}

TEST_F(ComposeWindowTest, QuoteBlockAtTheBottomAndAtTheTop) {
  CreateSignature("Work", {"Bob", "Acme"});
  std::string ref = StoreSource("Hello", "bob@example.org", "", {"first", "> older"});
  std::string header = "Ann Smith <ann@example.org> wrote on " +
                       FormatDateText(EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 0, 0)) + ":";

  TfrmCompose* w = Reply(ref);
  EXPECT_EQ(w->EditorText(), header + "\n> \n> first\n> > older\n\n\nBob\nAcme\n");
  // The caret stands just before the signature's empty line.
  EXPECT_EQ(w->RichEdit->textCursor().position(), static_cast<int>(Q(header).size()) + 23);
  // Quote levels 1 and 2 in their colours (red in the low byte).
  QTextBlock first = w->RichEdit->document()->findBlockByNumber(2);
  QTextBlock older = w->RichEdit->document()->findBlockByNumber(3);
  EXPECT_EQ(first.begin().fragment().charFormat().foreground().color(), QColor(0xC5, 0x67, 0x3A));
  EXPECT_EQ(older.begin().fragment().charFormat().foreground().color(), QColor(0x00, 0x00, 0xA0));
  EXPECT_FALSE(w->RichEdit->document()->findBlockByNumber(0).begin().fragment().charFormat().hasProperty(
      QTextFormat::ForegroundBrush));
  delete w;

  OptionsIni->WriteBool("Message", "PlaceReplyAtBottom", false);
  w = Reply(ref);
  EXPECT_EQ(w->EditorText(), "\nBob\nAcme\n\n" + header + "\n> \n> first\n> > older\n");
  EXPECT_EQ(w->RichEdit->textCursor().position(), 0);
  delete w;

  OptionsIni->WriteBool("Message", "QuoteReplies", false);
  w = Reply(ref);
  EXPECT_EQ(w->EditorText(), "\nBob\nAcme\n");
  delete w;

  // "Reply quoted" quotes even then; with selection only the given text is quoted.
  ComposeSetup s;
  s.kind = ComposeKind::Reply;
  s.source_ref = ref;
  s.quoted = true;
  s.selection_only = true;
  w = new TfrmCompose();
  ASSERT_TRUE(w->SetupMessage(s, "", "chosen words"));
  EXPECT_NE(w->EditorText().find("\n> chosen words\n"), std::string::npos);
  EXPECT_EQ(w->EditorText().find("first"), std::string::npos);
  delete w;
}

TEST_F(ComposeWindowTest, NewMessageFocusAndSignatureChoice) {
  CreateSignature("Work", {"Work sig"});
  CreateSignature("Home", {"Home sig"});
  TfrmCompose* w = Open({});
  EXPECT_EQ(w->focusWidget(), w->edtTo);
  EXPECT_EQ(w->EditorText(), "\nWork sig\n");  // the default signature
  EXPECT_EQ(S(w->windowTitle()), "(No subject)");
  delete w;

  ComposeSetup s;
  s.to = "x@example.org";
  s.signature = "Home";
  w = Open(s);
  EXPECT_EQ(w->focusWidget(), w->edtSubject);
  EXPECT_EQ(w->EditorText(), "\nHome sig\n");
  delete w;

  w = Open(s, "Subject given");
  EXPECT_EQ(w->focusWidget(), w->RichEdit);
  delete w;

  OptionsIni->WriteBool("Message", "InsertDefSig", false);
  w = Open(s);
  EXPECT_EQ(w->EditorText(), "");
  delete w;
}

TEST_F(ComposeWindowTest, ValidationNamesTheFirstMissingField) {
  struct Case {
    const char* from;
    bool account;
    const char* to;
    const char* message;
    const char* field;
  } cases[] = {
      {"", true, "x@example.org", "You must specify a sender name!", "edtFrom"},
      {"Bob <bob@example.org>", false, "x@example.org", "You must select a server to send the message with!",
       "ServersList"},
      {"Bob <bob@example.org>", true, "", "You must specify the recipient!", "edtTo"},
  };
  for (const Case& c : cases) {
    TfrmCompose* w = NewTo(c.to);
    w->edtFrom->setText(c.from);
    if (!c.account) w->ServersList->setCurrentIndex(-1);
    box_texts.clear();
    AnswerNextBox(QMessageBox::Ok);
    EXPECT_FALSE(w->SaveMessage("Unfinished", false));
    ASSERT_EQ(box_texts.size(), 1u);
    EXPECT_EQ(box_texts[0], c.message);
    EXPECT_EQ(S(w->focusWidget()->objectName()), c.field);
    EXPECT_FALSE(w->HasStoredCopy());
    EXPECT_TRUE(w->Modified());
    delete w;
  }
  EXPECT_TRUE(StoredMessages(Mailbox("Unfinished")).empty());
}

TEST_F(ComposeWindowTest, SavingTwiceKeepsOneCopyWithANewMessageIdAndTheSameDate) {
  TfrmCompose* w = NewTo("carl@example.org, dan@example.org");
  const TDateTime opened = w->Message().Date;
  w->RichEdit->setPlainText("Hi there\nsecond line");
  ASSERT_TRUE(w->SaveMessage("Unfinished", false));
  EXPECT_FALSE(w->Modified());
  auto stored = StoredMessages(Mailbox("Unfinished"));
  ASSERT_EQ(stored.size(), 1u);
  const std::string first_id = stored[0].msg.MessageID;
  EXPECT_EQ(first_id.rfind("<QMMail.", 0), 0u);
  EXPECT_EQ(stored[0].msg.Date, opened);

  w->RichEdit->append("third");
  ASSERT_TRUE(w->Modified());
  ASSERT_TRUE(w->SaveMessage("Unfinished", false));
  stored = StoredMessages(Mailbox("Unfinished"));
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_NE(stored[0].msg.MessageID, first_id);
  EXPECT_EQ(stored[0].msg.Date, opened);

  cMailMessage m;
  ASSERT_TRUE(LoadStored(Mailbox("Unfinished"), stored[0].key, m));
  EXPECT_EQ(*m.Body, (StringList{"Hi there", "second line", "third"}));
  EXPECT_EQ(m.From, "Bob Jones <bob@example.org>");
  EXPECT_EQ(m.FromAddress, "bob@example.org");
  EXPECT_EQ(m.FromName, "Bob Jones");
  EXPECT_EQ(m.Account, "Home");
  EXPECT_EQ(m.Subject, "Plans");
  EXPECT_TRUE(m.Read);
  EXPECT_FALSE(m.IsHTML);
  EXPECT_EQ(m.Size, static_cast<int32_t>(JoinLines(*m.Body).size()));
  auto has = [&m](const std::string& line) {
    return std::find(m.Headers->begin(), m.Headers->end(), line) != m.Headers->end();
  };
  EXPECT_TRUE(has("Message-ID: " + m.MessageID));
  EXPECT_TRUE(has("Organization: Acme"));
  EXPECT_TRUE(has("Reply-To: reply@example.org"));
  EXPECT_TRUE(has("Lines: 3"));
  FreeMessage(m);
  delete w;
}

TEST_F(ComposeWindowTest, SendLaterMovesASavedMessageFromUnfinishedToUnsent) {
  QPointer<TfrmCompose> w = NewTo("carl@example.org");
  ASSERT_TRUE(w->SaveMessage("Unfinished", false));
  ASSERT_EQ(StoredMessages(Mailbox("Unfinished")).size(), 1u);
  // "&Save" keeps a message in Unsent where it is.
  w->Command("mnuSendLater")->trigger();
  EXPECT_TRUE(StoredMessages(Mailbox("Unfinished")).empty());
  ASSERT_EQ(StoredMessages(Mailbox("Unsent")).size(), 1u);
  Pump(50);
  EXPECT_TRUE(w.isNull()) << "Send later closes the window";

  // Finish later on a message in Unsent leaves it there.
  auto unsent = StoredMessages(Mailbox("Unsent"));
  ::qm::OpenStoredMessage("Home://Unsent/" + unsent[0].key, false);
  ASSERT_EQ(TfrmCompose::OpenWindows().size(), 1u);
  TfrmCompose* again = TfrmCompose::OpenWindows()[0];
  again->RichEdit->setPlainText("changed");
  again->mnuSaveClick();
  EXPECT_TRUE(StoredMessages(Mailbox("Unfinished")).empty());
  EXPECT_EQ(StoredMessages(Mailbox("Unsent")).size(), 1u);
}

TEST_F(ComposeWindowTest, StoredMessagesContinueOrStartAnew) {
  TfrmCompose* w = NewTo("carl@example.org", "Draft");
  w->edtCC->setText("cc@example.org");
  w->RichEdit->setPlainText("draft text");
  ASSERT_TRUE(w->SaveMessage("Unfinished", false));
  std::string ref = "Home://Unfinished/" + w->StoredKey();
  delete w;

  for (bool as_new : {false, true}) {
    auto* o = new TfrmCompose();
    ASSERT_TRUE(o->OpenStoredMessage(ref, as_new));
    EXPECT_EQ(S(o->edtTo->text()), "carl@example.org");
    EXPECT_EQ(S(o->edtCC->text()), "cc@example.org");
    EXPECT_FALSE(o->edtCC->isHidden()) << "a CC text is shown";
    EXPECT_EQ(S(o->edtSubject->text()), "Draft");
    EXPECT_EQ(o->EditorText(), "draft text\n");
    EXPECT_EQ(o->HasStoredCopy(), !as_new);
    EXPECT_FALSE(o->Modified());
    ASSERT_TRUE(o->SaveMessage("Unfinished", false));
    delete o;
  }
  // Continuing replaced the copy; "as new" added a second one.
  EXPECT_EQ(StoredMessages(Mailbox("Unfinished")).size(), 2u);
}

TEST_F(ComposeWindowTest, CloseQuestionOnlyWhenModified) {
  QPointer<TfrmCompose> w = NewTo("carl@example.org");
  EXPECT_TRUE(w->close()) << "an unchanged window closes without asking";
  Pump(20);
  EXPECT_TRUE(w.isNull());

  w = NewTo("carl@example.org");
  w->RichEdit->setPlainText("typed");
  AnswerNextBox(QMessageBox::Cancel);
  EXPECT_FALSE(w->close());
  ASSERT_EQ(box_texts.size(), 1u);
  EXPECT_EQ(box_texts[0], "The message has been modified, would you like to save?");
  EXPECT_EQ(box_titles[0], "Plans");
  EXPECT_FALSE(w.isNull());

  AnswerNextBox(QMessageBox::Yes);
  EXPECT_TRUE(w->close());
  Pump(20);
  EXPECT_TRUE(w.isNull());
  EXPECT_EQ(StoredMessages(Mailbox("Unfinished")).size(), 1u);

  // Yes with a message that cannot be saved keeps the window.
  w = NewTo("");
  w->RichEdit->setPlainText("typed");
  // Yes, then the validation message that follows.
  AnswerNextBox(QMessageBox::Yes, [this] { AnswerNextBox(QMessageBox::Ok); });
  EXPECT_FALSE(w->close());
  EXPECT_FALSE(w.isNull());

  // CloseAllComposeWindows stops at a window that refuses.
  AnswerNextBox(QMessageBox::Cancel);
  EXPECT_FALSE(CloseAllComposeWindows());
  AnswerNextBox(QMessageBox::No);
  EXPECT_TRUE(CloseAllComposeWindows());
  Pump(20);
  EXPECT_TRUE(TfrmCompose::OpenWindows().empty());
  EXPECT_EQ(StoredMessages(Mailbox("Unfinished")).size(), 1u);
}

TEST_F(ComposeWindowTest, HandOffRequestOpensAWindowWithTheFile) {
  std::string file = dir.path() + "report.pdf";
  WriteFileAtomically(file, std::string(1536, 'x'));
  size_t before = RequestsReceived().size();
  CommandLineInfo request;
  request.has_command_line = true;
  request.address = "ann@example.org";
  request.subject = "Report";
  request.attach = file;
  OpenComposeForRequest(request);
  EXPECT_EQ(RequestsReceived().size(), before + 1);
  ASSERT_EQ(TfrmCompose::OpenWindows().size(), 1u);
  TfrmCompose* w = TfrmCompose::OpenWindows()[0];
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(S(w->edtTo->text()), "ann@example.org");
  EXPECT_EQ(S(w->edtSubject->text()), "Report");
  ASSERT_EQ(w->lstAttachments->count(), 1);
  EXPECT_EQ(S(w->lstAttachments->item(0)->text()), "report.pdf (1.50 KB)");
  EXPECT_TRUE(w->Message().HasAttachments);
}

TEST_F(ComposeWindowTest, NoAccountsWarnsWithoutBlocking) {
  RemoveDirectoryTree(MailDir + "Home/");
  auto* w = new TfrmCompose();
  w->show();
  QMessageBox* box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = w->findChild<QMessageBox*>("NoAccountsWarning")) != nullptr; }));
  EXPECT_EQ(S(box->windowTitle()), "No accounts found");
  EXPECT_EQ(S(box->text()).rfind("Warning -- you have not setup any accounts.", 0), 0u);
  EXPECT_EQ(w->ServersList->count(), 0);
  delete w;
}

}  // namespace
}  // namespace qm
