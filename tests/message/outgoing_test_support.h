#pragma once
// Helpers shared by the outgoing-message tests.
#include <string>
#include <string_view>

#include "message/transfer_encodings.h"
#include "platform/text_lines.h"

namespace qm::outgoing_test {

// The value of a header whose lines start at `first`, continuation lines
// joined and encoded words decoded (blanks between two words dropped).
inline std::string DecodedHeaderValue(const StringList& lines, size_t first) {
  std::string text = lines[first].substr(lines[first].find(':') + 1);
  for (size_t i = first + 1; i < lines.size() && !lines[i].empty() && (lines[i][0] == ' ' || lines[i][0] == '\t'); ++i)
    text += lines[i];
  std::string out;
  size_t pos = 0;
  bool after_word = false;
  while (pos < text.size()) {
    size_t start = text.find("=?utf-8?B?", pos);
    std::string between = text.substr(pos, start == std::string::npos ? std::string::npos : start - pos);
    if (start == std::string::npos) {
      out += between;
      break;
    }
    if (!(after_word && between.find_first_not_of(' ') == std::string::npos)) out += between;
    size_t end = text.find("?=", start + 10);
    out += Base64DecodeBytes(text.substr(start + 10, end - start - 10));
    pos = end + 2;
    after_word = true;
  }
  if (!out.empty() && out[0] == ' ') out.erase(0, 1);
  return out;
}

inline bool IsValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

}  // namespace qm::outgoing_test
