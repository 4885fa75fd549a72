// Input that is broken or built to hurt: every byte sequence parses, keeps
// its files inside the attachments directory and survives the stored form.
#include <gtest/gtest.h>

#include <algorithm>

#include "message/transfer_encodings.h"
#include "parser_test_support.h"

namespace qm {
namespace {

using ParserHostile = ParserTest;

void ExpectSound(const cMailMessage& msg) {
  for (const auto& p : *msg.Attachments) {
    EXPECT_EQ(p.rfind(AttachmentsDir, 0), 0u) << p;
    EXPECT_EQ(p.find('/', AttachmentsDir.size()), std::string::npos) << p;
  }
  cMailMessage back;
  ASSERT_NO_THROW(DecodeMessage(EncodeMessage(msg), true, back));
  EXPECT_EQ(back.Body->size(), msg.Body->size());
  EXPECT_EQ(back.Attachments->size(), msg.Attachments->size());
  FreeMessage(back);
}

TEST_F(ParserHostile, BrokenShapes) {
  struct Case {
    const char* what;
    std::string text;
  } cases[] = {
      {"empty file", ""},
      {"only a line end", "\r\n"},
      {"no empty line", "Subject: a\r\nFrom: b"},
      {"NUL bytes", std::string("Subject: a\r\n\r\nbefore\0after\r\n", 27)},
      {"unterminated multipart", "Content-Type: multipart/mixed; boundary=q\r\n\r\n--q\r\nContent-Type: text/plain\r\n"},
      {"boundary never appears", "Content-Type: multipart/mixed; boundary=q\r\n\r\ntext\r\nmore\r\n"},
      {"empty boundary", "Content-Type: multipart/mixed; boundary=\"\"\r\n\r\n--\r\nx\r\n--\r\ny\r\n"},
      {"no boundary", "Content-Type: multipart/mixed\r\n\r\n--\r\n\r\nx\r\n"},
      {"delimiter twice", "Content-Type: multipart/mixed; boundary=q\r\n\r\n--q\r\n--q\r\n--q\r\n"},
      {"base64 junk", "Content-Transfer-Encoding: base64\r\n\r\n!!!*** ==== \x01\x02 abc\r\n"},
      {"UU without end", "\r\nbegin 644 x.bin\r\nM" + std::string(100, '!') + "\r\n"},
      {"UU begin only", "\r\nbegin 644 \r\n"},
      {"UU dots name", "\r\nbegin 644 ..\r\n#8V%T\r\nend\r\n"},
      {"encoded word fragments", "Subject: =?=?=?\?=?Q?=?B?==?utf-8?B?\r\n\r\nx\r\n"},
      {"charset junk", "Subject: =?\x01\xff/..?Q?x?=\r\nContent-Type: text/plain; charset=\"\xff\xfe\"\r\n\r\n\xff\r\n"},
      {"RFC 2231 junk", "Content-Type: multipart/mixed; boundary=q\r\n\r\n--q\r\nContent-Disposition: attachment; "
                        "filename*999*=x; filename*0*='''%%%; filename*=\r\nContent-Transfer-Encoding: base64\r\n\r\nQQ==\r\n--q--\r\n"},
      {"QP cut at the end", "Content-Transfer-Encoding: quoted-printable\r\n\r\nabc=\r\n="},
      {"header made of blanks", "   \r\n\t\r\n\r\n\r\n"},
      {"rfc822 without headers", "Content-Type: multipart/mixed; boundary=q\r\n\r\n--q\r\nContent-Type: message/rfc822\r\n"
                                 "Content-Disposition: inline\r\n\r\n--q--\r\n"},
      {"date of every shape", "Date: ,,(((\r\n\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NO_THROW(Parse(c.text));
    ExpectSound(msg_);
  }
}

TEST_F(ParserHostile, TwentyMegabyteSingleLine) {
  std::string line(20 * 1024 * 1024, 'a');
  Parse("Subject: big\r\n\r\n" + line + "\r\n");
  ASSERT_EQ(msg_.Body->size(), 1u);
  EXPECT_EQ(msg_.Body->front().size(), line.size());
  // The same line as a header and as a part.
  Parse("Subject: " + line + "\r\nContent-Type: multipart/mixed; boundary=q\r\n\r\n--q\r\n\r\n" + line + "\r\n--q--\r\n");
  EXPECT_EQ(msg_.Subject.size(), line.size());
  ASSERT_EQ(msg_.Body->size(), 1u);
}

TEST_F(ParserHostile, ManyUUBlocksAndPartsStayLinear) {
  std::string uu = "Subject: x\r\n\r\n";
  for (int i = 0; i < 1000; ++i) uu += "begin 644 f.bin\r\n#8V%T\r\nend\r\n";
  Parse(uu);
  EXPECT_EQ(msg_.Attachments->size(), 1000u);
  EXPECT_TRUE(msg_.Body->empty());

  std::string parts = "Content-Type: multipart/mixed; boundary=q\r\n\r\n";
  for (int i = 0; i < 20000; ++i) parts += "--q\r\n\r\nline\r\n";
  Parse(parts);
  EXPECT_EQ(msg_.Body->size(), 20000u);
}

TEST_F(ParserHostile, FuzzFindings) {
  std::string dir = std::string(QUILL_FIXTURES_DIR) + "/message/fuzz/";
  auto entries = ListDirectory(dir);
  ASSERT_FALSE(entries.empty());
  for (const auto& e : entries) {
    SCOPED_TRACE(e.name);
    ASSERT_NO_THROW(Parse(ReadFileBytes(dir + e.name)));
    ExpectSound(msg_);
  }
}

}  // namespace
}  // namespace qm
