// The message viewer frame and window: what is shown, what is never fetched,
// what a click does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>
#include <memory>
#include <sys/stat.h>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/text_utils.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "test_support/temp_dir.h"
#include "test_support_ui.h"
#include "ui/attachment_pane.h"
#include "ui/compose_entry.h"
#include "ui/html_display.h"
#include "ui/message_properties.h"
#include "ui/message_viewer_frame.h"
#include "ui/message_viewer_window.h"
#include "ui/qt_text.h"

namespace qm {
namespace {

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    InitialisePaths(dir.path());
  }
  void TearDown() override { ReleaseSettings(); }

  static cMailMessage Message(const StringList& body, bool html = false) {
    cMailMessage m;
    InitMessage(m);
    m.Subject = "Quarterly figures";
    m.From = "Ann Smith <ann@example.org>";
    m.To = "bob@example.org";
    m.IsHTML = html;
    *m.Body = body;
    *m.Headers = {"From: Ann Smith <ann@example.org>", "To: bob@example.org", "Subject: Quarterly figures"};
    return m;
  }

  static void Pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
      QApplication::processEvents(QEventLoop::AllEvents, 10);
      QTest::qWait(5);
    }
  }

  static bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
      QApplication::processEvents(QEventLoop::AllEvents, 10);
      QTest::qWait(10);
    }
    return done();
  }

  // Every anchor in the display: (text, href).
  static std::vector<std::pair<QString, QString>> Anchors(QTextDocument* doc) {
    std::vector<std::pair<QString, QString>> out;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        QTextFragment f = it.fragment();
        if (f.isValid() && f.charFormat().isAnchor()) out.emplace_back(f.text(), f.charFormat().anchorHref());
      }
    return out;
  }

  // Clicks the middle of the first occurrence of `text` in the display.
  static void ClickText(THtmlDisplay* display, const QString& text) {
    QTextCursor found = display->document()->find(text);
    ASSERT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor at(display->document());
    at.setPosition(found.selectionStart() + static_cast<int>(text.size()) / 2);
    QRect r = display->cursorRect(at);
    QTest::mouseClick(display->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
  }

  // A browser stand-in that writes its argument to a file.
  std::string FakeBrowser() {
    std::string script = dir.path() + "browser.sh";
    std::string out = dir.path() + "browser.out";
    WriteFileAtomically(script, "#!/bin/sh\nprintf '%s' \"$1\" > '" + out + ".part' && mv '" + out + ".part' '" + out + "'\n");
    ::chmod(script.c_str(), 0755);
    OptionsIni->WriteBool("Browser", "UseCustom", true);
    OptionsIni->WriteString("Browser", "Path", script);
    return out;
  }

  class TempDir dir;
};

TEST_F(ViewerTest, ReceivedHtmlNeverReachesTheNetwork) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress("127.0.0.1"), 0));
  int connections = 0;
  QObject::connect(&server, &QTcpServer::newConnection, [&] {
    while (QTcpSocket* s = server.nextPendingConnection()) {
      ++connections;
      s->write("HTTP/1.0 200 OK\r\nContent-Type: image/png\r\n\r\n");
      s->disconnectFromHost();
    }
  });
  std::string base = "127.0.0.1:" + std::to_string(server.serverPort());
  StringList html = {
      "<html><head><link rel=\"stylesheet\" href=\"http://" + base + "/style.css\">",
      "<style>@import url(http://" + base + "/imported.css);</style></head>",
      "<body background=\"http://" + base + "/bg.png\">",
      "<p>Hello <img src=\"http://" + base + "/pixel.png\" width=1 height=1>",
      "<img src=\"https://" + base + "/secure.png\"> <img src=\"ftp://" + base + "/f.png\">",
      "<img src=\"//" + base + "/relative-scheme.png\"> <img src=\"file:///etc/hostname\">",
      "<iframe src=\"http://" + base + "/frame.html\"></iframe>",
      "<script>document.write('<img src=http://" + base + "/script.png>')</script>",
      "<table style=\"background-image: url(http://" + base + "/cell.png)\"><tr><td>x</td></tr></table>",
      "</body></html>"};
  TfraMessageViewer frame;
  frame.resize(500, 400);
  frame.show();
  frame.DisplayMessage(Message(html, true));
  Pump(600);
  EXPECT_EQ(connections, 0);
  // The display did ask, and was refused every time.
  EXPECT_GE(frame.MsgViewer->refused_resources(), 4);
  EXPECT_TRUE(frame.MsgViewer->loadResource(QTextDocument::ImageResource, QUrl(Q("http://" + base + "/x.png"))).isNull());
  EXPECT_TRUE(frame.MsgViewer->loadResource(QTextDocument::StyleSheetResource, QUrl(Q("https://" + base + "/s.css")))
                  .isNull());
  // Script text is not run: nothing it would write shows up.
  EXPECT_EQ(connections, 0);
  frame.ClearMessage();
}

TEST_F(ViewerTest, ContentIdImagesComeFromTheMessageFiles) {
  std::string png = dir.path() + "Logo.PNG";
  QImage image(7, 5, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(Q(png), "PNG"));

  cMailMessage m = Message({"<html><body><img src=\"cid:logo.png@01D9.4A\"><img src=\"cid:absent@x\"></body></html>"}, true);
  AddAttachment(m, png);
  TfraMessageViewer frame;
  frame.resize(400, 300);
  frame.show();
  frame.DisplayMessage(m);
  Pump(50);
  QVariant shown = frame.MsgViewer->document()->resource(QTextDocument::ImageResource, QUrl("cid:logo.png@01D9.4A"));
  ASSERT_TRUE(shown.canConvert<QImage>());
  EXPECT_EQ(shown.value<QImage>().size(), QSize(7, 5));
  EXPECT_TRUE(frame.MsgViewer->loadResource(QTextDocument::ImageResource, QUrl("cid:absent@x")).isNull());

  struct Case {
    const char* cid;
    const char* expected;
  } cases[] = {{"logo.png@01D9", "Logo.PNG"}, {"LOGO.png", "Logo.PNG"}, {"logo", ""}, {"", ""}, {"@x", ""}};
  for (const Case& c : cases) {
    std::string file = THtmlDisplay::FindContentIdFile(c.cid, {png, dir.path() + "other.gif"});
    EXPECT_EQ(ExtractFileName(file), c.expected) << c.cid;
  }
  frame.ClearMessage();
}

TEST_F(ViewerTest, PlainTextLinksFollowScanForLinks) {
  std::string out = FakeBrowser();
  cMailMessage m = Message({"Report: http://intranet.example.org/q3?x=1, see you", "> quoted line"});

  {
    TfraMessageViewer frame;
    frame.resize(600, 300);
    frame.show();
    frame.DisplayMessage(m);
    auto anchors = Anchors(frame.MsgViewer->document());
    ASSERT_EQ(anchors.size(), 1u);
    EXPECT_EQ(anchors[0].second, "http://intranet.example.org/q3?x=1");
    ClickText(frame.MsgViewer, "intranet.example.org");
    EXPECT_TRUE(WaitFor([&] { return FileExists(out); }));
    EXPECT_EQ(ReadFileBytes(out), "http://intranet.example.org/q3?x=1");
    // The display itself stays on the message.
    EXPECT_TRUE(frame.MsgViewer->source().isEmpty());
    EXPECT_NE(frame.MsgViewer->toPlainText().indexOf("quoted line"), -1);
    frame.ClearMessage();
  }
  RemoveFile(out);

  OptionsIni->WriteBool("Options", "ScanForLinks", false);
  cMailMessage again = Message({"Report: http://intranet.example.org/q3?x=1, see you"});
  TfraMessageViewer frame;
  frame.resize(600, 300);
  frame.show();
  frame.DisplayMessage(again);
  EXPECT_TRUE(Anchors(frame.MsgViewer->document()).empty());
  EXPECT_EQ(frame.MsgViewer->toPlainText().toStdString(), "Report: http://intranet.example.org/q3?x=1, see you\n");
  ClickText(frame.MsgViewer, "intranet.example.org");
  Pump(300);
  EXPECT_FALSE(FileExists(out));
  frame.ClearMessage();
}

TEST_F(ViewerTest, PlainTextLinkTargetsReachTheDisplayWhole) {
  // Targets with the characters that end or split an unquoted attribute.
  struct Case {
    const char* line;
    const char* text;
    const char* href;
  } cases[] = {
      {"go to http://h.example/page?id=7 now", "http://h.example/page?id=7", "http://h.example/page?id=7"},
      {"http://h.example/a=b=c/", "http://h.example/a=b=c/", "http://h.example/a=b=c/"},
      {"(http://h.example/x?q=a+b&r=%20#top)", "http://h.example/x?q=a+b&r=%20#top",
       "http://h.example/x?q=a+b&r=%20#top"},
      {"ftp://h.example/~u/pub/", "ftp://h.example/~u/pub/", "ftp://h.example/~u/pub/"},
      {"Write to x=y@b.example.", "x=y@b.example.", "mailto:x=y@b.example."},
  };
  for (const Case& c : cases) {
    TfraMessageViewer frame;
    frame.DisplayMessage(Message({c.line}));
    auto anchors = Anchors(frame.MsgViewer->document());
    ASSERT_EQ(anchors.size(), 1u) << c.line;
    EXPECT_EQ(anchors[0].first.toStdString(), c.text) << c.line;
    EXPECT_EQ(anchors[0].second.toStdString(), c.href) << c.line;
    frame.ClearMessage();
  }
}

TEST_F(ViewerTest, MailtoLinksOpenComposeWhateverTheirCase) {
  std::string out = FakeBrowser();
  TfraMessageViewer frame;
  size_t before = RequestsReceived().size();
  struct Case {
    const char* link;
    const char* address;
    const char* subject;
  } cases[] = {{"MAILTO:Bob@Example.org?subject=Lunch", "bob@example.org", "lunch"},
               {"mailto:ann@example.org", "ann@example.org", ""},
               {"MailTo:x@y.z?Subject=Hi", "x@y.z", "hi"}};
  for (const Case& c : cases) frame.MsgViewerLinkClick(c.link);
  ASSERT_EQ(RequestsReceived().size(), before + 3);
  for (size_t i = 0; i < 3; ++i) {
    const CommandLineInfo& r = RequestsReceived()[before + i];
    EXPECT_TRUE(r.has_command_line);
    EXPECT_EQ(r.address, cases[i].address) << cases[i].link;
    EXPECT_EQ(r.subject, cases[i].subject) << cases[i].link;
  }
  Pump(200);
  EXPECT_FALSE(FileExists(out)) << "a mailto link must not reach the browser";
}

TEST_F(ViewerTest, AttachmentPaneFollowsTheMessage) {
  std::string a = dir.path() + "notes.txt";
  WriteFileAtomically(a, "hello");
  std::string big = dir.path() + "scan.pdf";
  WriteFileAtomically(big, std::string(2048, 'x'));
  OptionsIni->WriteInteger("MsgViewerFrame", "AttachPaneHeight", 80);

  TfraMessageViewer frame;
  frame.resize(500, 400);
  frame.show();
  frame.DisplayMessage(Message({"no files"}));
  EXPECT_FALSE(frame.pnlAttachments->isVisible());

  cMailMessage m = Message({"two files"});
  AddAttachment(m, a);
  AddAttachment(m, big);
  AddAttachment(m, dir.path() + "gone.bin");
  frame.DisplayMessage(m);
  Pump(20);
  ASSERT_TRUE(frame.pnlAttachments->isVisible());
  EXPECT_EQ(frame.pnlAttachments->height(), 80);
  QListWidget* list = frame.findChild<QListWidget*>("lstAttachments");
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(0)->text(), "notes.txt (5 bytes)");
  EXPECT_EQ(list->item(1)->text(), "scan.pdf (2.00 KB)");
  EXPECT_EQ(list->item(2)->text(), "gone.bin (0 bytes)");

  frame.DisplayMessage(Message({"none again"}));
  EXPECT_FALSE(frame.pnlAttachments->isVisible());
  EXPECT_EQ(list->count(), 0);
  frame.SaveAttachPaneHeight();
  EXPECT_EQ(OptionsIni->ReadInteger("MsgViewerFrame", "AttachPaneHeight", 0), 80);
  frame.ClearMessage();
}

TEST(SizeTextTest, Thresholds) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  struct Case {
    int64_t bytes;
    const char* text;
  } cases[] = {{0, "0 bytes"},          {1023, "1023 bytes"},       {1024, "1.00 KB"},
               {2048, "2.00 KB"},       {1048575, "1,024.00 KB"},   {1048576, "1.00 MB"},
               {5767168, "5.50 MB"},    {3221225472LL, "3,072.00 MB"}};
  for (const Case& c : cases) EXPECT_EQ(FormatSizeText(c.bytes), c.text) << c.bytes;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(FormatSizeText(2048), "2,00 KB");
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST_F(ViewerTest, AutoWrapKeepsLinesWithinTheColumn) {
  OptionsIni->WriteBool("Message", "AutoWrapMessage", true);
  OptionsIni->WriteInteger("Message", "WrapColumnSize", 40);
  OptionsIni->WriteBool("Options", "ScanForLinks", false);
  std::string word(55, 'w');
  cMailMessage m = Message({"The quick brown fox jumps over the lazy dog and keeps running far away from here",
                            "short", word + " tail"});
  TfraMessageViewer frame;
  frame.DisplayMessage(m);
  const StringList& body = *frame.ShownMessage().Body;
  ASSERT_GT(body.size(), 3u);
  bool long_word_alone = false;
  for (const std::string& line : body) {
    std::string text = TrimBlanks(line);
    if (text.find(' ') == std::string::npos && text.find('w') == 0) long_word_alone = true;
    EXPECT_LE(text.size(), 40u) << line;
  }
  // The over-long word is cut into pieces of its own.
  EXPECT_TRUE(long_word_alone) << JoinLines(body);
  frame.ClearMessage();
}

TEST_F(ViewerTest, SettingsColourTheLabelsTheLinksAndHideTheHeaders) {
  OptionsIni->WriteInteger("Colours", "SubjectField", 0x0000FF);  // red
  OptionsIni->WriteInteger("Colours", "URL", 0x00FF00);           // green
  OptionsIni->WriteInteger("Colours", "PreviewPaneBackground", 0x102030);
  OptionsIni->WriteInteger("Colours", "SingleQuote", 0x0000FF);
  {
    TfraMessageViewer frame;
    frame.DisplayMessage(Message({"see http://a.example/x", "> quoted"}));
    EXPECT_EQ(frame.lblSubject->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    // Not set: the designed purple stays.
    EXPECT_EQ(frame.lblFrom->palette().color(QPalette::WindowText), QColor(0x80, 0, 0x80));
    EXPECT_EQ(frame.MsgViewer->palette().color(QPalette::Base), QColor(0x30, 0x20, 0x10));
    bool saw_link = false, saw_quote = false;
    QTextDocument* doc = frame.MsgViewer->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        QTextCharFormat f = it.fragment().charFormat();
        if (f.isAnchor()) {
          saw_link = true;
          EXPECT_EQ(f.foreground().color(), QColor(0, 255, 0));
        }
        if (it.fragment().text().contains("quoted")) {
          saw_quote = true;
          EXPECT_EQ(f.foreground().color(), QColor(255, 0, 0));
        }
      }
    EXPECT_TRUE(saw_link);
    EXPECT_TRUE(saw_quote);
    frame.show();
    EXPECT_TRUE(frame.pnlHeaders->isVisible());
    frame.ClearMessage();
  }
  OptionsIni->WriteBool("View", "MessageHeadersVisible", false);
  TfraMessageViewer frame;
  frame.show();
  EXPECT_FALSE(frame.pnlHeaders->isVisible());
  auto* window = new TfrmMessageViewer;
  window->show();
  EXPECT_FALSE(window->Viewer->pnlHeaders->isVisible());
  window->close();
}

TEST_F(ViewerTest, HeaderLabelsShowTextAsItIs) {
  TfraMessageViewer frame;
  frame.resize(600, 200);
  frame.show();
  cMailMessage m = Message({"x"});
  m.Subject = "Fish & <b>chips</b>";
  m.From = "Very Long Sender Name <sender@example.org>";
  frame.DisplayMessage(m);
  EXPECT_EQ(frame.lblSubject->text(), "Fish & <b>chips</b>");
  // The plain text is wider than what markup would render.
  EXPECT_GE(frame.lblSubject->sizeHint().width(), frame.fontMetrics().horizontalAdvance("Fish & <b>chips</b>"));
  // "To:" follows the sender on the same line, its value just after it.
  EXPECT_GE(frame.lblToCaption->x(), frame.lblFrom->geometry().right());
  EXPECT_EQ(frame.lblToCaption->y(), frame.lblFrom->y());
  EXPECT_EQ(frame.lblTo->x(), frame.lblToCaption->geometry().right() + 1 + 4);
  // The bold captions are not cut, and the values start after them.
  for (QLabel* caption : {frame.lblSubjectCaption, frame.lblFromCaption})
    EXPECT_GE(caption->width(), QFontMetrics(caption->font()).horizontalAdvance(caption->text())) << S(caption->text());
  EXPECT_GT(frame.lblSubject->x(), frame.lblSubjectCaption->geometry().right());
  frame.ClearMessage();
  EXPECT_TRUE(frame.lblSubject->text().isEmpty());
  EXPECT_FALSE(frame.HasMessage());
}

TEST_F(ViewerTest, SavedTextIsHeadersBlankLineBody) {
  struct Case {
    bool html;
    StringList body;
    const char* expected;
  } cases[] = {
      {false, {"Hello", "", "Bye"}, "H1: a\r\nH2: b\r\n\r\nHello\r\n\r\nBye\r\n"},
      {true, {"<html><body>x</body></html>"}, "H1: a\r\nH2: b\r\n\r\n<html><body>x</body></html>\r\n"},
      {false, {}, "H1: a\r\nH2: b\r\n\r\n"},
  };
  std::string path = dir.path() + "saved.txt";
  WriteFileAtomically(path, "old contents that are longer than the new ones will be, surely");
  for (const Case& c : cases) {
    cMailMessage m = Message(c.body, c.html);
    *m.Headers = {"H1: a", "H2: b"};
    TfraMessageViewer::SaveMessageAsText(path, m);
    EXPECT_EQ(ReadFileBytes(path), c.expected);
    FreeMessage(m);
  }
}

TEST_F(ViewerTest, PropertiesShowTheRecord) {
  cMailMessage m = Message({"x"});
  m.CC = "carol@example.org";
  m.Account = "Work";
  m.Date = EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 0, 0);
  TfrmMessageProperties props;
  props.LoadProperties(m);
  EXPECT_EQ(props.lblFrom->text(), "Ann Smith <ann@example.org>");
  EXPECT_EQ(props.lblCC->text(), "carol@example.org");
  EXPECT_EQ(props.lblAccount->text(), Q("Work (received on " + DateTimeText(m.Date) + ")"));
  EXPECT_NE(props.lblAccount->text().indexOf("3/5/24"), -1) << props.lblAccount->text().toStdString();
  EXPECT_EQ(props.memoHeaders->toPlainText().split('\n').first(), "From: Ann Smith <ann@example.org>");
  props.show();
  for (int w : {409, 500, 611}) {
    props.resize(w, 450);
    Pump(10);
    EXPECT_EQ(props.btnClose->x(), (props.pnlButtons->width() - props.btnClose->width()) / 2) << w;
  }
  props.resize(520, 470);
  props.reject();
  EXPECT_EQ(OptionsIni->ReadInteger("MsgPropsWindow", "Width", 0), 520);
  FreeMessage(m);
}

class MessageWindowTest : public ViewerTest {
 protected:
  // A stored message in Work/Inbox; returns its reference.
  std::string StoreMessage(const std::string& subject) {
    ForceDirectories(MailDir + "Work");
    std::string path = MailDir + "Work/Inbox.zqf";
    EXPECT_TRUE(FileExists(path) || CreateEmptyMailbox(path));
    TQDB* db = nullptr;
    EXPECT_TRUE(GetQDBForFile(path, db));
    cMailMessage m = Message({"Body of " + subject});
    m.Subject = subject;
    TKey key;
    EXPECT_TRUE(AddMessage(*db, m, false, nullptr, key));
    FreeMessage(m);
    ReleaseQDB(db);
    return "Work://Inbox/" + key;
  }
};

TEST_F(MessageWindowTest, OpensAStoredMessageOrStaysEmpty) {
  std::string ref = StoreMessage("Budget 2025");
  auto* window = new TfrmMessageViewer;
  EXPECT_TRUE(window->LoadMessage(ref));
  EXPECT_EQ(window->windowTitle(), "Budget 2025");
  EXPECT_NE(window->Viewer->MsgViewer->toPlainText().indexOf("Body of Budget 2025"), -1);
  window->close();

  for (std::string bad : {std::string("Work://Inbox/99999"), std::string("Work://Missing/1"),
                          std::string("Nobody://Inbox/1"), std::string("garbage")}) {
    auto* empty = new TfrmMessageViewer;
    EXPECT_FALSE(empty->LoadMessage(bad)) << bad;
    EXPECT_EQ(empty->windowTitle(), "Message Viewer") << bad;
    EXPECT_FALSE(empty->Viewer->HasMessage());
    empty->close();
  }
  // Looking at a missing mailbox does not create it.
  EXPECT_FALSE(FileExists(MailDir + "Work/Missing.zqf"));
}

TEST_F(MessageWindowTest, KeysAndSizes) {
  std::string ref = StoreMessage("Keys");
  OptionsIni->WriteInteger("MessageViewer", "Width", 600);
  OptionsIni->WriteInteger("MessageViewer", "Height", 500);
  QPointer<TfrmMessageViewer> window = new TfrmMessageViewer;
  window->LoadMessage(ref);
  window->show();
  EXPECT_EQ(window->size(), QSize(600, 500));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

  // Ctrl+Enter opens the properties, modal.
  bool opened = false;
  WhenModalOpens([&](QWidget* w) {
    opened = w->objectName() == "TfrmMessageProperties";
    static_cast<QDialog*>(w)->reject();
  });
  window->Viewer->MsgViewer->setFocus();
  QTest::keyClick(window->Viewer->MsgViewer, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_TRUE(opened);

  // Enter toggles the full-screen button.
  QTest::keyClick(window->Viewer->MsgViewer, Qt::Key_Return);
  EXPECT_TRUE(window->tbFullScreen->isChecked());
  QTest::keyClick(window->Viewer->MsgViewer, Qt::Key_Return);
  EXPECT_FALSE(window->tbFullScreen->isChecked());

  window->resize(640, 480);
  QTest::keyClick(window->Viewer->MsgViewer, Qt::Key_Escape);
  EXPECT_TRUE(WaitFor([&] { return window.isNull(); }));
  EXPECT_EQ(OptionsIni->ReadInteger("MessageViewer", "Width", 0), 640);
  EXPECT_EQ(OptionsIni->ReadInteger("MessageViewer", "Height", 0), 480);
}

}  // namespace
}  // namespace qm
