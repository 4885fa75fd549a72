#include "transport/lite_socket_text.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "shell/text_utils.h"

namespace qm {

bool IsIPAddress(std::string_view text, unsigned int* address) {
  unsigned int value = 0;
  int parts = 0;
  size_t i = 0;
  while (parts < 4) {
    size_t start = i;
    unsigned int part = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3) {
      part = part * 10 + static_cast<unsigned int>(text[i] - '0');
      ++i;
    }
    if (i == start || part > 255) return false;
    if (i < text.size() && text[i] >= '0' && text[i] <= '9') return false;  // four digits or more
    value = (value << 8) | part;
    ++parts;
    if (parts < 4) {
      if (i >= text.size() || text[i] != '.') return false;
      ++i;
    }
  }
  if (i != text.size()) return false;
  if (address) *address = value;
  return true;
}

int StrToIntSafe(std::string_view text, int default_value) {
  std::string s = TrimBlanks(text);
  if (s.empty()) return default_value;
  size_t i = 0;
  if (s[0] == '+' || s[0] == '-') i = 1;
  if (i >= s.size()) return default_value;
  for (size_t j = i; j < s.size(); ++j)
    if (s[j] < '0' || s[j] > '9') return default_value;
  errno = 0;
  long long v = std::strtoll(s.c_str(), nullptr, 10);
  if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return default_value;
  return static_cast<int>(v);
}

bool FindFirstLineEnd(std::string_view buffer, size_t& line_length) {
  size_t crlf = buffer.find("\r\n");
  if (crlf != std::string_view::npos) {
    line_length = crlf;
    return true;
  }
  size_t lf = buffer.find('\n');
  if (lf != std::string_view::npos) {
    line_length = lf;
    return true;
  }
  return false;
}

void SplitReplyLine(std::string_view line, std::string& code, std::string& text) {
  size_t blank = line.find(' ');
  size_t dash = line.find('-');
  if (blank != std::string_view::npos || dash != std::string_view::npos) {
    code = TrimBlanks(line.substr(0, blank != std::string_view::npos ? blank : dash));
    size_t inner = code.find('-');
    if (inner != std::string::npos) code.erase(inner);
  } else {
    code = TrimBlanks(line);
  }
  text = TrimBlanks(line.substr(code.size() < line.size() ? code.size() : line.size()));
}

}  // namespace qm
