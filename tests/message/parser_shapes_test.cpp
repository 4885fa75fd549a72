// Whole messages of the shapes mail programs send, and the parser's own
// structural rules.
#include <gtest/gtest.h>

#include <algorithm>

#include "message/attachment_names.h"
#include "message/internet_dates.h"
#include "message/transfer_encodings.h"
#include "platform/file_error.h"
#include "parser_test_support.h"

namespace qm {
namespace {

std::string FixtureBytes(const std::string& name) {
  return ReadFileBytes(std::string(QUILL_FIXTURES_DIR) + "/message/" + name);
}

struct Shape {
  const char* fixture;
  std::string subject;
  std::string from_name;
  std::string from_address;
  bool is_html;
  StringList body;
  StringList attachments;        // names inside AttachmentsDir
  StringList attachment_files;   // fixture files with the expected bytes ("" = not checked)
};

using ParserShapes = ParserTest;

TEST_F(ParserShapes, RealWorldMessages) {
  const std::string dash = "\xE2\x80\x93", mdash = "\xE2\x80\x94";
  const Shape shapes[] = {
      {"thunderbird_alternative.eml", "Caf\xC3\xA9 photos", "Zo\xC3\xAB Martin", "zoe@example.org", true,
       {"<html><body><p>HTML version, caf\xC3\xA9.</p>", "<img src=\"cid:part1.abc@example.org\"></body></html>"},
       {"photo.png"},
       {"thunderbird_photo.png"}},
      {"outlook_related.eml", "Quarterly figures", "Lee, Ann", "ann.lee@corp.example", true,
       {"<html><body><p>Hi Bob " + dash + " figures attached.</p><img src=\"cid:image001.png@01DA\"></body></html>"},
       {"image001.png", "Q1 figures.pdf"},
       {"thunderbird_photo.png", "attachment.pdf"}},
      {"gmail_mixed.eml", "Re: Rechnung M\xC3\xA4rz", "Carl Smith", "carl@example.com", true,
       {"<div dir=\"ltr\">Here is the invoice " + mdash + " thanks!</div>"},
       {"Rechnung M\xC3\xA4rz.pdf"},
       {"attachment.pdf"}},
      {"forwarded_inline.eml", "Original", "Eve Adams", "eve@example.com", false,
       {"Original text, na\xC3\xAFve.", "", "Trailer after the embedded message."},
       {},
       {}},
      {"rfc2231_names.eml", "names", "a@example.org", "a@example.org", false,
       {"Three files."},
       {"\xE2\x82\xAC rates.pdf", "Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln.txt", ".bashrc"},
       {"attachment.pdf", "", ""}},
      {"uuencoded.eml", "picture", "old@example.org", "old@example.org", false,
       {"Text before.", "Text after.", "begin 999 x", "begin abc x"},
       {"pic.gif"},
       {"uuencoded.bin"}},
      {"base64_text.eml", "R\xC3\xA9sum\xC3\xA9", "a@example.org", "a@example.org", false,
       {"Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln", "Zeile zwei"},
       {},
       {}},
      {"latin1_text.eml", "Gr\xC3\xBC\xC3\x9F" "e und K\xC3\xB6ln!", "J\xC3\xB6rg", "j@example.de", false,
       {"Viele Gr\xC3\xBC\xC3\x9F" "e, J\xC3\xB6rg", "", "snake_case stays"},
       {},
       {}},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.fixture);
    std::string text = FixtureBytes(s.fixture);
    Parse(text);
    EXPECT_EQ(msg_.Subject, s.subject);
    EXPECT_EQ(msg_.FromName, s.from_name);
    EXPECT_EQ(msg_.FromAddress, s.from_address);
    EXPECT_EQ(msg_.IsHTML, s.is_html);
    EXPECT_EQ(*msg_.Body, s.body);
    EXPECT_EQ(AttachmentNames(), s.attachments);
    EXPECT_EQ(msg_.HasAttachments, !s.attachments.empty());
    for (size_t i = 0; i < s.attachment_files.size(); ++i)
      if (!s.attachment_files[i].empty()) {
        EXPECT_EQ(Attachment(i), FixtureBytes(s.attachment_files[i])) << i;
      }
    EXPECT_TRUE(msg_.Complete);
    EXPECT_TRUE(Reports().empty());
    for (const auto& p : *msg_.Attachments) RemoveFile(p);
  }
}

TEST_F(ParserShapes, ForwardedInlineMessageReplacesTheRecord) {
  Parse(FixtureBytes("forwarded_inline.eml"));
  EXPECT_EQ(msg_.From, "\"Eve Adams\" <eve@example.com>");
  EXPECT_EQ(msg_.Date, ParseInternetDate("Wed, 6 Mar 2024 12:00:00 +0000"));
  ASSERT_FALSE(msg_.Headers->empty());
  EXPECT_EQ(msg_.Headers->front(), "From: \"Eve Adams\" <eve@example.com>");
  EXPECT_EQ(msg_.Headers->size(), 5u);
}

TEST_F(ParserShapes, NamedTextSavedAndBase64Decoded) {
  Parse(FixtureBytes("rfc2231_names.eml"));
  ASSERT_EQ(msg_.Attachments->size(), 3u);
  EXPECT_EQ(Attachment(1), "hello");
  EXPECT_EQ(Attachment(2), "echo owned\r\n");
  // Nothing escaped the attachments directory.
  EXPECT_FALSE(PathExists(dir_.path() + ".bashrc"));
  EXPECT_FALSE(PathExists(ExtractFilePath(ExcludeTrailingSlash(dir_.path())) + ".bashrc"));
}

TEST_F(ParserShapes, AlternativeTakesTheHtmlPartAlone) {
  Parse(Text({"Content-Type: multipart/alternative; boundary=b", "", "--b", "Content-Type: text/plain", "",
              "plain", "--b", "Content-Type: text/html", "", "<p>html</p>", "--b--"}));
  EXPECT_TRUE(msg_.IsHTML);
  EXPECT_EQ(*msg_.Body, StringList{"<p>html</p>"});
}

TEST_F(ParserShapes, MixedTextAndPdfAttachment) {
  std::string pdf = Base64EncodeBytes("%PDF fake");
  std::string msg = Text({"Content-Type: multipart/mixed; boundary=\"sep\"", "", "preamble is dropped", "--sep",
                          "Content-Type: text/plain", "", "The text.", "", "--sep",
                          "Content-Type: application/pdf; name=\"a.pdf\"", "Content-Transfer-Encoding: base64", "",
                          pdf, "--sep--", "epilogue"});
  Parse(msg);
  EXPECT_EQ(*msg_.Body, StringList{"The text."});
  EXPECT_EQ(AttachmentNames(), StringList{"a.pdf"});
  EXPECT_EQ(Attachment(0), "%PDF fake");
  // The same again while a.pdf exists.
  Parse(msg);
  EXPECT_EQ(AttachmentNames(), StringList{"a (1).pdf"});
}

TEST_F(ParserShapes, SameNameTwiceAndUnderscoresInNames) {
  std::string doc = Base64EncodeBytes("doc");
  Parse(Text({"Content-Type: multipart/mixed; boundary=s", "", "--s", "Content-Type: application/msword",
              "Content-Disposition: attachment; filename=report.doc", "Content-Transfer-Encoding: base64", "", doc,
              "--s", "Content-Type: application/msword", "Content-Disposition: attachment; filename=\"report.doc\"",
              "Content-Transfer-Encoding: base64", "", doc, "--s", "Content-Type: text/plain; name=my_file.txt",
              "Content-Disposition: attachment", "", "notes", "--s",
              "Content-Type: text/plain", "Content-Transfer-Encoding: quoted-printable", "", "snake_case=3Dyes",
              "--s--"}));
  EXPECT_EQ(AttachmentNames(), (StringList{"report.doc", "report (1).doc", "my file.txt"}));
  EXPECT_EQ(*msg_.Body, StringList{"snake_case=yes"});
}

TEST_F(ParserShapes, InlineNamedTextGetsABanner) {
  Parse(Text({"Content-Type: multipart/mixed; boundary=s", "", "--s", "Content-Type: text/html", "", "<b>x</b>",
              "--s", "Content-Type: text/plain; name=log.txt", "Content-Disposition: inline; filename=log.txt", "",
              "log line", "--s--"}));
  EXPECT_FALSE(msg_.IsHTML);  // the inline text part follows the HTML
  EXPECT_EQ(*msg_.Body, (StringList{"<b>x</b>", "", "// ========================================== //",
                                    "Viewing MIME part: log.txt", "Content-Type: text/plain", "Encoding: ",
                                    "// ========================================== //", "", "log line"}));
  EXPECT_EQ(AttachmentNames(), StringList{"log.txt"});
  EXPECT_EQ(Attachment(0), "log line\r\n");
}

TEST_F(ParserShapes, DelimiterWithTrailingBlanksEndsTheParts) {
  Parse(Text({"Content-Type: multipart/mixed; boundary=s", "", "--s", "", "first", "--s  ", "", "second", "--s",
              "", "third", "--s--"}));
  EXPECT_EQ(*msg_.Body, StringList{"first"});
}

TEST_F(ParserShapes, SinglePartShapes) {
  // A message that is one Base64 attachment.
  Parse(Text({"Content-Type: application/zip; name=\"data.zip\"", "Content-Transfer-Encoding: base64", "",
              Base64EncodeBytes("PK zip")}));
  EXPECT_EQ(AttachmentNames(), StringList{"data.zip"});
  EXPECT_EQ(Attachment(0), "PK zip");
  EXPECT_TRUE(msg_.Body->empty());

  // Without any name it is "No name".
  Parse(Text({"Content-Type: application/octet-stream", "Content-Transfer-Encoding: base64", "",
              Base64EncodeBytes("raw")}));
  EXPECT_EQ(AttachmentNames(), StringList{"No name"});

  // A single-part HTML message.
  Parse(Text({"Content-Type: text/html; charset=windows-1252", "", "<p>\x93quoted\x94</p>"}));
  EXPECT_TRUE(msg_.IsHTML);
  EXPECT_EQ(*msg_.Body, StringList{"<p>\xE2\x80\x9Cquoted\xE2\x80\x9D</p>"});

  // A message-level attachment that is not Base64.
  Parse(Text({"Content-Type: text/plain", "Content-Disposition: attachment; filename=\"notes.txt\"", "", "a",
              "b"}));
  EXPECT_EQ(AttachmentNames(), StringList{"notes.txt"});
  EXPECT_EQ(Attachment(0), "a\r\nb\r\n");
  EXPECT_TRUE(msg_.Body->empty());

  // Base64 text marked as an attachment stays an attachment.
  Parse(Text({"Content-Type: text/plain", "Content-Disposition: attachment", "Content-Transfer-Encoding: base64",
              "", Base64EncodeBytes("as file")}));
  EXPECT_EQ(AttachmentNames(), StringList{"No name (1)"});
  EXPECT_EQ(Attachment(0), "as file");
}

TEST_F(ParserShapes, Base64TextPartsBecomeTheBody) {
  Parse(Text({"Content-Type: multipart/alternative; boundary=s", "", "--s",
              "Content-Type: text/plain; charset=iso-8859-1", "Content-Transfer-Encoding: base64", "",
              Base64EncodeBytes("Gr\xFC\xDF" "e"), "--s", "Content-Type: text/html; charset=utf-8",
              "Content-Transfer-Encoding: BASE64", "", Base64EncodeBytes("<p>Gr\xC3\xBC\xC3\x9F" "e</p>"), "--s--"}));
  EXPECT_TRUE(msg_.IsHTML);
  EXPECT_EQ(*msg_.Body, StringList{"<p>Gr\xC3\xBC\xC3\x9F" "e</p>"});
  EXPECT_TRUE(msg_.Attachments->empty());
}

TEST_F(ParserShapes, DeepNestingStaysText) {
  std::string text = "Content-Type: multipart/mixed; boundary=b0x\r\n\r\n";
  const int depth = 80;
  for (int i = 1; i <= depth; ++i)
    text += "--b" + std::to_string(i - 1) + "x\r\nContent-Type: multipart/mixed; boundary=b" + std::to_string(i) +
            "x\r\n\r\n";
  text += "--b" + std::to_string(depth) + "x\r\nContent-Type: text/plain\r\n\r\ndeep\r\n";
  Parse(text);
  ASSERT_FALSE(msg_.Body->empty());
  // Below the nesting limit the remaining parts are kept as text lines.
  EXPECT_NE(std::find(msg_.Body->begin(), msg_.Body->end(), "deep"), msg_.Body->end());
  EXPECT_NE(std::find(msg_.Body->begin(), msg_.Body->end(), "--b60x"), msg_.Body->end());

  std::string inner = "Subject: level 0\r\nContent-Type: text/plain\r\n\r\ncore\r\n";
  for (int i = 1; i <= depth; ++i)
    inner = "Subject: level " + std::to_string(i) + "\r\nContent-Type: multipart/mixed; boundary=m" +
            std::to_string(i) + "\r\n\r\n--m" + std::to_string(i) +
            "\r\nContent-Type: message/rfc822\r\nContent-Disposition: inline\r\n\r\n" + inner + "--m" +
            std::to_string(i) + "--\r\n";
  Parse(inner);
  EXPECT_EQ(msg_.Subject, "level " + std::to_string(depth - 50));
}

TEST_F(ParserShapes, FailedAttachmentsAreReportedAndParsingGoesOn) {
  std::string msg = Text({"Content-Type: multipart/mixed; boundary=s", "", "--s", "Content-Type: text/plain", "",
                          "body stays", "--s", "Content-Type: image/gif; name=a.gif",
                          "Content-Transfer-Encoding: base64", "", "R0lG", "--s",
                          "Content-Type: text/plain; name=b.txt", "", "b", "--s--"});
  std::string uu = Text({"", "text", "begin 644 c.bin", "#8V%T", "end", "more"});
  // A directory that does not exist: no file can be created in it.
  std::string saved = AttachmentsDir;
  AttachmentsDir = dir_.path() + "gone/";
  Parse(msg);
  Parse(uu);
  AttachmentsDir = saved;
  ASSERT_EQ(Reports().size(), 3u);
  EXPECT_EQ(Reports()[0].rfind("When saving a Base64 attachment: '", 0), 0u) << Reports()[0];
  EXPECT_EQ(Reports()[1].rfind("In pnp_AddAttachment (): '", 0), 0u) << Reports()[1];
  EXPECT_EQ(Reports()[2].rfind("When saving a UUE attachment: '", 0), 0u) << Reports()[2];
  EXPECT_TRUE(msg_.Attachments->empty());
  // The UU block that could not be saved stays in the body.
  EXPECT_EQ(*msg_.Body, (StringList{"text", "begin 644 c.bin", "#8V%T", "end", "more"}));
}

TEST_F(ParserShapes, UnreadableFileThrows) {
  cMailMessage m;
  InitMessage(m);
  EXPECT_THROW(ParseMessageFile(dir_.path() + "missing.eml", m), FileError);
  FreeMessage(m);
}

TEST_F(ParserShapes, ExtractUUEAttachmentOneBlockAtATime) {
  StringList body = {"a", "begin 644 one.txt", "#8V%T", "end", "b", "begin 644 two.txt", "#9&]G"};
  EXPECT_TRUE(ExtractUUEAttachment(msg_, body, 0));
  EXPECT_EQ(body, (StringList{"a", "b", "begin 644 two.txt", "#9&]G"}));
  EXPECT_TRUE(ExtractUUEAttachment(msg_, body, 0));  // no "end": to the end of the lines
  EXPECT_EQ(body, (StringList{"a", "b"}));
  EXPECT_FALSE(ExtractUUEAttachment(msg_, body, 0));
  EXPECT_EQ(AttachmentNames(), (StringList{"one.txt", "two.txt"}));
  EXPECT_EQ(Attachment(1), "dog");
  // The decoding leftovers are gone from the temporary directory.
  EXPECT_FALSE(FileExists(TempDir + "one.txt"));
}

TEST_F(ParserShapes, UniqueNamesAndTempFiles) {
  struct Case {
    std::string name, want;
  } cases[] = {
      {"", "No name"},
      {"   ", "No name (1)"},
      {"plain.txt", "plain.txt"},
      {"plain.txt", "plain (1).txt"},
      {"plain.txt", "plain (2).txt"},
      {"archive.tar.gz", "archive.tar.gz"},
      {"archive.tar.gz", "archive.tar (1).gz"},
      {"noext", "noext"},
      {"noext", "noext (1)"},
      {"../../.bashrc", ".bashrc"},
      {".bashrc", ".bashrc (1)"},
      {"C:\\Users\\x\\win.doc", "win.doc"},
      {"a/b/..", "No name (2)"},
      {"tab\there\x01.txt", "tabhere.txt"},
      {"odd..name.txt", "oddname.txt"},
  };
  for (const auto& c : cases) {
    std::string path = MakeUniqueAttachmentPath(c.name);
    EXPECT_EQ(path, AttachmentsDir + c.want) << c.name;
    EXPECT_TRUE(FileExists(path));  // made at once, so no other caller gets it
  }
  std::string long_name = std::string(400, 'x') + ".pdf";
  std::string p = MakeUniqueAttachmentPath(long_name);
  EXPECT_TRUE(FileExists(p));
  EXPECT_EQ(ExtractFileExt(p), ".pdf");

  std::string t1 = MakeTempFileName(), t2 = MakeTempFileName();
  EXPECT_NE(t1, t2);
  EXPECT_EQ(t1.rfind(TempDir + "Temp", 0), 0u);
  EXPECT_EQ(ExtractFileExt(t1), ".tmp");
  EXPECT_TRUE(FileExists(t1));
}

}  // namespace
}  // namespace qm
