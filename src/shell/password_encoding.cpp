#include "shell/password_encoding.h"

#include <cerrno>
#include <cstdlib>

namespace qm {

std::string EncodePassword(const std::string& text, int offset) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i) out += ',';
    out += std::to_string(static_cast<int>(static_cast<unsigned char>(text[i])) - offset);
  }
  return out;
}

std::string DecodePassword(const std::string& stored, int offset) {
  std::string out;
  if (stored.empty()) return out;
  size_t start = 0;
  while (start <= stored.size()) {
    size_t comma = stored.find(',', start);
    std::string piece = stored.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (piece.empty()) return "";
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(piece.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || end == piece.c_str()) return "";
    long code = v + offset;
    if (code < 0 || code > 255) return "";
    out += static_cast<char>(static_cast<unsigned char>(code));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

}  // namespace qm
