#include "message/transfer_encodings.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "message/attachment_names.h"
#include "platform/file_error.h"
#include "shell/text_utils.h"

namespace qm {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

struct DecodeTable {
  std::array<int8_t, 256> v{};
  constexpr DecodeTable() {
    for (auto& x : v) x = -1;
    for (int i = 0; i < 64; ++i) v[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
  }
};
constexpr DecodeTable kTable;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Grave accent and blank are 0, codes 33..95 are 1..63; anything else gives
// six one-bits.
unsigned UUValue(unsigned char c) {
  if (c == '`' || c == ' ') return 0;
  if (c >= 33 && c <= 95) return c - 32;
  return 63;
}

void EncodeGroup(const unsigned char* p, size_t n, std::string& out) {
  uint32_t v = uint32_t(p[0]) << 16;
  if (n > 1) v |= uint32_t(p[1]) << 8;
  if (n > 2) v |= p[2];
  out.push_back(kAlphabet[(v >> 18) & 63]);
  out.push_back(kAlphabet[(v >> 12) & 63]);
  out.push_back(n > 1 ? kAlphabet[(v >> 6) & 63] : '=');
  out.push_back(n > 2 ? kAlphabet[v & 63] : '=');
}

void AppendEncodedLine(std::string_view chunk, std::string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(chunk.data());
  for (size_t i = 0; i < chunk.size(); i += 3) EncodeGroup(p + i, std::min<size_t>(3, chunk.size() - i), out);
}

}  // namespace

void cBase64Decoder::Feed(std::string_view text, std::string& out) {
  uint32_t bits = bits_;
  int count = count_;
  const size_t old = out.size();
  out.resize(old + text.size() / 4 * 3 + 3);
  char* dst = out.data() + old;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    // Whole groups of four symbols at a time; anything else (line ends,
    // padding, junk) goes the symbol-at-a-time way below.
    if (count == 0) {
      while (end - p >= 4) {
        int a = kTable.v[p[0]], b = kTable.v[p[1]], c = kTable.v[p[2]], d = kTable.v[p[3]];
        if ((a | b | c | d) < 0) break;
        uint32_t v = (uint32_t(a) << 18) | (uint32_t(b) << 12) | (uint32_t(c) << 6) | uint32_t(d);
        dst[0] = static_cast<char>(v >> 16);
        dst[1] = static_cast<char>(v >> 8);
        dst[2] = static_cast<char>(v);
        dst += 3;
        p += 4;
      }
      if (p == end) break;
    }
    int v = kTable.v[*p++];
    if (v < 0) continue;
    bits = (bits << 6) | static_cast<uint32_t>(v);
    if (++count == 4) {
      dst[0] = static_cast<char>((bits >> 16) & 0xFF);
      dst[1] = static_cast<char>((bits >> 8) & 0xFF);
      dst[2] = static_cast<char>(bits & 0xFF);
      dst += 3;
      bits = 0;
      count = 0;
    }
  }
  out.resize(static_cast<size_t>(dst - out.data()));
  bits_ = bits;
  count_ = count;
}

void cBase64Decoder::Finish(std::string& out) {
  if (count_ == 2) {
    out.push_back(static_cast<char>((bits_ >> 4) & 0xFF));
  } else if (count_ == 3) {
    out.push_back(static_cast<char>((bits_ >> 10) & 0xFF));
    out.push_back(static_cast<char>((bits_ >> 2) & 0xFF));
  }
  bits_ = 0;
  count_ = 0;
}

void Base64DecodeStream(std::istream& source, std::ostream& target) {
  cBase64Decoder dec;
  std::string in(64 * 1024, '\0');
  std::string out;
  while (source) {
    source.read(in.data(), static_cast<std::streamsize>(in.size()));
    std::streamsize got = source.gcount();
    if (got <= 0) break;
    out.clear();
    dec.Feed(std::string_view(in.data(), static_cast<size_t>(got)), out);
    target.write(out.data(), static_cast<std::streamsize>(out.size()));
  }
  out.clear();
  dec.Finish(out);
  target.write(out.data(), static_cast<std::streamsize>(out.size()));
}

std::string Base64DecodeBytes(std::string_view text) {
  cBase64Decoder dec;
  std::string out;
  dec.Feed(text, out);
  dec.Finish(out);
  return out;
}

void Base64EncodeFile(std::istream& source, std::ostream& target) {
  char buf[57];
  std::string line;
  for (;;) {
    source.read(buf, sizeof buf);
    size_t got = static_cast<size_t>(source.gcount());
    line.clear();
    AppendEncodedLine(std::string_view(buf, got), line);
    line.append("\r\n");
    target.write(line.data(), static_cast<std::streamsize>(line.size()));
    if (got < sizeof buf) break;
  }
}

std::string Base64EncodeBytes(std::string_view data) {
  std::string out;
  out.reserve(Base64EncodedLength(data.size()) + (data.size() / 57 + 1) * 2);
  size_t pos = 0;
  for (;;) {
    size_t got = std::min<size_t>(57, data.size() - pos);
    AppendEncodedLine(data.substr(pos, got), out);
    out.append("\r\n");
    pos += got;
    if (got < 57) break;
  }
  return out;
}

std::string Base64EncodeLine(std::string_view data) {
  std::string out;
  out.reserve(Base64EncodedLength(data.size()));
  AppendEncodedLine(data, out);
  return out;
}

std::string DecodeQuotedPrintable(std::string_view text, bool underscores_to_blanks) {
  std::string out;
  out.reserve(text.size());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    char c = text[i];
    if (c == '_') {
      out.push_back(underscores_to_blanks ? ' ' : '_');
      ++i;
    } else if (c == '=') {
      if (i + 1 < n && (text[i + 1] == '\r' || text[i + 1] == '\n')) {
        // Soft line break: drop the "=" and the line end (CR LF, CR or LF).
        i += (text[i + 1] == '\r' && i + 2 < n && text[i + 2] == '\n') ? 3 : 2;
      } else if (i + 2 < n) {
        int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
        char b = (hi < 0 || lo < 0) ? '@' : static_cast<char>(hi * 16 + lo);
        if (b == '\0') return out;
        out.push_back(b);
        i += 3;
      } else {
        return out;
      }
    } else {
      out.push_back(c);
      ++i;
    }
  }
  return out;
}

void UUDecodeLine(std::string_view line, std::string& out) {
  if (line.empty()) return;
  unsigned n = UUValue(static_cast<unsigned char>(line[0]));
  if (n > 45) n = 45;
  size_t symbols = n == 45 ? 60 : line.size() - 1;
  if (symbols > 60) symbols = 60;
  unsigned char bytes[45] = {};
  uint32_t acc = 0;
  int nbits = 0;
  size_t pos = 0;
  for (size_t k = 0; k < symbols; ++k) {
    // Symbols missing from a short line contribute zero bits.
    unsigned v = 1 + k < line.size() ? UUValue(static_cast<unsigned char>(line[1 + k])) : 0;
    acc = (acc << 6) | v;
    nbits += 6;
    if (nbits >= 8) {
      nbits -= 8;
      if (pos < 45) bytes[pos++] = static_cast<unsigned char>((acc >> nbits) & 0xFF);
    }
  }
  out.append(reinterpret_cast<const char*>(bytes), n);
}

std::string UUDecodeBlock(const StringList& lines, const std::string& directory) {
  std::vector<std::string_view> views(lines.begin(), lines.end());
  return UUDecodeBlock(views, directory);
}

std::string UUDecodeBlock(const std::vector<std::string_view>& lines, const std::string& directory) {
  size_t begin = 0;
  for (; begin < lines.size(); ++begin)
    if (lines[begin].size() >= 6 && LowerCaseAscii(std::string_view(lines[begin]).substr(0, 6)) == "begin ") break;
  if (begin == lines.size()) return "";
  std::string rest(lines[begin].substr(6));
  size_t blank = rest.find(' ');
  if (blank != std::string::npos) rest = rest.substr(blank);
  std::string name = SanitizeAttachmentName(TrimBlanks(rest));
  if (name.empty()) name = "No name";
  std::string path = directory + name;

  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) throw FileError::FromErrno("Cannot create file", path, errno);
  std::string out;
  auto flush = [&](bool force) {
    if (!force && out.size() < (1 << 16)) return;
    size_t off = 0;
    while (off < out.size()) {
      ssize_t w = ::write(fd, out.data() + off, out.size() - off);
      if (w < 0) {
        if (errno == EINTR) continue;
        int err = errno;
        ::close(fd);
        throw FileError::FromErrno("Cannot write file", path, err);
      }
      off += static_cast<size_t>(w);
    }
    out.clear();
  };
  for (size_t i = begin + 1; i < lines.size(); ++i) {
    std::string_view l = lines[i];
    if (l == "end" || l == "`") break;
    if (l.empty()) continue;
    UUDecodeLine(l, out);
    flush(false);
  }
  flush(true);
  ::close(fd);
  return path;
}

}  // namespace qm
