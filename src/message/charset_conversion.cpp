#include "message/charset_conversion.h"

#include <iconv.h>

#include <cerrno>
#include <map>

#include "shell/text_utils.h"

namespace qm {

namespace {

// Windows-1252 code points of 0x80..0x9F (0 where the code page has none;
// those bytes keep their Latin-1 meaning, the C1 control).
constexpr unsigned short kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendCodePoint(std::string& out, unsigned cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Length of the valid UTF-8 sequence at p (0 when not valid).
size_t Utf8SequenceLength(const unsigned char* p, size_t n) {
  unsigned char c = p[0];
  if (c < 0x80) return 1;
  size_t len;
  unsigned cp;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    cp = c & 0x07;
  } else {
    return 0;
  }
  if (n < len) return 0;
  for (size_t i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
    return 0;
  return len;
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

std::string Utf8OrCp1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t n = bytes.size(), i = 0;
  while (i < n) {
    size_t len = Utf8SequenceLength(p + i, n - i);
    if (len > 0) {
      out.append(bytes.data() + i, len);
      i += len;
    } else {
      unsigned char c = p[i++];
      unsigned cp = (c >= 0x80 && c <= 0x9F && kCp1252High[c - 0x80]) ? kCp1252High[c - 0x80] : c;
      AppendCodePoint(out, cp);
    }
  }
  return out;
}

// Charsets whose text may hold non-ASCII meaning in ASCII bytes.
bool NotAsciiCompatible(const std::string& cs) {
  return cs.rfind("utf-16", 0) == 0 || cs.rfind("utf-32", 0) == 0 || cs.rfind("utf-7", 0) == 0 ||
         cs.rfind("ucs", 0) == 0 || cs.rfind("iso-2022", 0) == 0 || cs.rfind("hz", 0) == 0 ||
         cs.rfind("unicode", 0) == 0;
}

class IconvCache {
 public:
  ~IconvCache() {
    for (auto& [name, cd] : map_)
      if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
  iconv_t Get(const std::string& cs) {
    auto it = map_.find(cs);
    if (it != map_.end()) return it->second;
    if (map_.size() > 64) return reinterpret_cast<iconv_t>(-1);
    iconv_t cd = iconv_open("UTF-8", cs.c_str());
    map_.emplace(cs, cd);
    return cd;
  }

 private:
  std::map<std::string, iconv_t> map_;
};

}  // namespace

bool IsAsciiCompatibleCharset(std::string_view charset) {
  return !NotAsciiCompatible(LowerCaseAscii(TrimBlanks(charset)));
}

bool IsValidUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t n = bytes.size(), i = 0;
  while (i < n) {
    if (p[i] < 0x80) {
      ++i;
      continue;
    }
    size_t len = Utf8SequenceLength(p + i, n - i);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::string ConvertToUtf8(std::string_view bytes, std::string_view charset) {
  std::string cs = LowerCaseAscii(TrimBlanks(charset));
  size_t star = cs.find('*');
  if (star != std::string::npos) cs.erase(star);
  if (cs.size() >= 2 && cs.front() == '"' && cs.back() == '"') cs = cs.substr(1, cs.size() - 2);
  if (!NotAsciiCompatible(cs) && IsAscii(bytes)) return std::string(bytes);
  if (cs.empty() || cs == "us-ascii" || cs == "ascii" || cs == "utf-8" || cs == "utf8")
    return IsValidUtf8(bytes) ? std::string(bytes) : Utf8OrCp1252(bytes);
  // Latin-1 mail is nearly always Windows-1252 in practice.
  if (cs == "iso-8859-1" || cs == "latin1" || cs == "iso_8859-1" || cs == "windows-1252" || cs == "cp1252")
    cs = "windows-1252";
  thread_local IconvCache cache;
  iconv_t cd = cache.Get(cs);
  if (cd == reinterpret_cast<iconv_t>(-1)) return IsValidUtf8(bytes) ? std::string(bytes) : Utf8OrCp1252(bytes);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out;
  out.resize(bytes.size() * 2 + 16);
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  size_t used = 0;
  while (true) {
    char* dst = out.data() + used;
    size_t dst_left = out.size() - used;
    size_t r = iconv(cd, in_left ? &in : nullptr, in_left ? &in_left : nullptr, &dst, &dst_left);
    used = out.size() - dst_left;
    if (r != static_cast<size_t>(-1)) {
      if (in_left == 0) break;
      continue;
    }
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
    } else if (errno == EILSEQ || errno == EINVAL) {
      // An unreadable byte (or a sequence cut at the end) becomes U+FFFD.
      if (out.size() - used < 3) out.resize(out.size() * 2);
      out.replace(used, 3, "\xEF\xBF\xBD");
      used += 3;
      ++in;
      --in_left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (in_left == 0) break;
    } else {
      break;
    }
  }
  out.resize(used);
  return out;
}

}  // namespace qm
