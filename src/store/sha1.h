#pragma once
// SHA-1 (FIPS 180-1). Used for the mailbox password check value and key.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qm {

using Sha1Digest = std::array<uint8_t, 20>;

class Sha1 {
 public:
  // Uses the processor's SHA instructions when it has them, unless
  // `allow_hardware` is false (tests check both ways).
  explicit Sha1(bool allow_hardware = true);
  void Reset();
  void Update(const void* data, size_t len);
  void Update(std::string_view s) { Update(s.data(), s.size()); }
  // Finishes the message; the object must be Reset before it is used again.
  Sha1Digest Final();

 private:
  void Blocks(const uint8_t* p, size_t count);
  bool hardware_;
  uint32_t h_[5];
  uint64_t total_ = 0;  // bytes seen
  uint8_t buf_[64];
  size_t buffered_ = 0;
};

Sha1Digest Sha1Of(std::string_view data);

}  // namespace qm
