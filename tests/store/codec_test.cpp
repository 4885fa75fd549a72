#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "store/qdb_codec.h"

namespace qm {
namespace {

std::string Bytes(std::initializer_list<int> v) {
  std::string s;
  for (int b : v) s.push_back(static_cast<char>(b));
  return s;
}

std::string Random(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
}

// Mail-like text: header lines and a body that repeats words.
std::string MailText(size_t n, uint32_t seed) {
  static const char* words[] = {"Received:", "from", "mail.example.org", "by", "Subject:", "Re:",
                                "meeting", "the", "and", "=?utf-8?q?", "Content-Type:", "text/plain;",
                                "\r\n", "charset=\"us-ascii\"", "tomorrow", "regards,"};
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < n) {
    s += words[rng() % 16];
    s += ' ';
  }
  s.resize(n);
  return s;
}

// Encodings worked out by hand from the block rules.
struct Golden {
  const char* name;
  std::string plain;
  std::string body;
};

std::vector<Golden> Goldens() {
  std::string runs;
  for (char c = 'A'; c <= 'Q'; ++c) runs += std::string(16, c);
  std::string runs_body = Bytes({73, 0, 0x40, 0xFF, 0xFF});
  for (char c = 'A'; c <= 'P'; ++c) runs_body += Bytes({0, 0, 0, c});
  runs_body += Bytes({0x80, 0x00, 0, 0, 0, 'Q'});
  return {
      {"empty item has no blocks", "", ""},
      {"two bytes are stored", "ab", Bytes({3, 0, 0x80, 'a', 'b'})},
      {"literals and one reference", "abcabcabc", Bytes({8, 0, 0x40, 0x10, 0x00, 'a', 'b', 'c', 0x00, 0x33})},
      {"run of 100 then literals", std::string(100, 'A') + "xyz",
       Bytes({10, 0, 0x40, 0x80, 0x00, 0x00, 0x00, 84, 'A', 'x', 'y', 'z'})},
      {"output passing the input size is stored", "0123456789ABCDEFG",
       Bytes({18, 0, 0x80}) + "0123456789ABCDEFG"},
      {"seventeen runs open a second control word", runs, runs_body},
  };
}

TEST(Codec, CompressesToTheGoldenBytes) {
  for (const auto& g : Goldens()) {
    EXPECT_EQ(CompressItem(g.plain), g.body) << g.name;
    EXPECT_EQ(ExpandItem(g.body), g.plain) << g.name;
  }
}

TEST(Codec, RandomBlockIsStored) {
  std::string plain = Random(32768, 1);
  std::string body = CompressItem(plain);
  ASSERT_EQ(body.size(), 32771u);
  EXPECT_EQ(static_cast<uint8_t>(body[0]) | (static_cast<uint8_t>(body[1]) << 8), 32769);
  EXPECT_EQ(static_cast<uint8_t>(body[2]), 0x80);
  EXPECT_EQ(body.substr(3), plain);
}

TEST(Codec, LongRunsAreCutAt4095) {
  std::string body = CompressItem(std::string(5000, 'z'));
  // 4095 + 905: two run items in one coded block.
  EXPECT_EQ(body, Bytes({11, 0, 0x40, 0xC0, 0x00, 0x00, 0x0F, 0xEF, 'z', 0x00, 0x03, 0x79, 'z'}));
  EXPECT_EQ(ExpandItem(body), std::string(5000, 'z'));
}

TEST(Codec, BlocksCoverAtMost32768BytesAndStandAlone) {
  std::string plain = MailText(70000, 7);
  std::string body = CompressItem(plain);
  size_t pos = 0, blocks = 0;
  while (pos < body.size()) {
    size_t len = static_cast<uint8_t>(body[pos]) | (static_cast<uint8_t>(body[pos + 1]) << 8);
    std::string block = body.substr(pos, 2 + len);
    // Each block decodes on its own: no reference reaches into the last one.
    size_t plain_len = blocks < 2 ? 32768 : 70000 - 2 * 32768;
    EXPECT_EQ(ExpandItem(block), plain.substr(blocks * 32768, plain_len));
    pos += 2 + len;
    ++blocks;
  }
  EXPECT_EQ(blocks, 3u);
  EXPECT_LT(body.size(), plain.size() / 2);
}

TEST(Codec, RoundTripsAssortedData) {
  std::vector<std::string> inputs = {
      "a", "aa", "aaa", std::string(15, 'q'), std::string(16, 'q'), std::string(4111, 'q'),
      MailText(5000, 2), Random(100000, 3), MailText(32768, 4), MailText(32769, 5),
      std::string(40000, '\0'), Random(300, 6) + std::string(300, 'x') + Random(300, 6)};
  for (int i = 0; i < 20; ++i) {
    std::mt19937 rng(100 + i);
    std::string s;
    size_t n = rng() % 90000;
    while (s.size() < n) {
      if (rng() % 3 == 0) s += std::string(rng() % 40, static_cast<char>(rng() % 4));
      else s += MailText(rng() % 200, rng());
    }
    inputs.push_back(s);
  }
  for (const auto& in : inputs) ASSERT_EQ(ExpandItem(CompressItem(in)), in) << in.size();
}

TEST(Codec, RejectsBrokenBodies) {
  struct Case {
    const char* name;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"lone length byte", Bytes({5})},
      {"block longer than the body", Bytes({9, 0, 0x40, 0x00, 0x00, 'a'})},
      {"reference before the block start", Bytes({5, 0, 0x40, 0x80, 0x00, 0x00, 0x33})},
      {"reference of distance 2 after one byte", Bytes({6, 0, 0x40, 0x40, 0x00, 'a', 0x00, 0x23})},
      {"truncated reference", Bytes({5, 0, 0x40, 0x40, 0x00, 'a', 0x00})},
      {"truncated run", Bytes({5, 0, 0x40, 0x80, 0x00, 0x00, 0x00})},
      {"truncated control word", Bytes({20, 0, 0x40, 0x00, 0x00, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i',
                                        'j', 'k', 'l', 'm', 'n', 'o', 'p', 0x00})},
      {"coded block without control word", Bytes({2, 0, 0x40, 0x00})},
  };
  for (const auto& c : cases) EXPECT_THROW(ExpandItem(c.body), QdbCorruptItem) << c.name;

  // Runs that produce more than one block's worth of output.
  std::string bomb = Bytes({0x40, 0xFF, 0xFF});
  for (int i = 0; i < 9; ++i) bomb += Bytes({0x00, 0x0F, 0xFF, 'x'});
  std::string body = Bytes({static_cast<int>(bomb.size()), 0}) + bomb;
  EXPECT_THROW(ExpandItem(body), QdbCorruptItem);
  // A stored block longer than a block.
  std::string stored(2 + 32770, 'x');
  stored[0] = static_cast<char>(32770 & 0xFF);
  stored[1] = static_cast<char>(32770 >> 8);
  stored[2] = static_cast<char>(0x80);
  EXPECT_THROW(ExpandItem(stored), QdbCorruptItem);
}

TEST(Codec, TinyBlocksYieldNothing) {
  EXPECT_EQ(ExpandItem(Bytes({0, 0})), "");
  EXPECT_EQ(ExpandItem(Bytes({1, 0, 0x40})), "");
  EXPECT_EQ(ExpandItem(Bytes({1, 0, 0x80, 3, 0, 0x80, 'h', 'i'})), "hi");
}

}  // namespace
}  // namespace qm
