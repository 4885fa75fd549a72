#include "store/sha1.h"

#include <cstring>

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace qm {

namespace {

inline uint32_t Rol(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t LoadBe(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void BlocksPortable(uint32_t* h, const uint8_t* p, size_t count);

#if defined(__x86_64__)
bool HaveShaInstructions() {
  unsigned a, b, c, d;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
  const bool sse41 = (c & (1u << 19)) != 0, ssse3 = (c & (1u << 9)) != 0;
  if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
  return sse41 && ssse3 && (b & (1u << 29)) != 0;
}

// Four rounds with the message schedule of the SHA extensions; `g` is the
// group of four rounds (0..19).
#define QM_SHA1_NI_GROUP(ea, eb, m0, m1, m2, m3, f) \
  ea = _mm_sha1nexte_epu32(ea, m0);                 \
  eb = abcd;                                        \
  m1 = _mm_sha1msg2_epu32(m1, m0);                  \
  abcd = _mm_sha1rnds4_epu32(abcd, ea, f);          \
  m3 = _mm_sha1msg1_epu32(m3, m0);                  \
  m2 = _mm_xor_si128(m2, m0)

__attribute__((target("sha,sse4.1,ssse3"))) void BlocksNi(uint32_t* h, const uint8_t* p, size_t count) {
  const __m128i mask = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
  __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(h)), 0x1B);
  __m128i e0 = _mm_set_epi32(static_cast<int>(h[4]), 0, 0, 0);
  __m128i e1;
  for (; count > 0; --count, p += 64) {
    const __m128i abcd_save = abcd, e0_save = e0;
    __m128i m0 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), mask);
    __m128i m1 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)), mask);
    __m128i m2 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32)), mask);
    __m128i m3 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48)), mask);
    // Rounds 0-11 start the schedule.
    e0 = _mm_add_epi32(e0, m0);
    e1 = abcd;
    abcd = _mm_sha1rnds4_epu32(abcd, e0, 0);
    e1 = _mm_sha1nexte_epu32(e1, m1);
    e0 = abcd;
    abcd = _mm_sha1rnds4_epu32(abcd, e1, 0);
    m0 = _mm_sha1msg1_epu32(m0, m1);
    e0 = _mm_sha1nexte_epu32(e0, m2);
    e1 = abcd;
    abcd = _mm_sha1rnds4_epu32(abcd, e0, 0);
    m1 = _mm_sha1msg1_epu32(m1, m2);
    m0 = _mm_xor_si128(m0, m2);
    // Rounds 12-67.
    QM_SHA1_NI_GROUP(e1, e0, m3, m0, m1, m2, 0);
    QM_SHA1_NI_GROUP(e0, e1, m0, m1, m2, m3, 0);
    QM_SHA1_NI_GROUP(e1, e0, m1, m2, m3, m0, 1);
    QM_SHA1_NI_GROUP(e0, e1, m2, m3, m0, m1, 1);
    QM_SHA1_NI_GROUP(e1, e0, m3, m0, m1, m2, 1);
    QM_SHA1_NI_GROUP(e0, e1, m0, m1, m2, m3, 1);
    QM_SHA1_NI_GROUP(e1, e0, m1, m2, m3, m0, 1);
    QM_SHA1_NI_GROUP(e0, e1, m2, m3, m0, m1, 2);
    QM_SHA1_NI_GROUP(e1, e0, m3, m0, m1, m2, 2);
    QM_SHA1_NI_GROUP(e0, e1, m0, m1, m2, m3, 2);
    QM_SHA1_NI_GROUP(e1, e0, m1, m2, m3, m0, 2);
    QM_SHA1_NI_GROUP(e0, e1, m2, m3, m0, m1, 2);
    QM_SHA1_NI_GROUP(e1, e0, m3, m0, m1, m2, 3);
    QM_SHA1_NI_GROUP(e0, e1, m0, m1, m2, m3, 3);
    // Rounds 68-79 finish it.
    e1 = _mm_sha1nexte_epu32(e1, m1);
    e0 = abcd;
    m2 = _mm_sha1msg2_epu32(m2, m1);
    abcd = _mm_sha1rnds4_epu32(abcd, e1, 3);
    m3 = _mm_xor_si128(m3, m1);
    e0 = _mm_sha1nexte_epu32(e0, m2);
    e1 = abcd;
    m3 = _mm_sha1msg2_epu32(m3, m2);
    abcd = _mm_sha1rnds4_epu32(abcd, e0, 3);
    e1 = _mm_sha1nexte_epu32(e1, m3);
    e0 = abcd;
    abcd = _mm_sha1rnds4_epu32(abcd, e1, 3);

    e0 = _mm_sha1nexte_epu32(e0, e0_save);
    abcd = _mm_add_epi32(abcd, abcd_save);
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(h), _mm_shuffle_epi32(abcd, 0x1B));
  h[4] = static_cast<uint32_t>(_mm_extract_epi32(e0, 3));
}
#undef QM_SHA1_NI_GROUP
#else
bool HaveShaInstructions() { return false; }
#endif

}  // namespace

Sha1::Sha1(bool allow_hardware) {
  static const bool have = HaveShaInstructions();  // a fixed fact of the machine
  hardware_ = allow_hardware && have;
  Reset();
}

void Sha1::Blocks(const uint8_t* p, size_t count) {
#if defined(__x86_64__)
  if (hardware_) {
    BlocksNi(h_, p, count);
    return;
  }
#endif
  BlocksPortable(h_, p, count);
}

void Sha1::Reset() {
  h_[0] = 0x67452301u;
  h_[1] = 0xEFCDAB89u;
  h_[2] = 0x98BADCFEu;
  h_[3] = 0x10325476u;
  h_[4] = 0xC3D2E1F0u;
  total_ = 0;
  buffered_ = 0;
}

namespace {

// The 80-word schedule is kept as a rolling 16-word window.
void BlockPortable(uint32_t* h_, const uint8_t* p) {
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

void BlocksPortable(uint32_t* h, const uint8_t* p, size_t count) {
  for (; count > 0; --count, p += 64) BlockPortable(h, p);
}

}  // namespace

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
    Blocks(buf_, 1);
    buffered_ = 0;
  }
  if (len >= 64) {
    Blocks(p, len / 64);
    p += len & ~size_t(63);
    len &= 63;
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
