#pragma once
// The per-item compression of mailbox files: blocks of up to 32,768 plain
// bytes, each either stored or coded with literals, 12-bit back references
// and runs. The output must stay byte-exact: other programs read and write it.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qm {

inline constexpr size_t kQdbCodecBlock = 32768;

// A compressed body that cannot be decoded (truncated, references before the
// block start, output beyond the block size).
class QdbCorruptItem : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Returns the compressed body of one item. An empty item has no blocks.
std::string CompressItem(std::string_view plain);
// Decodes `stored_length` bytes of a compressed body; throws QdbCorruptItem.
std::string ExpandItem(const char* body, size_t stored_length);
inline std::string ExpandItem(std::string_view body) { return ExpandItem(body.data(), body.size()); }

}  // namespace qm
