// Base64, quoted-printable and UU codecs.
#include <gtest/gtest.h>

#include <sstream>

#include "message/transfer_encodings.h"
#include "platform/file_system.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

std::string Decode64Stream(const std::string& text) {
  std::istringstream in(text);
  std::ostringstream out;
  Base64DecodeStream(in, out);
  return out.str();
}

std::string Encode64Stream(const std::string& data) {
  std::istringstream in(data);
  std::ostringstream out;
  Base64EncodeFile(in, out);
  return out.str();
}

TEST(Base64Decode, SkipsWhatIsNotInTheAlphabet) {
  struct Case {
    const char* text;
    const char* want;
  } cases[] = {
      {"SGVsbG8=", "Hello"},        {"SGVs\r\nbG8=", "Hello"},  {"S G V s b G 8 =", "Hello"},
      {"SGVsbG8", "Hello"},         {"SGVsbA==", "Hell"},       {"SGVsbA", "Hell"},
      {"S", ""},                    {"", ""},                   {"!!SGV*sb#G8=@@", "Hello"},
      {"SGVsbA==SGVsbA==", "Hell\x04\x86V\xc6\xc0"},  // pads do not end the data
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Base64DecodeBytes(c.text), c.want) << c.text;
    EXPECT_EQ(Decode64Stream(c.text), c.want) << c.text;
  }
}

TEST(Base64Encode, LinesOf57Bytes) {
  std::string data;
  for (int i = 0; i < 58; ++i) data.push_back(static_cast<char>(i * 7));
  std::string text = Encode64Stream(data);
  size_t first = text.find("\r\n");
  ASSERT_EQ(first, 76u);
  std::string second = text.substr(78);
  EXPECT_EQ(second.size(), 6u);
  EXPECT_EQ(second.substr(2), "==\r\n");
  EXPECT_EQ(Base64EncodeBytes(data), text);
  EXPECT_EQ(Base64DecodeBytes(text), data);

  EXPECT_EQ(Base64EncodeBytes("Hello"), "SGVsbG8=\r\n");
  EXPECT_EQ(Base64EncodeBytes("Hi"), "SGk=\r\n");
  EXPECT_EQ(Base64EncodeLine("Hello, World"), "SGVsbG8sIFdvcmxk");
  EXPECT_EQ(Base64EncodedLength(5), 8u);
  EXPECT_EQ(Base64EncodedLength(0), 0u);
}

TEST(Base64, RoundTripsAllByteValuesAndLengths) {
  std::string data;
  for (int i = 0; i < 1000; ++i) data.push_back(static_cast<char>((i * 131 + 7) & 0xFF));
  for (size_t n : {0u, 1u, 2u, 3u, 56u, 57u, 58u, 114u, 1000u}) {
    std::string part = data.substr(0, n);
    std::string text = Base64EncodeBytes(part);
    EXPECT_EQ(Decode64Stream(text), part) << n;
    // Every line but the last holds exactly 76 symbols.
    auto lines = SplitLines(text);
    for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 76u);
  }
  // The incremental decoder gives the same bytes however the text is cut.
  std::string text = Base64EncodeBytes(data);
  for (size_t cut : {1u, 3u, 5u, 77u}) {
    cBase64Decoder dec;
    std::string out;
    for (size_t i = 0; i < text.size(); i += cut) dec.Feed(std::string_view(text).substr(i, cut), out);
    dec.Finish(out);
    EXPECT_EQ(out, data) << cut;
  }
}

TEST(QuotedPrintable, Table) {
  struct Case {
    const char* text;
    bool underscores;
    std::string want;
  } cases[] = {
      {"a=3Db", false, "a=b"},
      {"a=3db", false, "a=b"},
      {"a=ZZb", false, "a@b"},
      {"line=\r\nnext", false, "linenext"},
      {"line=\nnext", false, "linenext"},  // a bare LF line end loses no text
      {"A_B", true, "A B"},
      {"A_B", false, "A_B"},
      {"snake_case", false, "snake_case"},
      {"Caf=E9 au lait", true, "Caf\xE9 au lait"},
      {"end=", false, "end"},
      {"end=4", false, "end"},
      {"x=4", false, "x"},
      {"before=00after", false, "before"},  // a decoded NUL ends the text
      {"=C3=A9t=C3=A9", false, "\xC3\xA9t\xC3\xA9"},
      {"", false, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeQuotedPrintable(c.text, c.underscores), c.want) << c.text;
}

TEST(UUDecode, LinesAndCounts) {
  struct Case {
    std::string line;
    std::string want;
  } cases[] = {
      {"#8V%T", "cat"},
      {"", ""},
      {"!80``", "a"},
      {"$86)C9```", "abcd"},
      // 45 bytes in 60 symbols.
      {"M" + std::string(60, '`'), std::string(45, '\0')},
      // A count of 45 over a short line: missing symbols are zero bits.
      {"M86)C", "abc" + std::string(42, '\0')},
  };
  for (const auto& c : cases) {
    std::string out;
    UUDecodeLine(c.line, out);
    EXPECT_EQ(out, c.want) << c.line;
  }
  std::string out;
  UUDecodeLine("#~~~~", out);  // outside the alphabet: six one-bits
  EXPECT_EQ(out, "\xff\xff\xff");
}

TEST(UUDecode, BlockIntoFile) {
  TempDir dir;
  StringList lines = {"begin 644 cat.txt", "#8V%T", "", "`", "#9&]G", "end"};
  std::string path = UUDecodeBlock(lines, dir.path());
  EXPECT_EQ(path, dir.path() + "cat.txt");
  EXPECT_EQ(ReadFileBytes(path), "cat");  // stops at the grave accent line

  // No "end": all decoded lines still give the file; an existing file is replaced.
  std::string again = UUDecodeBlock(StringList{"BEGIN 600 cat.txt", "#8V%T", "#9&]G"}, dir.path());
  EXPECT_EQ(ReadFileBytes(again), "catdog");

  EXPECT_EQ(UUDecodeBlock(StringList{"no block", "#8V%T"}, dir.path()), "");
  // A name with directories stays inside the directory.
  std::string inside = UUDecodeBlock(StringList{"begin 644 ../../evil.sh", "#8V%T"}, dir.path());
  EXPECT_EQ(inside, dir.path() + "evil.sh");
  // The file cannot be created: an exception for the caller.
  EXPECT_THROW(UUDecodeBlock(StringList{"begin 644 x", "#8V%T"}, dir.path() + "missing/"), std::exception);
}

}  // namespace
}  // namespace qm
