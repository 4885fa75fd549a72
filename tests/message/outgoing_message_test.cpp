#include <gtest/gtest.h>

#include <algorithm>

#include "message/header_encoding.h"
#include "message/internet_dates.h"
#include "message/mime_types.h"
#include "message/outgoing_message.h"
#include "message/transfer_encodings.h"
#include "outgoing_test_support.h"
#include "platform/date_time.h"
#include "platform/file_error.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/text_utils.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

using outgoing_test::DecodedHeaderValue;

class OutgoingMessage : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePaths(dir_.path());
    InitMessage(msg_);
    msg_.From = "Joe Bloggs <joe@example.com>";
    msg_.Subject = "Hello";
    msg_.To = "ann@example.com";
    msg_.Date = EncodeDate(2001, 3, 5) + EncodeTime(9, 7, 3, 0);
    msg_.MessageID = "<QMMail.abcdefgh@quillmar.invalid>";
    *msg_.Body = {"First line", "Second line"};
  }
  void TearDown() override {
    FreeMessage(msg_);
    ReleaseSettings();
  }

  std::string Attach(const std::string& name, const std::string& content) {
    std::string path = dir_.path() + name;
    WriteFileAtomically(path, content);
    AddAttachment(msg_, path);
    return path;
  }

  StringList Headers() {
    StringList lines;
    BuildHeaderLines(msg_, lines);
    return lines;
  }

  // The header lines of the assembled text (up to its first empty line).
  static StringList HeadOf(const StringList& text) {
    StringList head;
    for (const std::string& l : text) {
      if (l.empty()) break;
      head.push_back(l);
    }
    return head;
  }

  static std::string DateLine() { return "Date: Mon, 5 Mar 2001 09:07:03 " + GetLocalZoneText(); }

  class TempDir dir_;  // the class, not the TempDir location
  cMailMessage msg_;
};

TEST_F(OutgoingMessage, HeaderLinesInOrder) {
  StringList expected = {
      "From: Joe Bloggs <joe@example.com>",
      "Subject: Hello",
      "To: ann@example.com",
      DateLine(),
      "Lines: 2",
      "Message-ID: <QMMail.abcdefgh@quillmar.invalid>",
      "Mime-Version: 1.0",
      "Content-Transfer-Encoding: 7bit",
      "X-Mailer: Torvane Quillmar 3.61 Final",
  };
  EXPECT_EQ(Headers(), expected);
}

TEST_F(OutgoingMessage, HeaderLinesReplaceWhatWasThere) {
  StringList lines = {"old", "lines"};
  BuildHeaderLines(msg_, lines);
  EXPECT_EQ(lines.front(), "From: Joe Bloggs <joe@example.com>");
  EXPECT_EQ(lines.size(), 9u);
}

TEST_F(OutgoingMessage, OptionalFieldsInTheirPlaces) {
  msg_.CC = "cc@example.com";
  msg_.BCC = "hidden@example.com";
  msg_.Organization = "Example Ltd";
  msg_.ReplyTo = "replies@example.com";
  StringList expected = {
      "From: Joe Bloggs <joe@example.com>",
      "Subject: Hello",
      "To: ann@example.com",
      "CC: cc@example.com",
      "BCC: hidden@example.com",
      DateLine(),
      "Lines: 2",
      "Message-ID: <QMMail.abcdefgh@quillmar.invalid>",
      "Organization: Example Ltd",
      "Reply-To: replies@example.com",
      "Mime-Version: 1.0",
      "Content-Transfer-Encoding: 7bit",
      "X-Mailer: Torvane Quillmar 3.61 Final",
  };
  EXPECT_EQ(Headers(), expected);
}

TEST_F(OutgoingMessage, EmptyBodyAndNoAppId) {
  msg_.Body->clear();
  OptionsIni->WriteBool("Options", "AddAppID", false);
  StringList lines = Headers();
  EXPECT_EQ(lines[4], "Lines: 0");
  EXPECT_EQ(lines.back(), "Content-Transfer-Encoding: 7bit");
  for (const std::string& l : lines) EXPECT_FALSE(StartsWithText(l, "X-Mailer")) << l;
  StringList text = BuildMessageLines(msg_);
  EXPECT_EQ(text.size(), lines.size() + 1);
  EXPECT_EQ(text.back(), "");
}

TEST_F(OutgoingMessage, WithoutAttachmentsHeadersBlankLineBody) {
  StringList text = BuildMessageLines(msg_);
  StringList expected = Headers();
  expected.push_back("");
  expected.push_back("First line");
  expected.push_back("Second line");
  EXPECT_EQ(text, expected);
  for (const std::string& l : text) EXPECT_FALSE(StartsWithText(l, "Content-Type")) << l;
}

// The blind-copy line stays in the stored headers but never reaches the
// recipients.
TEST_F(OutgoingMessage, BlindCopiesAreNotDisclosed) {
  msg_.BCC = "secret1@example.com, Secret Two <secret2@example.com>";
  msg_.CC = "cc@example.com";
  StringList stored = Headers();
  EXPECT_NE(std::find(stored.begin(), stored.end(), "BCC: " + msg_.BCC), stored.end());
  for (bool attach : {false, true}) {
    if (attach) Attach("a.txt", "abc");
    std::string wire = JoinLines(BuildMessageLines(msg_));
    EXPECT_EQ(wire.find("secret"), std::string::npos) << wire;
    EXPECT_EQ(FindTextAscii(wire, "\r\nBCC:"), std::string::npos);
    EXPECT_NE(wire.find("\r\nCC: cc@example.com\r\n"), std::string::npos);
  }
}

TEST_F(OutgoingMessage, OneSmallAttachment) {
  *msg_.Body = {"Hi"};
  std::string path = Attach("notes.txt", "abc");
  StringList text = BuildMessageLines(msg_);
  StringList head = Headers();
  ASSERT_GT(text.size(), head.size() + 2);
  EXPECT_EQ(StringList(text.begin(), text.begin() + static_cast<long>(head.size())), head);

  StringList rest(text.begin() + static_cast<long>(head.size()), text.end());
  ASSERT_EQ(rest.size(), 19u);
  EXPECT_EQ(rest[0], "Content-type: multipart/mixed;");
  const std::string prefix = "              boundary=\"";
  ASSERT_EQ(rest[1].substr(0, prefix.size()), prefix);
  ASSERT_EQ(rest[1].back(), '"');
  std::string boundary = rest[1].substr(prefix.size(), rest[1].size() - prefix.size() - 1);
  EXPECT_EQ(boundary.size(), 29u);
  EXPECT_EQ(boundary.substr(0, 11), "--QM_Bound_");
  const std::string delimiter = "--" + boundary;
  EXPECT_EQ(delimiter.substr(0, 4), "----");

  StringList expected = {
      "Content-type: multipart/mixed;",
      rest[1],
      "",
      "This is a multi-part message in MIME format.",
      "",
      delimiter,
      "Content-Type: text/plain;",
      "",
      "Hi",
      "",
      delimiter,
      "Content-Type: " + GetMimeTypeForFile(path) + ";",
      "              name=\"notes.txt\"",
      "Content-Transfer-Encoding: base64",
      "Content-Disposition: attachment;",
      "",
      "YWJj",
      "",
      delimiter + "--",
  };
  EXPECT_EQ(rest, expected);
}

TEST_F(OutgoingMessage, AttachmentPartsInOrderMissingFilesSkipped) {
  *msg_.Body = {"Body"};
  msg_.IsHTML = true;
  std::string content(100, '\x7f');
  Attach("first.bin", content);
  AddAttachment(msg_, dir_.path() + "gone.txt");
  Attach("Grüße.txt", "x");
  StringList text = BuildMessageLines(msg_);
  std::string wire = JoinLines(text);
  EXPECT_NE(wire.find("\r\nContent-Type: text/html;\r\n\r\nBody\r\n"), std::string::npos);
  EXPECT_EQ(wire.find("gone.txt"), std::string::npos);
  size_t first = wire.find("name=\"first.bin\"");
  size_t second = wire.find("name*=utf-8''Gr%C3%BC%C3%9Fe.txt");
  ASSERT_NE(first, std::string::npos);
  ASSERT_NE(second, std::string::npos);
  EXPECT_LT(first, second);
  EXPECT_NE(wire.find("Content-Disposition: attachment;\r\n              filename*=utf-8''Gr%C3%BC%C3%9Fe.txt\r\n\r\n"),
            std::string::npos);
  // 100 bytes: one full line of 76 symbols and one of 60.
  std::string b64 = Base64EncodeLine(content);
  EXPECT_NE(wire.find("\r\n\r\n" + b64.substr(0, 76) + "\r\n" + b64.substr(76) + "\r\n\r\n--"), std::string::npos);
  EXPECT_EQ(text.back().substr(text.back().size() - 2), "--");
}

TEST_F(OutgoingMessage, AllAttachmentsMissingStillGivesTheTextPart) {
  *msg_.Body = {"Body"};
  AddAttachment(msg_, dir_.path() + "gone.txt");
  StringList text = BuildMessageLines(msg_);
  StringList tail(text.end() - 5, text.end());
  EXPECT_EQ(tail[0], "Content-Type: text/plain;");
  EXPECT_EQ(tail[2], "Body");
  EXPECT_EQ(tail[3], "");
  EXPECT_EQ(tail[4].substr(0, 13), "----QM_Bound_");
}

TEST_F(OutgoingMessage, UnreadableAttachmentThrows) {
  if (!FileExists("/proc/self/mem")) GTEST_SKIP();
  AddAttachment(msg_, "/proc/self/mem");  // a regular file whose read fails
  EXPECT_THROW(BuildMessageLines(msg_), FileError);
}

TEST_F(OutgoingMessage, BoundaryIsNewForEveryAssembly) {
  Attach("a.txt", "abc");
  EXPECT_NE(BuildMessageLines(msg_), BuildMessageLines(msg_));
}

TEST_F(OutgoingMessage, LineBreaksInsideFieldsCannotAddHeaders) {
  msg_.Subject = "Hi\r\nBcc: everyone@example.com";
  msg_.To = "ann@example.com\nX-Evil: 1";
  msg_.Organization = "Org\rX-Other: 2";
  for (const std::string& l : BuildMessageLines(msg_)) {
    EXPECT_EQ(l.find('\r'), std::string::npos);
    EXPECT_EQ(l.find('\n'), std::string::npos);
    EXPECT_FALSE(StartsWithText(l, "Bcc:") || StartsWithText(l, "X-Evil") || StartsWithText(l, "X-Other")) << l;
  }
}

TEST_F(OutgoingMessage, AsciiMessageWithLongLineStaysSevenBit) {
  *msg_.Body = {std::string(1500, 'a')};
  StringList text = BuildMessageLines(msg_);
  EXPECT_EQ(text.back(), std::string(1500, 'a'));
  EXPECT_EQ(HeadOf(text), Headers());
  EXPECT_EQ(HeadOf(text)[7], "Content-Transfer-Encoding: 7bit");
}

TEST_F(OutgoingMessage, TextOutsideAsciiIsDeclared) {
  struct Case {
    const char* name;
    std::string subject;
    StringList body;
    const char* encoding;
  } cases[] = {
      {"body", "Hello", {"Grüße aus Köln"}, "8bit"},
      {"subject only", "Grüße", {"plain"}, "8bit"},
      {"long line", "Hello", {"é" + std::string(1200, 'x')}, "quoted-printable"},
  };
  for (const Case& c : cases) {
    msg_.Subject = c.subject;
    *msg_.Body = c.body;
    StringList text = BuildMessageLines(msg_);
    StringList head = HeadOf(text);
    EXPECT_EQ(head, Headers()) << c.name;
    auto ct = std::find(head.begin(), head.end(), "Content-Type: text/plain; charset=utf-8");
    ASSERT_NE(ct, head.end()) << c.name;
    ASSERT_NE(ct + 1, head.end());
    EXPECT_EQ(*(ct + 1), std::string("Content-Transfer-Encoding: ") + c.encoding) << c.name;
    EXPECT_EQ(*(ct - 1), "Mime-Version: 1.0");
    EXPECT_EQ(std::count_if(head.begin(), head.end(),
                            [](const std::string& l) { return StartsWithText(l, "Content-Transfer-Encoding"); }),
              1);
    StringList body(text.begin() + static_cast<long>(head.size()) + 1, text.end());
    if (std::string(c.encoding) == "8bit") {
      EXPECT_EQ(body, c.body) << c.name;
    } else {
      for (const std::string& l : body) EXPECT_LE(l.size(), 76u);
      EXPECT_EQ(DecodeQuotedPrintable(JoinLines(body), false), JoinLines(c.body));
    }
    EXPECT_EQ(DecodedHeaderValue(head, 1), c.subject);
    for (const std::string& l : head) EXPECT_TRUE(IsAsciiText(l)) << l;
  }
}

TEST_F(OutgoingMessage, NamesOutsideAsciiBecomeEncodedWords) {
  msg_.From = "Jörg Müller <joerg@example.de>";
  msg_.To = "\"Zoë, Ann\" <zoe@example.com>, bob@example.com";
  msg_.CC = "Renée <renee@example.fr>";
  msg_.Organization = "Müller & Söhne";
  StringList head = HeadOf(BuildMessageLines(msg_));
  auto value_of = [&](const std::string& name) {
    for (size_t i = 0; i < head.size(); ++i)
      if (head[i].rfind(name + ": ", 0) == 0) return DecodedHeaderValue(head, i);
    return std::string("<missing>");
  };
  EXPECT_EQ(value_of("From"), "Jörg Müller <joerg@example.de>");
  EXPECT_EQ(value_of("To"), "Zoë, Ann <zoe@example.com>, bob@example.com");
  EXPECT_EQ(value_of("CC"), "Renée <renee@example.fr>");
  EXPECT_EQ(value_of("Organization"), "Müller & Söhne");
  for (const std::string& l : head) EXPECT_TRUE(IsAsciiText(l)) << l;
  EXPECT_NE(std::find(head.begin(), head.end(), "Content-Type: text/plain; charset=utf-8"), head.end());
}

TEST_F(OutgoingMessage, MultipartOutsideAscii) {
  *msg_.Body = {"Grüße"};
  Attach("a.txt", "abc");
  StringList text = BuildMessageLines(msg_);
  StringList head = HeadOf(text);
  // The head ends with the two multipart lines.
  EXPECT_EQ(head[head.size() - 3], "X-Mailer: Torvane Quillmar 3.61 Final");
  EXPECT_EQ(head[head.size() - 4], "Content-Transfer-Encoding: 8bit");
  std::string wire = JoinLines(text);
  EXPECT_NE(wire.find("\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: 8bit\r\n\r\nGrüße\r\n"),
            std::string::npos);

  // With a line too long for the wire every part is 7-bit again.
  *msg_.Body = {"é" + std::string(1200, 'x')};
  text = BuildMessageLines(msg_);
  head = HeadOf(text);
  EXPECT_EQ(head[head.size() - 4], "Content-Transfer-Encoding: 7bit");
  wire = JoinLines(text);
  EXPECT_NE(wire.find("\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n=C3=A9xxx"),
            std::string::npos);
  for (const std::string& l : text) EXPECT_LE(l.size(), 998u);
}

}  // namespace
}  // namespace qm
