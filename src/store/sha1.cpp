#include "store/sha1.h"

#include <cstring>

namespace qm {

namespace {

inline uint32_t Rol(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t LoadBe(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

}  // namespace

void Sha1::Reset() {
  h_[0] = 0x67452301u;
  h_[1] = 0xEFCDAB89u;
  h_[2] = 0x98BADCFEu;
  h_[3] = 0x10325476u;
  h_[4] = 0xC3D2E1F0u;
  total_ = 0;
  buffered_ = 0;
}

// The 80-word schedule is kept as a rolling 16-word window.
void Sha1::Block(const uint8_t* p) {
  uint32_t w[16];
  for (int i = 0; i < 16; ++i) w[i] = LoadBe(p + 4 * i);
  uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4];

#define QM_SHA1_W(i) (w[(i) & 15] = Rol(w[((i) + 13) & 15] ^ w[((i) + 8) & 15] ^ w[((i) + 2) & 15] ^ w[(i) & 15], 1))
#define QM_SHA1_STEP(f, k, wi)                      \
  do {                                              \
    uint32_t t = Rol(a, 5) + (f) + e + (k) + (wi);  \
    e = d;                                          \
    d = c;                                          \
    c = Rol(b, 30);                                 \
    b = a;                                          \
    a = t;                                          \
  } while (0)

  for (int i = 0; i < 16; ++i) QM_SHA1_STEP((b & c) | (~b & d), 0x5A827999u, w[i]);
  for (int i = 16; i < 20; ++i) QM_SHA1_STEP((b & c) | (~b & d), 0x5A827999u, QM_SHA1_W(i));
  for (int i = 20; i < 40; ++i) QM_SHA1_STEP(b ^ c ^ d, 0x6ED9EBA1u, QM_SHA1_W(i));
  for (int i = 40; i < 60; ++i) QM_SHA1_STEP((b & c) | (b & d) | (c & d), 0x8F1BBCDCu, QM_SHA1_W(i));
  for (int i = 60; i < 80; ++i) QM_SHA1_STEP(b ^ c ^ d, 0xCA62C1D6u, QM_SHA1_W(i));
#undef QM_SHA1_STEP
#undef QM_SHA1_W

  h_[0] += a;
  h_[1] += b;
  h_[2] += c;
  h_[3] += d;
  h_[4] += e;
}

void Sha1::Update(const void* data, size_t len) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  total_ += len;
  if (buffered_ > 0) {
    size_t take = 64 - buffered_;
    if (take > len) take = len;
    std::memcpy(buf_ + buffered_, p, take);
    buffered_ += take;
    p += take;
    len -= take;
    if (buffered_ < 64) return;
    Block(buf_);
    buffered_ = 0;
  }
  while (len >= 64) {
    Block(p);
    p += 64;
    len -= 64;
  }
  if (len > 0) {
    std::memcpy(buf_, p, len);
    buffered_ = len;
  }
}

Sha1Digest Sha1::Final() {
  uint64_t bits = total_ * 8;
  uint8_t pad[128] = {0x80};
  size_t padlen = (buffered_ < 56) ? 56 - buffered_ : 120 - buffered_;
  for (int i = 0; i < 8; ++i) pad[padlen + i] = static_cast<uint8_t>(bits >> (56 - 8 * i));
  Update(pad, padlen + 8);
  Sha1Digest out;
  for (int i = 0; i < 5; ++i) {
    out[4 * i] = static_cast<uint8_t>(h_[i] >> 24);
    out[4 * i + 1] = static_cast<uint8_t>(h_[i] >> 16);
    out[4 * i + 2] = static_cast<uint8_t>(h_[i] >> 8);
    out[4 * i + 3] = static_cast<uint8_t>(h_[i]);
  }
  return out;
}

Sha1Digest Sha1Of(std::string_view data) {
  Sha1 s;
  s.Update(data);
  return s.Final();
}

}  // namespace qm
