#include "transport/lite_pop3_unstuffer.h"

#include <gtest/gtest.h>

#include <sstream>

namespace qm {
namespace {

struct Case {
  const char* name;
  std::string wire;    // what follows the status line, end marker included
  std::string stored;  // what the stream must hold
};

const Case kCases[] = {
    {"plain", "Subject: a\r\n\r\nbody\r\n.\r\n", "Subject: a\r\n\r\nbody"},
    {"stuffed line", "A\r\n..dot\r\nB\r\n.\r\n", "A\r\n.dot\r\nB"},
    {"stuffed single period", "A\r\n..\r\nB\r\n.\r\n", "A\r\n.\r\nB"},
    {"three periods", "...x\r\n.\r\n", "..x"},
    {"stuffed first line", "..first\r\n.\r\n", ".first"},
    {"stuffed last line", "A\r\n..\r\n.\r\n", "A\r\n."},
    {"period inside a line", "a.b\r\n x.\r\n.\r\n", "a.b\r\n x."},
    {"empty lines kept", "A\r\n\r\n\r\nB\r\n\r\n.\r\n", "A\r\n\r\n\r\nB\r\n"},
    {"empty message", ".\r\n", ""},
    {"lone LF lines", "A\n..b\nC\r\n.\r\n", "A\n.b\nC"},
    // After a lone LF, a period line is text, not the end marker.
    {"period after lone LF", "A\n.\r\nB\r\n.\r\n", "A\n.\r\nB"},
    {"period then CR", "A\r\n.\rX\r\n.\r\n", "A\r\n\rX"},
    {"bare CR kept", "a\rb\r\n.\r\n", "a\rb"},
    {"bytes after the marker ignored", "A\r\n.\r\n+OK next\r\n", "A"},
    {"binary bytes", std::string("\x00\xff\r\n..\x01\r\n.\r\n", 12), std::string("\x00\xff\r\n.\x01", 6)},
};

std::string FeedInPieces(const std::string& wire, const std::vector<size_t>& cuts, bool& done) {
  std::ostringstream out;
  PopDataUnstuffer u(out);
  size_t from = 0;
  done = false;
  for (size_t cut : cuts) {
    if (u.Feed(std::string_view(wire).substr(from, cut - from))) done = true;
    from = cut;
  }
  if (u.Feed(std::string_view(wire).substr(from))) done = true;
  return out.str();
}

TEST(PopDataUnstuffer, StoredTextIsTheSameHoweverTheDataIsCut) {
  for (const Case& c : kCases) {
    const std::string& w = c.wire;
    bool done = false;
    EXPECT_EQ(FeedInPieces(w, {}, done), c.stored) << c.name << " (whole)";
    EXPECT_TRUE(done) << c.name;
    for (size_t a = 1; a < w.size(); ++a) {
      EXPECT_EQ(FeedInPieces(w, {a}, done), c.stored) << c.name << " cut at " << a;
      EXPECT_TRUE(done) << c.name << " cut at " << a;
      for (size_t b = a + 1; b < w.size(); ++b) {
        ASSERT_EQ(FeedInPieces(w, {a, b}, done), c.stored) << c.name << " cut at " << a << "," << b;
        ASSERT_TRUE(done);
      }
    }
    std::vector<size_t> every;
    for (size_t i = 1; i < w.size(); ++i) every.push_back(i);
    EXPECT_EQ(FeedInPieces(w, every, done), c.stored) << c.name << " byte by byte";
  }
}

TEST(PopDataUnstuffer, UnfinishedDataIsNotDoneAndCanBeFlushed) {
  const struct {
    std::string wire;
    std::string flushed;
  } cases[] = {
      {"A\r\n.", "A\r\n."},       // the marker's start only
      {"A\r\n.\r", "A\r\n.\r"},
      {"A\r\nB\r", "A\r\nB\r"},
      {"A\r\n", "A\r\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    PopDataUnstuffer u(out);
    EXPECT_FALSE(u.Feed(c.wire)) << c.wire;
    EXPECT_FALSE(u.Done());
    u.FlushHeld();
    EXPECT_EQ(out.str(), c.flushed);
  }
}

TEST(PopDataUnstuffer, HoldsBackOnlyAFewBytesOfALongLine) {
  std::ostringstream out;
  PopDataUnstuffer u(out);
  std::string big(1 << 20, 'q');
  EXPECT_FALSE(u.Feed(big));
  EXPECT_EQ(out.str().size(), big.size()) << "a line without an end still goes straight through";
  EXPECT_EQ(u.BytesFed(), static_cast<int64_t>(big.size()));
  EXPECT_TRUE(u.Feed("\r\n.\r\n"));
  EXPECT_EQ(out.str().size(), big.size());
}

}  // namespace
}  // namespace qm
