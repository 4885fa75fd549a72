#include "platform/text_lines.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

struct SplitCase {
  std::string text;
  StringList lines;
};

TEST(TextLines, SplitsAtEveryLineEndAndStopsAtNul) {
  const SplitCase cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"\n", {""}},
      {std::string("a\nb\0c\nd", 7), {"a", "b"}},
      {"a\n\rb", {"a", "", "b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << "input: " << c.text;
}

TEST(TextLines, JoinPutsCrLfAfterEveryLine) {
  EXPECT_EQ(JoinLines({}), "");
  EXPECT_EQ(JoinLines({""}), "\r\n");
  EXPECT_EQ(JoinLines({"a", "b"}), "a\r\nb\r\n");
  EXPECT_EQ(SplitLines(JoinLines({"x", "", "y"})), (StringList{"x", "", "y"}));
}

}  // namespace
}  // namespace qm
