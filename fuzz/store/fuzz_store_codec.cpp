// Expands arbitrary bytes as a compressed item body; whatever expands must
// compress and expand back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "store/qdb_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* p = reinterpret_cast<const char*>(data);
  try {
    std::string plain = qm::ExpandItem(p, size);
    if (qm::ExpandItem(qm::CompressItem(plain)) != plain) std::abort();
  } catch (const qm::QdbCorruptItem&) {
  }
  // The raw bytes as plain input as well.
  std::string raw(p, size);
  if (qm::ExpandItem(qm::CompressItem(raw)) != raw) std::abort();
  return 0;
}
