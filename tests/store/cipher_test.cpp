#include <gtest/gtest.h>

#include <string>

#include "store/qdb_cipher.h"

namespace qm {
namespace {

std::string Hex(const uint8_t* p, size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; ++i) {
    s.push_back(digits[p[i] >> 4]);
    s.push_back(digits[p[i] & 15]);
  }
  return s;
}
std::string Hex(const Sha1Digest& d) { return Hex(d.data(), d.size()); }

TEST(Cipher, CheckValueHashesTheKeyUpToItsFirstZeroByte) {
  struct Case {
    const char* password;
    const char* key;
    const char* check;
  } cases[] = {
      // No zero byte in the key: the check value hashes all 20 bytes.
      {"Quillmar", "be0d9352df46d0952baedc1d67815aa086f3b2e2", "067d8857757f68d5b2740002a90e9045addb22e7"},
      // Key starting with a zero byte: the digest of nothing.
      {"pw142", "007109a744dfe943c19c0c083415ed2a793e511c", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      // First zero byte at position 5: the digest of five bytes.
      {"pw1028", "77b42fcdc9002d5763747388ca7832388893c314", "a588312fe056b2128d6fc91af544363eac137c76"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Hex(PasswordKey(c.password)), c.key) << c.password;
    EXPECT_EQ(Hex(PasswordCheckValue(c.password)), c.check) << c.password;
  }
}

TEST(Cipher, KeystreamUsesWordsThenSingleBytes) {
  uint8_t buf[7] = {};
  ApplyKeystream(buf, sizeof buf, PasswordKey("Quillmar"));
  EXPECT_EQ(Hex(buf, sizeof buf), "0ec9a27015700f");
  // A key whose first byte is zero still feeds all 20 bytes into the stream.
  uint8_t buf2[10] = {};
  ApplyKeystream(buf2, sizeof buf2, PasswordKey(""));
  EXPECT_EQ(Hex(buf2, sizeof buf2), "7b751e829eeccc736580");
}

TEST(Cipher, KeystreamIsItsOwnInverse) {
  std::string plain = "Some message text of an odd length.";
  std::string s = plain;
  QdbKey key = PasswordKey("secret");
  ApplyKeystream(s.data(), s.size(), key);
  EXPECT_NE(s, plain);
  ApplyKeystream(s.data(), s.size(), key);
  EXPECT_EQ(s, plain);
}

TEST(Cipher, SectionsRestartTheStreamEvery524288Bytes) {
  const size_t n = 2 * kQdbCipherChunk + 5;
  std::string s(n, '\0');
  QdbKey key = PasswordKey("chunks");
  ApplyKeystreamToSection(s.data(), n, key);
  EXPECT_EQ(s.substr(kQdbCipherChunk, kQdbCipherChunk), s.substr(0, kQdbCipherChunk));
  EXPECT_EQ(s.substr(2 * kQdbCipherChunk), s.substr(0, 5));
  // One continuous stream would differ after the first chunk.
  std::string whole(n, '\0');
  ApplyKeystream(whole.data(), n, key);
  EXPECT_NE(whole.substr(kQdbCipherChunk, 64), s.substr(kQdbCipherChunk, 64));
}

}  // namespace
}  // namespace qm
