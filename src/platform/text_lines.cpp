#include "platform/text_lines.h"

namespace qm {

StringList SplitLines(std::string_view text) {
  StringList lines;
  size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  size_t start = 0;
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      ++i;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < n) lines.emplace_back(text.substr(start));
  return lines;
}

std::string JoinLines(const StringList& lines) {
  size_t total = 0;
  for (const auto& l : lines) total += l.size() + 2;
  std::string out;
  out.reserve(total);
  for (const auto& l : lines) AppendLine(out, l);
  return out;
}

void AppendLine(std::string& out, std::string_view line) {
  out.append(line);
  out.append("\r\n");
}

}  // namespace qm
