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

// The walk written out plainly: cut line i, then put the rest into line i+1
// or a new line after it, re-reading the list as it grows.
std::string ReferenceWrap(const std::string& text, int width) {
  StringList lines = SplitLines(text);
  const size_t w = static_cast<size_t>(width);
  auto prefix_of = [&](const std::string& line) {
    std::string p = GetQuotePrefix(line, width);
    return static_cast<int>(p.size()) >= width - 1 ? std::string() : p;
  };
  auto is_break = [](char c) { return c == '\t' || c == ' ' || c == '-' || c == '.' || c == '?'; };
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() <= w) continue;
    std::string line = lines[i];
    const std::string prefix = prefix_of(line);
    std::string rest;
    size_t col = w;
    while (col > prefix.size() && !is_break(line[col - 1])) --col;
    if (col > prefix.size()) {
      rest = line.substr(col);
      lines[i] = line.substr(0, col);
    } else {
      rest = line.substr(w - 1);
      lines[i] = line.substr(0, w - 1) + "-";
    }
    if (rest.empty() || rest.back() != ' ') rest += ' ';
    if (i + 1 == lines.size()) {
      lines.push_back(prefix + rest);
    } else if (prefix_of(lines[i + 1]) == prefix && lines[i + 1].size() > prefix.size()) {
      lines[i + 1].insert(prefix.size(), rest);
    } else {
      lines.insert(lines.begin() + static_cast<long>(i) + 1, prefix + rest);
    }
  }
  return JoinLines(lines);
}

TEST(WrapText, SameAsThePlainWalk) {
  std::mt19937 rng(99);
  const char alphabet[] = {'>', '>', ' ', ' ', ' ', '-', '.', '?', '\t', 'a', 'b', 'c', 'd', '\n'};
  for (int round = 0; round < 3000; ++round) {
    int width = 2 + static_cast<int>(rng() % 30);
    std::string text;
    int len = static_cast<int>(rng() % (round % 10 == 0 ? 3000 : 200));
    for (int i = 0; i < len; ++i) text += alphabet[rng() % sizeof alphabet];
    ASSERT_EQ(WrapText(text, width), ReferenceWrap(text, width)) << "'" << text << "' width " << width;
  }
}

TEST(WrapText, LongParagraphFlowsThroughTheFollowingLines) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "word" + std::to_string(i) + (i % 7 ? " " : ". ");
  text += "\r\nnext line\r\n> > quoted " + std::string(500, 'q') + "\r\n> > more\r\n\r\nend";
  for (int width : {72, 20, 5})
    EXPECT_EQ(WrapText(text, width), ReferenceWrap(text, width)) << width;
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
