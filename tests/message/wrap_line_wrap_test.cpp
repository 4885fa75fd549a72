#include <gtest/gtest.h>

#include <random>

#include "message/line_wrap.h"
#include "platform/text_lines.h"
#include "shell/app_paths.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

StringList Wrap(const std::string& text, int width) { return SplitLines(WrapText(text, width)); }

TEST(WrapText, Table) {
  struct Case {
    const char* name;
    std::string text;
    int width;
    StringList lines;
  } cases[] = {
      {"break at a blank", "aaaa bbbb cccc", 10, {"aaaa bbbb ", "cccc "}},
      {"hard cut", "abcdefghijklmno", 10, {"abcdefghi-", "jklmno "}},
      {"quoted paragraph flows on", "> aaaa bbbb cccc\r\n> dddd", 10,
       {"> aaaa ", "> bbbb ", "> cccc ", "> dddd "}},
      {"exactly the width", "abcdefghij", 10, {"abcdefghij"}},
      {"short lines untouched", "a\nb\rc", 10, {"a", "b", "c"}},
      {"empty line stays", "aaaa bbbb cccc\r\n\r\nnext", 10, {"aaaa bbbb ", "cccc ", "", "next"}},
      {"other prefix gets a line of its own", "> aaaa bbbb cccc\r\n>> x", 10,
       {"> aaaa ", "> bbbb ", "> cccc ", ">> x"}},
      {"unquoted overflow joins the next line", "aaaa bbbb cccc\r\ndd", 10,
       {"aaaa bbbb ", "cccc dd"}},
      {"next line that is only the prefix", "> aaaa bbbb cccc\r\n> ", 10,
       {"> aaaa ", "> bbbb ", "> cccc ", "> "}},
      {"break characters", "one-two.three?four\tfive", 8,
       {"one-two.", "three?", "four\t", "five "}},
      {"hyphens", "one-two-three", 6, {"one-", "two-", "three "}},
      {"last break before the width wins", "ab.cd-ef gh", 9, {"ab.cd-ef ", "gh "}},
      {"break inside the prefix does not count", "> > abcdefghijklm", 10,
       {"> > abcde-", "> > fghij-", "> > klm "}},
      {"run of quote marks as long as the width is no prefix", std::string(12, '>'), 12,
       {std::string(12, '>')}},
      {"empty text", "", 10, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Wrap(c.text, c.width), c.lines) << c.name;
}

TEST(WrapText, OverlongQuoteRunIsCutHard) {
  StringList lines = Wrap(std::string(80, '>'), 72);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(71, '>') + "-");
  EXPECT_EQ(lines[1], std::string(9, '>') + " ");
}

TEST(WrapText, EveryLineEndsInCrLf) {
  EXPECT_EQ(WrapText("aaaa bbbb cccc\nx", 10), "aaaa bbbb \r\ncccc x\r\n");
  EXPECT_EQ(WrapText("x", 10), "x\r\n");
}

TEST(GetQuotePrefix, Table) {
  struct Case {
    const char* line;
    int width;
    const char* prefix;
  } cases[] = {
      {"> > text", 72, "> > "}, {">>text", 72, ">>"},   {" > x", 72, " > "},
      {"text > x", 72, ""},     {">>>>", 4, ""},        {">>>", 4, ">>>"},
      {"", 72, ""},             {"> ", 72, "> "},
  };
  for (const Case& c : cases) EXPECT_EQ(GetQuotePrefix(c.line, c.width), c.prefix) << c.line;
}

// Widths where the prefix leaves no room for text must still end, and no
// line may come out longer than the width.
TEST(WrapText, EndsAndKeepsTheWidthForAnyInput) {
  std::mt19937 rng(1234);
  const char alphabet[] = {'>', ' ', '-', 'a', 'b', '.', '\n'};
  for (int round = 0; round < 3000; ++round) {
    int width = 2 + static_cast<int>(rng() % 14);
    std::string text;
    int len = static_cast<int>(rng() % 60);
    for (int i = 0; i < len; ++i) text += alphabet[rng() % sizeof alphabet];
    StringList out = Wrap(text, width);
    std::string kept_in, kept_out;
    for (char ch : text)
      if (ch == 'a' || ch == 'b' || ch == '.') kept_in += ch;
    for (const std::string& line : out) {
      EXPECT_LE(static_cast<int>(line.size()), width) << "'" << text << "' width " << width;
      for (char ch : line)
        if (ch == 'a' || ch == 'b' || ch == '.') kept_out += ch;
    }
    // Text is only moved, never lost or doubled.
    EXPECT_EQ(kept_out, kept_in) << "'" << text << "' width " << width;
  }
}

TEST(WrapText, DeepQuoteOneShortOfTheWidthEnds) {
  std::string prefix = "> > > > ";  // 8 characters, width 9
  StringList lines = Wrap(prefix + "abcdefghijkl", 9);
  for (const std::string& l : lines) EXPECT_LE(l.size(), 9u);
  EXPECT_GT(lines.size(), 1u);
}

TEST(WrapText, TinyWidthsLeaveTheText) {
  EXPECT_EQ(WrapText("abc def", 1), "abc def\r\n");
  EXPECT_EQ(WrapText("abc def", 0), "abc def\r\n");
  EXPECT_EQ(WrapText("abc def", -5), "abc def\r\n");
}

TEST(WrapSettings, WidthAndSwitchComeFromOptions) {
  class TempDir dir;  // the class, not the TempDir location
  InitialisePaths(dir.path());
  EXPECT_FALSE(IsAutoWrapOn());
  std::string long_line(100, 'x');
  // Default width 72.
  EXPECT_EQ(SplitLines(WrapMessageText(long_line))[0].size(), 72u);
  OptionsIni->WriteInteger("Message", "WrapColumnSize", 20);
  OptionsIni->WriteBool("Message", "AutoWrapMessage", true);
  EXPECT_TRUE(IsAutoWrapOn());
  StringList lines = SplitLines(WrapMessageText(long_line));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(19, 'x') + "-");
  ReleaseSettings();
}

}  // namespace
}  // namespace qm
