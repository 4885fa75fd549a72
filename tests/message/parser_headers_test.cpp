// Header fields, encoded words and mailbox texts of received messages.
#include <gtest/gtest.h>

#include "message/internet_dates.h"
#include "message/parse_message.h"
#include "parser_test_support.h"

namespace qm {
namespace {

using ParserHeaders = ParserTest;

TEST_F(ParserHeaders, FieldShapes) {
  struct Case {
    std::string header;
    std::string subject;
  } cases[] = {
      {"Subject: Lunch; today", "Lunch; today"},
      {"Subject:Hello", "Hello"},
      {"subject: lower case key", "lower case key"},
      {"Subject: A long subject\r\n that was folded\r\n\ttwice", "A long subject that was folded\ttwice"},
      {"Subject: =?iso-8859-1?Q?Caf=E9_au_lait?=", "Caf\xC3\xA9 au lait"},
      {"Subject: Re: =?utf-8?B?SGk=?= x", "Re: Hi x"},
      {"Subject: =?UTF-8?B?w6lsw6g=?=\r\n =?UTF-8?Q?ve?=", "\xC3\xA9l\xC3\xA8ve"},
      {"Subject: =?utf-8?q?a?= =?utf-8?q?b?= c =?utf-8?q?d?=", "ab c d"},
      {"Subject: =?koi8-r?B?8NLJ18XU?=", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
      {"Subject: =?x-unknown?Q?caf=C3=A9_=E9?=", "caf\xC3\xA9 \xC3\xA9"},
      {"Subject: =?utf-8?Q?unterminated", "=?utf-8?Q?unterminated"},
      {"Subject: Gr\xFC\xDF" "e", "Gr\xC3\xBC\xC3\x9F" "e"},  // raw Latin-1 read as Windows-1252
      {"Subject: 2 =?us-ascii?X?weird?= words", "2 =?us-ascii?X?weird?= words"},
      {"X-Subject: not this\r\nSubject: this", "this"},
  };
  for (const auto& c : cases) {
    Parse(c.header + "\r\nFrom: a@b\r\n\r\nbody\r\n");
    EXPECT_EQ(msg_.Subject, c.subject) << c.header;
  }
}

TEST_F(ParserHeaders, SenderAndRecipients) {
  struct Case {
    std::string from, whole, name, address;
  } cases[] = {
      {"\"Ann Lee\" <ann@example.org>", "\"Ann Lee\" <ann@example.org>", "Ann Lee", "ann@example.org"},
      {"ann@example.org (Ann Lee)", "ann@example.org (Ann Lee)", "Ann Lee", "ann@example.org"},
      {"<ann@example.org>", "<ann@example.org>", "<ann@example.org>", "ann@example.org"},
      {"ann@example.org", "ann@example.org", "ann@example.org", "ann@example.org"},
      {"Ann<ann@example.org>", "Ann<ann@example.org>", "Ann", "ann@example.org"},
      {"=?utf-8?Q?Ren=C3=A9e?= <r@x.org>", "Ren\xC3\xA9" "e <r@x.org>", "Ren\xC3\xA9" "e", "r@x.org"},
      {"\"Lee, Ann <work>\" <ann@example.org>", "\"Lee, Ann <work>\" <ann@example.org>", "Lee, Ann <work>",
       "ann@example.org"},
      {"'Ann' <ann@example.org> (home)", "'Ann' <ann@example.org> (home)", "Ann", "ann@example.org"},
  };
  for (const auto& c : cases) {
    Parse("From: " + c.from + "\r\n\r\nx\r\n");
    EXPECT_EQ(msg_.From, c.whole) << c.from;
    EXPECT_EQ(msg_.FromName, c.name) << c.from;
    EXPECT_EQ(msg_.FromAddress, c.address) << c.from;
  }

  Parse(Text({"From: a@b", "To: Bob <bob@x.org>,", " Carl <carl@x.org>", "CC: c@x.org; d@x.org",
              "BCC: e@x.org", "Reply-To: =?utf-8?Q?r?= <r@x.org>", "", "x"}));
  EXPECT_EQ(msg_.To, "Bob <bob@x.org>, Carl <carl@x.org>");
  EXPECT_EQ(msg_.CC, "c@x.org; d@x.org");
  EXPECT_EQ(msg_.BCC, "e@x.org");
  EXPECT_EQ(msg_.ReplyTo, "=?utf-8?Q?r?= <r@x.org>");  // addresses are kept as sent
}

TEST_F(ParserHeaders, HeadersBodySizeAndDate) {
  std::string text = Text({"From: a@b", "Subject: s", "Date: Tue, 12 Dec 2000 11:25:32 +0000", "  ",
                           "X-After-Blank-Line: still header", "", "  ", "Body line", "", "last  ", "", ""});
  Parse(text);
  EXPECT_EQ(*msg_.Headers, (StringList{"From: a@b", "Subject: s", "Date: Tue, 12 Dec 2000 11:25:32 +0000", "  ",
                                        "X-After-Blank-Line: still header"}));
  EXPECT_EQ(*msg_.Body, (StringList{"Body line", "", "last"}));
  EXPECT_EQ(msg_.Size, static_cast<int32_t>(text.size()));
  EXPECT_TRUE(msg_.Complete);
  EXPECT_FALSE(msg_.IsHTML);
  EXPECT_EQ(msg_.Date, ParseInternetDate("Tue, 12 Dec 2000 11:25:32 +0000"));

  // Lone LF and CR line ends count two bytes each, as in the joined text.
  Parse("Subject: x\nFrom: y\r\rb");
  EXPECT_EQ(msg_.Size, (10 + 2) + (7 + 2) + (0 + 2) + (1 + 2));
  EXPECT_EQ(*msg_.Body, StringList{"b"});

  // Without an empty line everything is header.
  Parse("Subject: only\r\nFrom: headers\r\n");
  EXPECT_EQ(msg_.Headers->size(), 2u);
  EXPECT_TRUE(msg_.Body->empty());
  EXPECT_EQ(msg_.Subject, "only");

  // A missing Date gives now; a broken one gives 0.
  Parse("Subject: x\r\n\r\nb\r\n");
  EXPECT_NEAR(msg_.Date, Now(), 10.0 / 86400);
  Parse("Date: soon\r\n\r\nb\r\n");
  EXPECT_EQ(msg_.Date, 0.0);
}

TEST(GetHeaderValue, ModesAndCut) {
  StringList lines = {"Content-Type: multipart/mixed;", "\tboundary=\"abc; def\"", "  Subject:NoBlank",
                      "X-Key:  two blanks", "Content-Disposition: attachment; filename=a.pdf"};
  struct Case {
    const char* key;
    TSearchMode mode;
    const char* want;
  } cases[] = {
      {"Content-Type:", AtLineStart, "multipart/mixed"},
      {"content-type:", AnywhereInLine, "multipart/mixed"},
      {"boundary", AnywhereInLine, "\"abc"},  // cut at ";" even inside quotes
      {"Subject:", AtLineStart, "NoBlank"},
      {"X-Key:", AtLineStart, " two blanks"},
      {"filename", AnywhereInLine, "a.pdf"},
      {"Missing:", AtLineStart, ""},
      {"Disposition:", AtLineStart, ""},
      {"Disposition:", AnywhereInLine, "attachment"},
  };
  for (const auto& c : cases) EXPECT_EQ(GetHeaderValue(lines, c.key, c.mode), c.want) << c.key;
}

TEST(GetHeaderParameter, PlainQuotedAndRfc2231) {
  struct Case {
    const char* header;
    const char* name;
    const char* want;
  } cases[] = {
      {"multipart/mixed; boundary=\"a;b\"", "boundary", "a;b"},
      {"multipart/mixed;\tboundary = plain ; x=1", "boundary", "plain"},
      {"text/plain; charset=ISO-8859-1", "charset", "ISO-8859-1"},
      {"attachment; filename*=utf-8''%E2%82%AC%20rates.pdf", "filename", "\xE2\x82\xAC rates.pdf"},
      {"attachment; filename*=iso-8859-1'de'Gr%FC%DFe.txt", "filename", "Gr\xC3\xBC\xC3\x9F" "e.txt"},
      {"attachment; filename*0*=utf-8''part%C3%A9; filename*1=\" two\"; filename*2*=%21.txt", "filename",
       "part\xC3\xA9 two!.txt"},
      {"attachment; filename=\"plain.txt\"; filename*=utf-8''better.txt", "filename", "better.txt"},
      {"attachment; filename=\"a \\\"q\\\" b.txt\"", "filename", "a \"q\" b.txt"},
      {"attachment; xfilename=no.txt", "filename", ""},
      {"text/plain", "charset", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(GetHeaderParameter(c.header, c.name), c.want) << c.header;
}

TEST(GetLinesUntil, MarkerAndEmptyLine) {
  StringList lines = {"a", "--b", "c", "", "d"};
  EXPECT_EQ(GetLinesUntil(lines, "--b", 0), (StringList{"a"}));
  EXPECT_EQ(GetLinesUntil(lines, "--", 2), (StringList{"c", "", "d"}));
  EXPECT_EQ(GetLinesUntil(lines, "", 0), (StringList{"a", "--b", "c"}));
  EXPECT_EQ(GetLinesUntil(lines, "--B", 0), lines);  // case-sensitive
  EXPECT_EQ(GetLinesUntil(lines, "x", 9), StringList{});
}

TEST(MailboxTexts, StripAndQuotes) {
  EXPECT_EQ(StripEnclosing("  <a@b>  ", '<', '>'), "a@b");
  EXPECT_EQ(StripEnclosing("<", '<', '>'), "<");
  EXPECT_EQ(StripEnclosing("<>", '<', '>'), "");
  EXPECT_EQ(RemoveQuotes("\"'x'\""), "x");
  EXPECT_EQ(RemoveQuotes("\"x"), "\"x");
  EXPECT_EQ(GetDisplayName("Bob (the builder"), "the builder");
  EXPECT_EQ(GetEmailAddress("<a@b"), "a@b");
  EXPECT_EQ(GetEmailAddress(""), "");
}

}  // namespace
}  // namespace qm
