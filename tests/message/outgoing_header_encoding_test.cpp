#include <gtest/gtest.h>

#include "message/header_encoding.h"
#include "message/transfer_encodings.h"
#include "outgoing_test_support.h"

namespace qm {
namespace {

using outgoing_test::DecodedHeaderValue;
using outgoing_test::IsValidUtf8;

std::string Repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// Every line within 76 characters, continuation lines start with a blank,
// every word at most 75 characters and whole characters on its own.
void ExpectWellFormed(const StringList& lines, const std::string& what) {
  ASSERT_FALSE(lines.empty()) << what;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    EXPECT_LE(l.size(), kFoldedLineLimit) << what << " line " << i << ": " << l;
    if (i > 0) {
      EXPECT_EQ(l[0], ' ') << what;
    }
    EXPECT_TRUE(IsAsciiText(l)) << what;
    for (size_t p = l.find("=?"); p != std::string::npos; p = l.find("=?", p + 2)) {
      size_t end = l.find("?=", p + 10);
      ASSERT_NE(end, std::string::npos) << what << ": " << l;
      EXPECT_LE(end + 2 - p, kEncodedWordLimit) << what;
      EXPECT_TRUE(IsValidUtf8(Base64DecodeBytes(l.substr(p + 10, end - p - 10)))) << what << ": " << l;
      p = end;
    }
  }
}

TEST(OutgoingTextHeader, AsciiIsWrittenAsItStands) {
  EXPECT_EQ(EncodeTextHeader("Subject", "Hello there"), StringList{"Subject: Hello there"});
  EXPECT_EQ(EncodeTextHeader("Subject", ""), StringList{"Subject: "});
  std::string long_ascii(1200, 'x');
  EXPECT_EQ(EncodeTextHeader("Subject", long_ascii), StringList{"Subject: " + long_ascii});
}

TEST(OutgoingTextHeader, TextOutsideAsciiBecomesFoldedWords) {
  const std::string cases[] = {
      "Grüße",
      "Re: Überraschung — Feier am Freitag",
      Repeat("ü", 200),
      Repeat("\xF0\x9F\x8E\x89", 40),  // four-byte characters
      "a" + Repeat("\xE2\x82\xAC", 60) + " b",
      "  blanks at both ends  é ",
  };
  for (const std::string& value : cases) {
    StringList lines = EncodeTextHeader("Subject", value);
    ExpectWellFormed(lines, value);
    EXPECT_EQ(lines[0].rfind("Subject: =?utf-8?B?", 0), 0u) << value;
    EXPECT_EQ(DecodedHeaderValue(lines, 0), value);
  }
  EXPECT_EQ(EncodeTextHeader("Subject", "Grüße").size(), 1u);
  EXPECT_GT(EncodeTextHeader("Subject", Repeat("ü", 200)).size(), 4u);
}

TEST(OutgoingAddressHeader, DisplayNamesAreEncodedAddressesAreNot) {
  struct Case {
    std::string value;
    std::string decoded;
    std::vector<std::string> literal;  // must appear unencoded
  } cases[] = {
      {"Jörg Müller <joerg@example.de>", "Jörg Müller <joerg@example.de>", {"<joerg@example.de>"}},
      {"\"Müller, Hans\" <h@x.example>, plain@y.example", "Müller, Hans <h@x.example>, plain@y.example",
       {"<h@x.example>,", "plain@y.example"}},
      {"Ann <ann@a.example>, Zoë <zoe@b.example>", "Ann <ann@a.example>, Zoë <zoe@b.example>",
       {"Ann <ann@a.example>,", "<zoe@b.example>"}},
      {"joerg@example.de (Jörg)", "joerg@example.de (Jörg)", {"joerg@example.de"}},
      {"Zoë<zoe@b.example>", "Zoë <zoe@b.example>", {"<zoe@b.example>"}},
  };
  for (const Case& c : cases) {
    StringList lines = EncodeAddressHeader("To", c.value);
    ExpectWellFormed(lines, c.value);
    EXPECT_EQ(DecodedHeaderValue(lines, 0), c.decoded);
    std::string joined;
    for (const std::string& l : lines) joined += l + "\n";
    for (const std::string& lit : c.literal) EXPECT_NE(joined.find(lit), std::string::npos) << lit;
  }
}

TEST(OutgoingAddressHeader, LongListsFoldBetweenAddresses) {
  std::string value;
  for (int i = 0; i < 12; ++i) {
    if (i) value += ", ";
    value += "Renée Dupont-" + std::to_string(i) + " <renee" + std::to_string(i) + "@example.fr>";
  }
  StringList lines = EncodeAddressHeader("To", value);
  ExpectWellFormed(lines, "list");
  EXPECT_GT(lines.size(), 3u);
  EXPECT_EQ(DecodedHeaderValue(lines, 0), value);
  // No address is cut over two lines.
  for (const std::string& l : lines)
    if (size_t lt = l.find('<'); lt != std::string::npos) {
      EXPECT_NE(l.find('>', lt), std::string::npos) << l;
    }
}

TEST(OutgoingAddressHeader, AsciiListsStayAsTyped) {
  std::string value = "\"Bloggs, Joe\" <joe@example.com>,ann@example.com ,  , x";
  EXPECT_EQ(EncodeAddressHeader("CC", value), StringList{"CC: " + value});
}

TEST(OutgoingQuotedPrintable, Table) {
  struct Case {
    std::string line;
    StringList encoded;
  } cases[] = {
      {"plain text", {"plain text"}},
      {"", {""}},
      {"a=b", {"a=3Db"}},
      {"trailing ", {"trailing=20"}},
      {"tab\t", {"tab=09"}},
      {"inner blanks stay", {"inner blanks stay"}},
      {"Grüße", {"Gr=C3=BC=C3=9Fe"}},
      {std::string("nul\x01") + "\x7f", {"nul=01=7F"}},
  };
  for (const Case& c : cases) EXPECT_EQ(QuotedPrintableEncodeLines({c.line}), c.encoded) << c.line;
}

TEST(OutgoingQuotedPrintable, LongLinesGetSoftBreaksAndDecodeBack) {
  StringList body = {Repeat("é", 700), Repeat("a", 2000), "short", Repeat("x=y ", 300), ""};
  StringList encoded = QuotedPrintableEncodeLines(body);
  for (const std::string& l : encoded) {
    EXPECT_LE(l.size(), kFoldedLineLimit);
    EXPECT_TRUE(IsAsciiText(l));
    EXPECT_TRUE(l.empty() || (l.back() != ' ' && l.back() != '\t')) << l;
  }
  EXPECT_EQ(DecodeQuotedPrintable(JoinLines(encoded), false), JoinLines(body));
}

TEST(OutgoingParameter, Table) {
  struct Case {
    std::string value;
    std::string encoded;
  } cases[] = {
      {"notes.txt", "name=\"notes.txt\""},
      {"my notes (1).txt", "name=\"my notes (1).txt\""},
      {"Grüße.txt", "name*=utf-8''Gr%C3%BC%C3%9Fe.txt"},
      {"say \"hi\".txt", "name*=utf-8''say%20%22hi%22.txt"},
      {"back\\slash", "name*=utf-8''back%5Cslash"},
      {"100%.txt", "name=\"100%.txt\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeParameter("name", c.value), c.encoded) << c.value;
    EXPECT_EQ(NeedsParameterEncoding(c.value), c.encoded.find("*=") != std::string::npos) << c.value;
  }
}

}  // namespace
}  // namespace qm
