#include "shell/text_utils.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(TextUtils, ReplaceAll) {
  EXPECT_EQ(ReplaceAll("a.b.c", ".", "::"), "a::b::c");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll("xyz", "q", "r"), "xyz");
  EXPECT_EQ(ReplaceAll("\n\n", "\n", "\r\n"), "\r\n\r\n");
  // Many replacements in a long text (this was quadratic once).
  std::string big(2000000, '\n');
  EXPECT_EQ(ReplaceAll(big, "\n", "\r\n").size(), 4000000u);
}

TEST(TextUtils, CaseRulesAreAsciiOnly) {
  EXPECT_TRUE(SameTextAscii("Inbox", "INBOX"));
  EXPECT_FALSE(SameTextAscii("\xc3\xa9", "\xc3\x89"));  // é and É are different bytes
  EXPECT_LT(CompareTextAscii("apple", "Banana"), 0);
  EXPECT_EQ(FindTextAscii("Hello World", "WORLD"), 6u);
  EXPECT_EQ(FindTextAscii("abc", "abcd"), std::string::npos);
  EXPECT_EQ(TrimBlanks(" \t x y \r\n"), "x y");
}

}  // namespace
}  // namespace qm
