#include <gtest/gtest.h>

#include <string>

#include "store/sha1.h"

namespace qm {
namespace {

std::string Hex(const Sha1Digest& d) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (uint8_t b : d) {
    s.push_back(digits[b >> 4]);
    s.push_back(digits[b & 15]);
  }
  return s;
}

TEST(Sha1, MatchesTheStandardVectors) {
  struct Case {
    std::string input;
    const char* digest;
  } cases[] = {
      {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
      // Lengths around the padding boundary (55, 56, 64 bytes).
      {std::string(55, 'x'), "cef734ba81a024479e09eb5a75b6ddae62e6abf1"},
      {std::string(56, 'x'), "901305367c259952f4e7af8323f480d59f81335b"},
      {std::string(64, 'x'), "bb2fa3ee7afb9f54c6dfb5d021f14b1ffe40c163"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Hex(Sha1Of(c.input)), c.digest) << c.input.size();
    // The portable rounds, whatever the processor offers.
    Sha1 portable(false);
    portable.Update(c.input);
    EXPECT_EQ(Hex(portable.Final()), c.digest) << c.input.size() << " portable";
  }
}

TEST(Sha1, PiecewiseUpdatesGiveTheSameDigest) {
  std::string data;
  for (int i = 0; i < 300; ++i) data.push_back(static_cast<char>(i * 7));
  for (size_t total : {0u, 1u, 55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u, 300u}) {
    std::string part = data.substr(0, total);
    Sha1Digest whole = Sha1Of(part);
    for (size_t piece : {1u, 3u, 63u, 64u, 100u, 200u}) {
      Sha1 s(piece % 2 == 0);
      for (size_t pos = 0; pos < part.size(); pos += piece) s.Update(part.substr(pos, piece));
      EXPECT_EQ(s.Final(), whole) << total << " in pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace qm
