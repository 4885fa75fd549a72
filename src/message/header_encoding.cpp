#include "message/header_encoding.h"

#include <algorithm>
#include <cstdio>

#include "message/transfer_encodings.h"
#include "shell/text_utils.h"

namespace qm {

namespace {

constexpr std::string_view kWordStart = "=?utf-8?B?";
constexpr std::string_view kWordEnd = "?=";
constexpr size_t kWordOverhead = kWordStart.size() + kWordEnd.size();

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// Builds folded header lines from pieces separated by single blanks.
class Folder {
 public:
  explicit Folder(std::string_view name) : line_(std::string(name) + ":") {}

  // Room left on the current line for a piece after its blank.
  size_t Room() const {
    size_t used = line_.size() + 1;
    return used >= kFoldedLineLimit ? 0 : kFoldedLineLimit - used;
  }

  void Fold() {
    lines_.push_back(line_);
    line_.clear();
  }

  // A piece that must not be split; it opens a new line when it does not fit.
  void Add(std::string_view piece) {
    if (has_piece_ && piece.size() > Room()) Fold();
    line_ += ' ';
    line_ += piece;
    has_piece_ = true;
  }

  // Text as encoded words, as many as it takes; a word never splits a character.
  // `before` is glued to the first word and `after` to the last.
  void AddEncoded(std::string_view text, std::string_view before = {}, std::string_view after = {}) {
    const size_t glue = before.size() + after.size();
    size_t pos = 0;
    while (pos < text.size()) {
      size_t room = Room();
      if (has_piece_ && room < kWordOverhead + glue + 8) {
        Fold();
        room = Room();
      }
      room = room > glue ? room - glue : 0;
      size_t symbols = std::min(room, kEncodedWordLimit);
      symbols = symbols > kWordOverhead ? symbols - kWordOverhead : 0;
      size_t bytes = symbols / 4 * 3;
      if (bytes < 4) bytes = 4;  // one character of any length
      size_t end = std::min(text.size(), pos + bytes);
      while (end > pos + 1 && end < text.size() && IsContinuationByte(static_cast<unsigned char>(text[end])))
        --end;
      std::string word(pos == 0 ? before : std::string_view());
      word += kWordStart;
      word += Base64EncodeLine(text.substr(pos, end - pos));
      word += kWordEnd;
      if (end == text.size()) word += after;
      line_ += ' ';
      line_ += word;
      has_piece_ = true;
      pos = end;
    }
  }

  StringList Finish() {
    lines_.push_back(line_);
    for (size_t i = 1; i < lines_.size(); ++i)
      if (!lines_[i].empty() && lines_[i][0] != ' ') lines_[i].insert(0, " ");
    return std::move(lines_);
  }

 private:
  std::string line_;
  bool has_piece_ = false;
  StringList lines_;
};

// Splits at commas outside double quotes, angle brackets and parentheses.
StringList SplitAddressList(std::string_view value) {
  StringList out;
  std::string current;
  bool quoted = false;
  int angle = 0, paren = 0;
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (quoted) {
      current += c;
      if (c == '\\' && i + 1 < value.size()) {
        current += value[++i];
      } else if (c == '"') {
        quoted = false;
      }
      continue;
    }
    switch (c) {
      case '"': quoted = true; break;
      case '<': ++angle; break;
      case '>': if (angle) --angle; break;
      case '(': ++paren; break;
      case ')': if (paren) --paren; break;
      case ',':
        if (!angle && !paren) {
          out.push_back(current);
          current.clear();
          continue;
        }
        break;
      default: break;
    }
    current += c;
  }
  out.push_back(current);
  return out;
}

std::string Unquote(std::string_view text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::string(text);
  std::string out;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == '\\' && i + 2 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

// Adds one address to the folder, with its separator when it is not the last.
void AddAddress(Folder& folder, const std::string& entry, bool last) {
  std::string text = TrimBlanks(entry);
  std::string sep = last ? "" : ",";
  if (IsAsciiText(text)) {
    if (!text.empty() || !last) folder.Add(text + sep);
    return;
  }
  size_t lt = text.find('<');
  if (lt != std::string::npos) {
    std::string name = Unquote(TrimBlanks(std::string_view(text).substr(0, lt)));
    std::string address = TrimBlanks(std::string_view(text).substr(lt));
    if (!name.empty()) folder.AddEncoded(name);
    folder.Add(address + sep);
    return;
  }
  size_t open = text.find('(');
  size_t close = text.rfind(')');
  if (open != std::string::npos && close != std::string::npos && close > open) {
    std::string before = TrimBlanks(std::string_view(text).substr(0, open));
    std::string comment = text.substr(open + 1, close - open - 1);
    std::string after = text.substr(close + 1);
    if (!before.empty()) folder.Add(before);
    if (comment.empty())
      folder.Add("()" + TrimBlanks(after) + sep);
    else
      folder.AddEncoded(comment, "(", ")" + TrimBlanks(after) + sep);
    return;
  }
  // A bare address outside ASCII has no encoded form here; it goes as it is.
  folder.Add(text + sep);
}

}  // namespace

bool IsAsciiText(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

StringList EncodeTextHeader(std::string_view name, std::string_view value) {
  if (IsAsciiText(value)) return {std::string(name) + ": " + std::string(value)};
  Folder folder(name);
  folder.AddEncoded(value);
  return folder.Finish();
}

StringList EncodeAddressHeader(std::string_view name, std::string_view value) {
  if (IsAsciiText(value)) return {std::string(name) + ": " + std::string(value)};
  Folder folder(name);
  StringList entries = SplitAddressList(value);
  for (size_t i = 0; i < entries.size(); ++i) AddAddress(folder, entries[i], i + 1 == entries.size());
  return folder.Finish();
}

StringList QuotedPrintableEncodeLines(const StringList& lines) {
  StringList out;
  char hex[4];
  for (const std::string& line : lines) {
    std::string current;
    for (size_t i = 0; i < line.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(line[i]);
      bool at_end = i + 1 == line.size();
      bool literal = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !at_end);
      std::string piece;
      if (literal) {
        piece = static_cast<char>(c);
      } else {
        std::snprintf(hex, sizeof hex, "=%02X", c);
        piece = hex;
      }
      // Leave room for the "=" of a soft line break.
      if (current.size() + piece.size() > kFoldedLineLimit - 1) {
        out.push_back(current + "=");
        current.clear();
      }
      current += piece;
    }
    out.push_back(current);
  }
  return out;
}

bool NeedsParameterEncoding(std::string_view value) {
  for (char ch : value) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 32 || c >= 127 || c == '"' || c == '\\') return true;
  }
  return false;
}

std::string EncodeParameter(std::string_view name, std::string_view value) {
  if (!NeedsParameterEncoding(value)) return std::string(name) + "=\"" + std::string(value) + "\"";
  std::string out = std::string(name) + "*=utf-8''";
  char hex[4];
  for (char ch : value) {
    unsigned char c = static_cast<unsigned char>(ch);
    bool attribute_char = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          std::string_view("!#$&+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
    if (attribute_char) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

}  // namespace qm
