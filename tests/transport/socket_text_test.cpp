#include "transport/lite_socket_text.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(IsIPAddress, AcceptsOnlyFourDecimalNumbersUpTo255) {
  struct Case {
    const char* text;
    bool is_ip;
    unsigned int value;
  };
  const Case cases[] = {
      {"10.0.0.1", true, 0x0A000001u},
      {"127.0.0.1", true, 0x7F000001u},
      {"255.255.255.255", true, 0xFFFFFFFFu},
      {"0.0.0.0", true, 0},
      {"010.001.0.1", true, 0x0A010001u},  // decimal, not octal
      {"10.0.0.256", false, 0},
      {"10.0.0", false, 0},
      {"10.0.0.1.5", false, 0},
      {"10..0.1", false, 0},
      {"10.0.0.", false, 0},
      {".10.0.0.1", false, 0},
      {" 10.0.0.1", false, 0},
      {"10.0.0.1 ", false, 0},
      {"10.0.0.-1", false, 0},
      {"10.0.0.0001", false, 0},
      {"99999999999.0.0.1", false, 0},
      {"mail.example.com", false, 0},
      {"localhost", false, 0},
      {"::1", false, 0},
      {"", false, 0},
  };
  for (const Case& c : cases) {
    unsigned int value = 12345;
    EXPECT_EQ(IsIPAddress(c.text, &value), c.is_ip) << c.text;
    if (c.is_ip) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

TEST(StrToIntSafe, GivesTheDefaultForAnythingButAnInteger) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"3", 3},        {" 42 ", 42},     {"-7", -7},        {"+8", 8},
      {"0", 0},        {"2147483647", 2147483647},          {"2147483648", -1},
      {"", -1},        {"abc", -1},      {"3 5120", -1},    {"12x", -1},
      {"-", -1},       {"1.5", -1},      {"99999999999999999999", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(StrToIntSafe(c.text, -1), c.expected) << "'" << c.text << "'";
}

TEST(SplitReplyLine, SplitsCodeAndText) {
  struct Case {
    const char* line;
    const char* code;
    const char* text;
  };
  const Case cases[] = {
      {"+OK POP3 ready", "+OK", "POP3 ready"},
      {"250-Hello there", "250", "-Hello there"},
      {"354 Start mail input", "354", "Start mail input"},
      {"+OK", "+OK", ""},
      {"-ERR", "", "-ERR"},
      {"-ERR no such message", "", "-ERR no such message"},
      {"250-PIPELINING", "250", "-PIPELINING"},
      {"220", "220", ""},
      {"+OK 3 5120", "+OK", "3 5120"},
      {"250  two blanks", "250", "two blanks"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    std::string code = "junk", text = "junk";
    SplitReplyLine(c.line, code, text);
    EXPECT_EQ(code, c.code) << c.line;
    EXPECT_EQ(text, c.text) << c.line;
  }
}

TEST(FindFirstLineEnd, PrefersCrLfThenLf) {
  size_t n = 99;
  EXPECT_TRUE(FindFirstLineEnd("+OK a\r\nb\n", n));
  EXPECT_EQ(n, 5u);
  EXPECT_TRUE(FindFirstLineEnd("a\nb\r\n", n));
  EXPECT_EQ(n, 3u);  // the CR LF wins even when a lone LF comes first
  EXPECT_TRUE(FindFirstLineEnd("abc\n", n));
  EXPECT_EQ(n, 3u);
  EXPECT_FALSE(FindFirstLineEnd("+OK no end\r", n));
  EXPECT_FALSE(FindFirstLineEnd("", n));
}

}  // namespace
}  // namespace qm
