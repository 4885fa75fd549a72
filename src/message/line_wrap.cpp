#include "message/line_wrap.h"

#include "platform/text_lines.h"
#include "shell/app_paths.h"

namespace qm {

namespace {

constexpr int kDefaultWrapColumn = 72;

bool IsBreakChar(char c) { return c == '\t' || c == ' ' || c == '-' || c == '.' || c == '?'; }

// A prefix that leaves no room for a character of text after it would make the
// hard cut move nothing and wrap forever, so it counts as none here.
std::string WrapPrefix(std::string_view line, int width) {
  std::string prefix = GetQuotePrefix(line, width);
  if (static_cast<int>(prefix.size()) >= width - 1) prefix.clear();
  return prefix;
}

}  // namespace

std::string GetQuotePrefix(std::string_view line, int width) {
  size_t n = 0;
  while (n < line.size() && (line[n] == '>' || line[n] == ' ')) ++n;
  if (static_cast<int64_t>(n) >= width) return {};
  return std::string(line.substr(0, n));
}

std::string WrapText(std::string_view text, int width) {
  StringList lines = SplitLines(text);
  if (width < 2) return JoinLines(lines);
  const size_t w = static_cast<size_t>(width);

  for (size_t i = 0; i < lines.size(); ++i) {
    std::string& line = lines[i];
    if (line.size() <= w) continue;
    const std::string prefix = WrapPrefix(line, width);

    std::string rest;
    size_t col = w;  // 1-based column of the break character
    while (col > prefix.size() && !IsBreakChar(line[col - 1])) --col;
    if (col > prefix.size()) {
      rest = line.substr(col);
      line.resize(col);
    } else {
      rest = line.substr(w - 1);
      line.resize(w - 1);
      line += '-';
    }
    if (rest.empty() || rest.back() != ' ') rest += ' ';

    if (i + 1 == lines.size()) {
      lines.push_back(prefix + rest);
      continue;
    }
    std::string& next = lines[i + 1];
    if (WrapPrefix(next, width) == prefix && next.size() > prefix.size())
      next.insert(prefix.size(), rest);
    else
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i) + 1, prefix + rest);
  }
  return JoinLines(lines);
}

std::string WrapMessageText(std::string_view text) {
  int width = OptionsIni ? OptionsIni->ReadInteger("Message", "WrapColumnSize", kDefaultWrapColumn)
                         : kDefaultWrapColumn;
  return WrapText(text, width);
}

bool IsAutoWrapOn() {
  return OptionsIni ? OptionsIni->ReadBool("Message", "AutoWrapMessage", false) : false;
}

}  // namespace qm
