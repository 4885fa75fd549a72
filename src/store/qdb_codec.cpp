#include "store/qdb_codec.h"

#include <cstdint>
#include <cstring>

namespace qm {

namespace {

constexpr uint16_t kEmptySlot = 0xFFFF;
constexpr uint8_t kCodedBlock = 0x40;
constexpr uint8_t kStoredBlock = 0x80;
// A coded block may pass the input size by six bytes in its last step.
constexpr size_t kEncodeSlack = 8;

// Encodes one block of n <= 32,768 bytes into out (room for n + kEncodeSlack)
// and returns the block's length.
size_t EncodeBlock(const uint8_t* in, size_t n, uint8_t* out) {
  uint16_t table[4096];
  std::memset(table, 0xFF, sizeof table);
  out[0] = kCodedBlock;
  size_t cw = 1, o = 3, i = 0;
  unsigned g = 0;
  uint16_t bits = 0;
  while (i < n && o <= n) {
    if (g == 16) {
      out[cw] = static_cast<uint8_t>(bits >> 8);
      out[cw + 1] = static_cast<uint8_t>(bits);
      cw = o;
      o += 2;
      g = 0;
    }
    const uint8_t c = in[i];
    size_t run_max = n - i < 4095 ? n - i : 4095;
    size_t r = 1;
    while (r < run_max && in[i + r] == c) ++r;
    if (r >= 16) {
      out[o] = 0;
      out[o + 1] = static_cast<uint8_t>((r - 16) >> 8);
      out[o + 2] = static_cast<uint8_t>(r - 16);
      out[o + 3] = c;
      i += r;
      o += 4;
      bits = static_cast<uint16_t>((bits << 1) | 1);
    } else {
      bool copied = false;
      if (i + 2 < n) {
        uint32_t h = ((((uint32_t(c) << 4) ^ in[i + 1]) << 4 ^ in[i + 2]) * 40543u >> 4) & 0xFFF;
        uint16_t p = table[h];
        table[h] = static_cast<uint16_t>(i);
        if (p != kEmptySlot && i - p < 4096) {
          size_t lim = n - i < 18 ? n - i : 18;
          size_t m = 0;
          while (m < lim && in[i + m] == in[p + m]) ++m;
          if (m >= 3) {
            uint32_t v = uint32_t(i - p) * 16 + uint32_t(m - 3);
            out[o] = static_cast<uint8_t>(v >> 8);
            out[o + 1] = static_cast<uint8_t>(v);
            i += m;
            o += 2;
            bits = static_cast<uint16_t>((bits << 1) | 1);
            copied = true;
          }
        }
      }
      if (!copied) {
        out[o++] = c;
        ++i;
        bits = static_cast<uint16_t>(bits << 1);
      }
    }
    ++g;
  }
  bits = static_cast<uint16_t>(bits << (16 - g));
  out[cw] = static_cast<uint8_t>(bits >> 8);
  out[cw + 1] = static_cast<uint8_t>(bits);
  if (o > n) {
    out[0] = kStoredBlock;
    std::memcpy(out + 1, in, n);
    return n + 1;
  }
  return o;
}

[[noreturn]] void Corrupt(const char* why) { throw QdbCorruptItem(why); }

// Decodes one block b[0..len-1] to out (room for kQdbCodecBlock bytes);
// returns the number of bytes produced.
size_t DecodeBlock(const uint8_t* b, size_t len, uint8_t* out) {
  if (len <= 1) return 0;
  if (b[0] == kStoredBlock) {
    if (len - 1 > kQdbCodecBlock) Corrupt("stored block too long");
    std::memcpy(out, b + 1, len - 1);
    return len - 1;
  }
  if (len < 3) Corrupt("coded block without control word");
  unsigned w = (unsigned(b[1]) << 8) | b[2];
  unsigned k = 16;
  size_t j = 3, o = 0;
  while (j < len) {
    if (k == 0) {
      if (j + 2 > len) Corrupt("truncated control word");
      w = (unsigned(b[j]) << 8) | b[j + 1];
      j += 2;
      k = 16;
      if (j >= len) break;
    }
    if ((w & 0x8000) == 0) {
      if (o >= kQdbCodecBlock) Corrupt("block output too long");
      out[o++] = b[j++];
    } else {
      if (j + 2 > len) Corrupt("truncated copy item");
      unsigned d = (unsigned(b[j]) << 4) | (b[j + 1] >> 4);
      if (d != 0) {
        size_t n = (b[j + 1] & 0x0F) + 3;
        if (d > o) Corrupt("reference before the block start");
        if (o + n > kQdbCodecBlock) Corrupt("block output too long");
        const uint8_t* src = out + o - d;
        uint8_t* dst = out + o;
        if (d >= n) {
          std::memcpy(dst, src, n);
        } else {
          for (size_t t = 0; t < n; ++t) dst[t] = src[t];
        }
        o += n;
        j += 2;
      } else {
        if (j + 4 > len) Corrupt("truncated run item");
        size_t n = ((size_t(b[j + 1]) << 8) | b[j + 2]) + 16;
        if (o + n > kQdbCodecBlock) Corrupt("block output too long");
        std::memset(out + o, b[j + 3], n);
        o += n;
        j += 4;
      }
    }
    w = (w << 1) & 0xFFFF;
    --k;
  }
  return o;
}

}  // namespace

std::string CompressItem(std::string_view plain) {
  const uint8_t* in = reinterpret_cast<const uint8_t*>(plain.data());
  size_t n = plain.size();
  size_t blocks = (n + kQdbCodecBlock - 1) / kQdbCodecBlock;
  std::string out;
  out.resize(n + blocks * (2 + kEncodeSlack));
  uint8_t* base = reinterpret_cast<uint8_t*>(out.data());
  size_t o = 0;
  for (size_t pos = 0; pos < n; pos += kQdbCodecBlock) {
    size_t len = n - pos < kQdbCodecBlock ? n - pos : kQdbCodecBlock;
    size_t bl = EncodeBlock(in + pos, len, base + o + 2);
    base[o] = static_cast<uint8_t>(bl);
    base[o + 1] = static_cast<uint8_t>(bl >> 8);
    o += 2 + bl;
  }
  out.resize(o);
  return out;
}

std::string ExpandItem(const char* body, size_t stored_length) {
  const uint8_t* b = reinterpret_cast<const uint8_t*>(body);
  std::string out;
  uint8_t block[kQdbCodecBlock];
  size_t pos = 0;
  while (pos < stored_length) {
    if (stored_length - pos < 2) Corrupt("truncated block length");
    size_t len = size_t(b[pos]) | (size_t(b[pos + 1]) << 8);
    pos += 2;
    if (len > stored_length - pos) Corrupt("block runs past the body");
    size_t got = DecodeBlock(b + pos, len, block);
    out.append(reinterpret_cast<const char*>(block), got);
    pos += len;
  }
  return out;
}

}  // namespace qm
