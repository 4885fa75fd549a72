#pragma once
// Builds mailbox files byte by byte for tests, so that readers can be fed
// exactly the layout (or the damage) a test needs.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm::test {

inline void PutLe32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

struct RawEntry {
  std::string key;
  int32_t offset;
  int32_t length;
  uint32_t flags = 0;
};

inline std::string IndexSection(const std::vector<RawEntry>& entries, std::optional<int32_t> count = {}) {
  std::string s;
  PutLe32(s, static_cast<uint32_t>(count ? *count : static_cast<int32_t>(entries.size())));
  for (const auto& e : entries) {
    s += e.key;
    s.push_back('\0');
    PutLe32(s, static_cast<uint32_t>(e.offset));
    PutLe32(s, static_cast<uint32_t>(e.length));
    PutLe32(s, e.flags);
  }
  return s;
}

// An unprotected container; lengths default to the true ones.
inline std::string Container(const std::string& data, const std::string& index, int64_t data_length = -1,
                             int64_t index_length = -1) {
  std::string s("QDB\0", 4);
  PutLe32(s, static_cast<uint32_t>(data_length < 0 ? data.size() : data_length));
  s += data;
  s.append("QIX\0", 4);
  PutLe32(s, static_cast<uint32_t>(index_length < 0 ? index.size() : index_length));
  s += index;
  return s;
}

}  // namespace qm::test
