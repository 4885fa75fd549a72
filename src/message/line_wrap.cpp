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

// The line being wrapped: head + buf[off..]. Cutting a piece off the front
// only moves `off`, so a very long line is not copied again for every piece.
class WorkLine {
 public:
  void Reset(std::string_view text) {
    head_.clear();
    buf_.assign(text);
    off_ = 0;
  }
  size_t size() const { return head_.size() + buf_.size() - off_; }
  char at(size_t k) const { return k < head_.size() ? head_[k] : buf_[off_ + k - head_.size()]; }
  char back() const { return buf_.size() > off_ ? buf_.back() : head_.back(); }

  // WrapPrefix of the whole line, looking no further than the width.
  std::string Prefix(int width) const {
    const size_t limit = static_cast<size_t>(width);
    size_t n = 0;
    while (n < size() && n < limit && (at(n) == '>' || at(n) == ' ')) ++n;
    if (n + 1 >= limit) return {};
    std::string out;
    for (size_t k = 0; k < n; ++k) out += at(k);
    return out;
  }

  // Removes the first n characters and gives them back.
  std::string Take(size_t n) {
    std::string out;
    if (n <= head_.size()) {
      out = head_.substr(0, n);
      head_.erase(0, n);
      return out;
    }
    size_t from_buf = n - head_.size();
    out = head_;
    out.append(buf_, off_, from_buf);
    head_.clear();
    off_ += from_buf;
    return out;
  }

  void Prepend(std::string_view text) { head_.insert(0, text); }

  void Append(std::string_view text) {
    if (off_ > 4096 && off_ > buf_.size() / 2) {
      buf_.erase(0, off_);
      off_ = 0;
    }
    buf_.append(text);
  }

  std::string Str() const { return head_ + buf_.substr(off_); }

 private:
  std::string head_;  // quote prefixes put in front of the overflow
  std::string buf_;
  size_t off_ = 0;
};

}  // namespace

std::string GetQuotePrefix(std::string_view line, int width) {
  size_t n = 0;
  while (n < line.size() && (line[n] == '>' || line[n] == ' ')) ++n;
  if (static_cast<int64_t>(n) >= width) return {};
  return std::string(line.substr(0, n));
}

std::string WrapText(std::string_view text, int width) {
  const StringList input = SplitLines(text);
  if (width < 2) return JoinLines(input);
  const size_t w = static_cast<size_t>(width);

  // Lines are taken from `input` one by one; the overflow of a cut line
  // becomes (or joins) the next line and is wrapped in its turn.
  StringList out;
  out.reserve(input.size());
  WorkLine cur;
  size_t next = 0;
  while (next < input.size()) {
    cur.Reset(input[next++]);
    for (;;) {
      if (cur.size() <= w) {
        out.push_back(cur.Str());
        break;
      }
      const std::string prefix = cur.Prefix(width);
      size_t col = w;  // 1-based column of the break character
      while (col > prefix.size() && !IsBreakChar(cur.at(col - 1))) --col;
      if (col > prefix.size()) {
        out.push_back(cur.Take(col));
      } else {
        out.push_back(cur.Take(w - 1) + "-");
      }
      if (cur.size() == 0 || cur.back() != ' ') cur.Append(" ");
      // The overflow joins the following line when it goes on with the same
      // quoted paragraph; otherwise it is a line of its own.
      if (next < input.size()) {
        const std::string& following = input[next];
        if (WrapPrefix(following, width) == prefix && following.size() > prefix.size()) {
          cur.Append(std::string_view(following).substr(prefix.size()));
          ++next;
        }
      }
      cur.Prepend(prefix);
    }
  }
  return JoinLines(out);
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
