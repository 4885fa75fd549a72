#include "store/qdb_cipher.h"

#include <cstring>

namespace qm {

QdbKey PasswordKey(std::string_view password) { return Sha1Of(password); }

Sha1Digest PasswordCheckValue(std::string_view password) {
  QdbKey k = PasswordKey(password);
  size_t n = 0;
  while (n < k.size() && k[n] != 0) ++n;
  return Sha1Of(std::string_view(reinterpret_cast<const char*>(k.data()), n));
}

void ApplyKeystream(void* buffer, size_t length, const QdbKey& key) {
  uint32_t s = 0;
  for (int i = 0; i < 5; ++i) {
    s ^= uint32_t(key[4 * i]) | (uint32_t(key[4 * i + 1]) << 8) | (uint32_t(key[4 * i + 2]) << 16) |
         (uint32_t(key[4 * i + 3]) << 24);
  }
  uint8_t* p = static_cast<uint8_t*>(buffer);
  size_t words = length / 4;
  for (size_t w = 0; w < words; ++w, p += 4) {
    s = s * 1664525u + 1013904223u;
    uint32_t v;
    std::memcpy(&v, p, 4);
    // The format is little-endian; so is every host this builds for.
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__);
    v ^= s;
    std::memcpy(p, &v, 4);
  }
  for (size_t r = 0; r < length % 4; ++r, ++p) {
    s = s * 1664525u + 1013904223u;
    *p ^= static_cast<uint8_t>(s);
  }
}

void ApplyKeystreamToSection(void* buffer, size_t length, const QdbKey& key) {
  uint8_t* p = static_cast<uint8_t*>(buffer);
  for (size_t done = 0; done < length; done += kQdbCipherChunk) {
    size_t n = length - done < kQdbCipherChunk ? length - done : kQdbCipherChunk;
    ApplyKeystream(p + done, n, key);
  }
}

}  // namespace qm
