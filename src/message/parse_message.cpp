#include "message/parse_message.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <exception>
#include <map>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "message/attachment_file_writer.h"
#include "message/attachment_names.h"
#include "message/charset_conversion.h"
#include "message/internet_dates.h"
#include "message/message_file_buffer.h"
#include "message/pnp_add_attachment.h"
#include "message/transfer_encodings.h"
#include "platform/file_error.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"

namespace qm {

namespace {

// Deeper nesting (multiparts or inline messages) is kept as text, so a
// hostile message cannot exhaust the stack.
constexpr int kMaxNesting = 50;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }
bool IsWsp(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeftView(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

std::string_view TrimView(std::string_view s) {
  s = TrimLeftView(s);
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return s.substr(0, n);
}

bool StartsNoCase(std::string_view s, std::string_view key) {
  if (s.size() < key.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    char a = s[i], b = key[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

bool Contains(std::string_view s, std::string_view what) { return s.find(what) != std::string_view::npos; }

// The value of one line for GetHeaderValue, or npos-marked empty optional.
bool HeaderValueOfLine(std::string_view line, std::string_view key, TSearchMode mode, std::string& out) {
  std::string_view l = TrimLeftView(line);
  std::string_view v;
  if (mode == AtLineStart) {
    if (!StartsNoCase(l, key)) return false;
    v = l.substr(key.size());
    if (!v.empty() && IsWsp(v[0])) v.remove_prefix(1);
  } else {
    size_t pos = FindTextAscii(l, key);
    if (pos == std::string_view::npos) return false;
    v = l.substr(pos + key.size());
    if (!v.empty() && (IsWsp(v[0]) || v[0] == '=')) v.remove_prefix(1);
  }
  size_t semi = v.find(';');
  out.assign(v.substr(0, semi));
  return true;
}

template <typename Lines>
std::string HeaderValue(const Lines& lines, std::string_view key, TSearchMode mode) {
  std::string out;
  for (const auto& l : lines)
    if (HeaderValueOfLine(l, key, mode, out)) return out;
  return "";
}

template <typename Lines>
size_t LinesUntil(const Lines& lines, std::string_view marker, size_t start) {
  size_t i = start;
  for (; i < lines.size(); ++i) {
    std::string_view l = lines[i];
    if (marker.empty() ? l.empty() : l.substr(0, marker.size()) == marker) break;
  }
  return i;
}

std::string LowerTrim(std::string_view s) { return LowerCaseAscii(TrimView(s)); }

// --- header parameters ---------------------------------------------------

struct Param {
  std::string value;
  bool extended = false;  // came from an RFC 2231 form, already decoded
};

std::string Unquote(std::string_view v) {
  v = TrimView(v);
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') {
    std::string out;
    for (size_t i = 1; i + 1 < v.size(); ++i) {
      if (v[i] == '\\' && i + 2 < v.size()) ++i;
      out.push_back(v[i]);
    }
    return out;
  }
  return std::string(v);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(std::string_view v) {
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '%' && i + 2 < v.size() + 0 && HexDigit(v[i + 1]) >= 0 && HexDigit(v[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexDigit(v[i + 1]) * 16 + HexDigit(v[i + 2])));
      i += 2;
    } else {
      out.push_back(v[i]);
    }
  }
  return out;
}

// Splits "type; a=1; b="x;y"" at the semicolons outside quotes.
std::vector<std::string_view> SplitParams(std::string_view v) {
  std::vector<std::string_view> out;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i < v.size(); ++i) {
    char c = v[i];
    if (c == '"') quoted = !quoted;
    else if (c == '\\' && quoted) ++i;
    else if (c == ';' && !quoted) {
      out.push_back(v.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < v.size()) out.push_back(v.substr(start));
  return out;
}

Param FindParameter(std::string_view header_value, std::string_view name) {
  Param plain;
  bool have_plain = false;
  std::string ext_single;
  bool have_ext_single = false;
  std::map<int, std::pair<std::string, bool>> pieces;  // index -> (raw value, encoded)
  for (std::string_view p : SplitParams(header_value)) {
    size_t eq = p.find('=');
    if (eq == std::string_view::npos) continue;
    std::string key = LowerCaseAscii(TrimView(p.substr(0, eq)));
    std::string_view raw = TrimView(p.substr(eq + 1));
    if (!StartsNoCase(key, name)) continue;
    std::string_view rest = std::string_view(key).substr(name.size());
    if (rest.empty()) {
      if (!have_plain) plain.value = Unquote(raw), have_plain = true;
    } else if (rest == "*") {
      if (!have_ext_single) ext_single = std::string(raw), have_ext_single = true;
    } else if (rest[0] == '*') {
      rest.remove_prefix(1);
      bool encoded = !rest.empty() && rest.back() == '*';
      if (encoded) rest.remove_suffix(1);
      if (rest.empty() || rest.size() > 3 ||
          !std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; }))
        continue;
      int idx = std::stoi(std::string(rest));
      if (!pieces.count(idx)) pieces[idx] = {encoded ? std::string(raw) : Unquote(raw), encoded};
    }
  }
  auto decode_first = [](std::string_view v, std::string& charset) {
    // charset'language'text
    size_t q1 = v.find('\'');
    size_t q2 = q1 == std::string_view::npos ? q1 : v.find('\'', q1 + 1);
    if (q2 == std::string_view::npos) return PercentDecode(v);
    charset = std::string(v.substr(0, q1));
    return PercentDecode(v.substr(q2 + 1));
  };
  if (have_ext_single || !pieces.empty()) {
    std::string charset, bytes;
    if (have_ext_single) {
      bytes = decode_first(Unquote(ext_single), charset);
    } else {
      int expect = 0;
      for (auto& [idx, piece] : pieces) {
        if (idx != expect++) break;  // continuations must be contiguous from 0
        if (piece.second)
          bytes += idx == 0 ? decode_first(piece.first, charset) : PercentDecode(piece.first);
        else
          bytes += piece.first;
      }
    }
    Param ext;
    ext.value = ConvertToUtf8(bytes, charset);
    ext.extended = true;
    return ext;
  }
  return plain;
}

// The loose lookup inside one header value: the text after the key
// and one "=" or blank, cut at ";".
std::string LooseParameter(std::string_view header_value, std::string_view key) {
  std::string out;
  if (HeaderValueOfLine(header_value, key, AnywhereInLine, out)) return RemoveQuotes(out);
  return "";
}

std::string FileNameOf(const std::string& disposition_header, const std::string& type_header) {
  Param p = FindParameter(disposition_header, "filename");
  if (p.value.empty()) p = FindParameter(type_header, "name");
  if (p.value.empty()) {
    p.value = LooseParameter(disposition_header, "filename");
    if (p.value.empty()) p.value = LooseParameter(type_header, "name");
    p.extended = false;
  }
  std::string name = p.value;
  if (!p.extended) name = DecodeQuotedPrintable(DecodeEncodedWords(RemoveQuotes(name)), true);
  return SanitizeAttachmentName(name);
}

std::string BoundaryOf(const std::string& type_header) {
  std::string b = FindParameter(type_header, "boundary").value;
  if (b.empty()) b = LooseParameter(type_header, "boundary");
  return b;
}

// --- lines ------------------------------------------------------------------

// Owns texts made while parsing (decoded parts) that views point into.
using Arena = std::deque<std::string>;

std::string JoinViews(const LineViews& lines, size_t from = 0, size_t to = SIZE_MAX) {
  to = std::min(to, lines.size());
  size_t total = 0;
  for (size_t i = from; i < to; ++i) total += lines[i].size() + 2;
  std::string out;
  out.reserve(total);
  for (size_t i = from; i < to; ++i) AppendLine(out, lines[i]);
  return out;
}

LineViews KeepText(Arena& arena, std::string text) {
  arena.push_back(std::move(text));
  return SplitLineViews(arena.back());
}

bool AllAscii(const LineViews& lines) {
  for (std::string_view l : lines)
    for (unsigned char c : l)
      if (c >= 0x80) return false;
  return true;
}

bool IsUtf8Family(const std::string& charset) {
  std::string cs = LowerTrim(charset);
  return cs.empty() || cs == "us-ascii" || cs == "ascii" || cs == "utf-8" || cs == "utf8";
}

// False when the lines already are the UTF-8 the conversion would give.
bool NeedsConversion(const LineViews& lines, const std::string& charset) {
  if (!IsAsciiCompatibleCharset(charset)) return true;
  if (AllAscii(lines)) return false;
  if (!IsUtf8Family(charset)) return true;
  return !std::all_of(lines.begin(), lines.end(), [](std::string_view l) { return IsValidUtf8(l); });
}

void AppendLines(StringList& to, const LineViews& lines) {
  to.reserve(to.size() + lines.size());
  for (std::string_view l : lines) to.emplace_back(l);
}

// Calls `use` with runs of adjacent lines as one view: lines that follow
// each other in one buffer with only a line end between them. The line ends
// are outside the Base64 alphabet, so decoding a run equals decoding its
// lines one by one, with far fewer calls.
template <typename Use>
void ForEachRun(const LineViews& lines, size_t max_run, Use&& use) {
  size_t i = 0;
  const size_t n = lines.size();
  while (i < n) {
    const char* start = lines[i].data();
    const char* end = start + lines[i].size();
    size_t j = i + 1;
    for (; j < n && static_cast<size_t>(end - start) < max_run; ++j) {
      const char* next = lines[j].data();
      if (next < end || next - end > 2) break;
      bool gap_is_line_end = true;
      for (const char* g = end; g < next; ++g)
        if (*g != '\r' && *g != '\n') gap_is_line_end = false;
      if (!gap_is_line_end) break;
      end = next + lines[j].size();
    }
    use(std::string_view(start, static_cast<size_t>(end - start)));
    i = j;
  }
}

std::string DecodeBase64Lines(const LineViews& lines) {
  cBase64Decoder dec;
  std::string text;
  ForEachRun(lines, SIZE_MAX, [&](std::string_view run) { dec.Feed(run, text); });
  dec.Finish(text);
  return text;
}

bool IsTextBody(const std::string& type) { return type == "text/plain" || type == "text/html"; }

// --- UU blocks --------------------------------------------------------------

bool OpensUUBlock(std::string_view l) {
  if (l.size() <= 8 || l.substr(0, 6) != "begin ") return false;
  std::string_view mode = l.substr(6, 3);
  size_t i = 0;
  while (i < mode.size() && mode[i] == ' ') ++i;
  if (i == mode.size()) return false;
  int v = 0;
  for (; i < mode.size(); ++i) {
    if (mode[i] < '0' || mode[i] > '9') return false;
    v = v * 10 + (mode[i] - '0');
  }
  return v <= 777;
}

// Decodes a block into an attachment; false (reported) on failure.
bool SaveUUBlock(cMailMessage& msg, const LineViews& block) {
  std::string temp;
  try {
    temp = UUDecodeBlock(block, TempDir);
    std::string target = MakeUniqueAttachmentPath(ExtractFileName(temp));
    if (!RenamePath(temp, target) && !CopyFileTo(temp, target)) {
      RemoveFile(target);
      throw FileError("Cannot move \"" + temp + "\" to \"" + target + "\"", 0);
    }
    AddAttachment(msg, target);
    RemoveFile(temp);
    return true;
  } catch (const std::exception& e) {
    if (!temp.empty()) RemoveFile(temp);
    ReportError("When saving a UUE attachment: " + QuotedStr(e.what()));
    return false;
  }
}

// Takes every UU block out of the lines (one pass; stops at a failure).
LineViews ExtractAllUU(cMailMessage& msg, const LineViews& lines) {
  LineViews out;
  out.reserve(lines.size());
  size_t i = 0;
  const size_t n = lines.size();
  while (i < n) {
    if (!OpensUUBlock(lines[i])) {
      out.push_back(lines[i++]);
      continue;
    }
    size_t end = LinesUntil(lines, "end", i);
    LineViews block(lines.begin() + i, lines.begin() + end);
    if (!SaveUUBlock(msg, block)) {
      out.insert(out.end(), lines.begin() + i, lines.end());
      return out;
    }
    i = end;
    if (i < n && lines[i] == "end") ++i;
  }
  return out;
}

// --- the parse ---------------------------------------------------------------

struct Context {
  cMailMessage& msg;
  Arena arena;
  cMessageFileBuffer* file = nullptr;

  // Lines copied into the record are not read again: their pages of the
  // file buffer go back to the system.
  void Consumed(const LineViews& lines) {
    if (file && !lines.empty()) file->Release(lines.front().data(), lines.back().data() + lines.back().size());
  }
};

void ParseLines(Context& ctx, const LineViews& lines, int depth);
void AppendBodyLines(Context& ctx, const LineViews& lines, const std::string& charset);

void SplitParts(LineViews lines, std::string_view delimiter, cMimePartArray& parts, int depth) {
  size_t i = 0;
  const size_t n = lines.size();
  bool first = true;
  while (i < n) {
    size_t seg_start = i;
    size_t seg_end = LinesUntil(lines, delimiter, i);
    i = seg_end;
    if (i < n && lines[i] == delimiter) ++i;
    if (first) {
      first = false;
      continue;
    }
    if (seg_end == seg_start) break;
    size_t hdr_end = LinesUntil(lines, "", seg_start);
    if (hdr_end > seg_end) hdr_end = seg_end;
    LineViews hdr(lines.begin() + seg_start, lines.begin() + hdr_end);
    size_t body_start = hdr_end < seg_end ? hdr_end + 1 : seg_end;
    LineViews body(lines.begin() + body_start, lines.begin() + seg_end);

    std::string type_header = GetUnfoldedHeader(hdr, "Content-Type:");
    std::string disp_header = GetUnfoldedHeader(hdr, "Content-Disposition:");
    std::string content_type = LowerTrim(HeaderValue(hdr, "Content-Type:", AnywhereInLine));
    std::string boundary = RemoveQuotes(BoundaryOf(type_header));
    if (!boundary.empty() && depth < kMaxNesting) {
      SplitParts(std::move(body), "--" + boundary, parts, depth + 1);
      continue;
    }
    cMimePart part;
    part.lines = std::move(body);
    part.content_type = std::move(content_type);
    part.encoding = LowerTrim(HeaderValue(hdr, "Content-Transfer-Encoding:", AtLineStart));
    part.disposition = LowerTrim(HeaderValue(hdr, "Content-Disposition:", AtLineStart));
    part.file_name = FileNameOf(disp_header, type_header);
    part.charset = FindParameter(type_header, "charset").value;
    parts.push_back(std::move(part));
  }
}

void AppendBanner(StringList& body, const cMimePart& part) {
  body.push_back("// ========================================== //");
  body.push_back("Viewing MIME part: " + part.file_name);
  body.push_back("Content-Type: " + part.content_type);
  body.push_back("Encoding: " + part.encoding);
  body.push_back("// ========================================== //");
  body.push_back("");
}

void HandlePart(Context& ctx, cMimePart& part, int depth) {
  cMailMessage& msg = ctx.msg;
  if (part.encoding == "base64") {
    // A Base64 text part that is no attachment is the body, not "No name".
    if (!(IsTextBody(part.content_type) && part.file_name.empty() && part.disposition != "attachment")) {
      SaveBase64Attachment(msg, part.file_name, part);
      ctx.Consumed(part.lines);
      return;
    }
    std::string text = DecodeBase64Lines(part.lines);
    ctx.Consumed(part.lines);
    part.lines = KeepText(ctx.arena, std::move(text));
  } else if (part.content_type == "message/rfc822" && part.disposition == "inline" && depth < kMaxNesting) {
    // The embedded message's fields replace the outer ones.
    LineViews inner = KeepText(ctx.arena, JoinViews(part.lines));
    ParseLines(ctx, inner, depth + 1);
    return;
  } else if (part.encoding == "quoted-printable") {
    std::string decoded = DecodeQuotedPrintable(JoinViews(part.lines), false);
    ctx.Consumed(part.lines);
    part.lines = KeepText(ctx.arena, std::move(decoded));
  }

  StringList& body = *msg.Body;
  bool is_html = Contains(part.content_type, "text/html");
  if (!Contains(part.disposition, "inline") || is_html) {
    if (is_html) {
      msg.IsHTML = true;
      body.clear();
      AppendBodyLines(ctx, part.lines, part.charset);
    } else if (!part.file_name.empty()) {
      pnp_AddAttachment(msg, part.file_name, part);
      ctx.Consumed(part.lines);
    } else {
      AppendBodyLines(ctx, part.lines, part.charset);
    }
  } else {
    msg.IsHTML = false;
    if (!body.empty()) body.push_back("");
    if (!part.file_name.empty()) {
      pnp_AddAttachment(msg, part.file_name, part);
      AppendBanner(body, part);
    }
    AppendBodyLines(ctx, part.lines, part.charset);
  }
}

// Trims blanks and control characters from both ends of the body text.
void TrimBody(StringList& body) {
  size_t first = 0;
  while (first < body.size() && TrimView(body[first]).empty()) ++first;
  body.erase(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(first));
  while (!body.empty() && TrimView(body.back()).empty()) body.pop_back();
  if (body.empty()) return;
  body.front() = std::string(TrimLeftView(body.front()));
  std::string& last = body.back();
  size_t n = last.size();
  while (n > 0 && IsBlank(last[n - 1])) --n;
  last.resize(n);
}

// Appends text lines to the body as UTF-8. Lines copied into the record are
// not read again, so their pages of the file buffer go back to the system
// as the copy proceeds and a large body is not held twice.
void AppendBodyLines(Context& ctx, const LineViews& lines, const std::string& charset) {
  StringList& body = *ctx.msg.Body;
  const bool convert = NeedsConversion(lines, charset);
  if (convert && !IsAsciiCompatibleCharset(charset)) {
    // Line ends may sit inside characters here: convert the text as a whole.
    std::string converted = ConvertToUtf8(JoinViews(lines), charset);
    ctx.Consumed(lines);
    AppendLines(body, SplitLineViews(converted));
    return;
  }
  // In ASCII-compatible charsets a line end is never part of a character,
  // so slices of lines convert on their own.
  constexpr size_t kSlice = 4096;
  body.reserve(body.size() + lines.size());
  for (size_t i = 0; i < lines.size(); i += kSlice) {
    size_t end = std::min(lines.size(), i + kSlice);
    LineViews slice(lines.begin() + static_cast<std::ptrdiff_t>(i), lines.begin() + static_cast<std::ptrdiff_t>(end));
    if (convert) {
      std::string converted = ConvertToUtf8(JoinViews(slice), charset);
      AppendLines(body, SplitLineViews(converted));
    } else {
      for (std::string_view l : slice) body.emplace_back(l);
    }
    ctx.Consumed(slice);
  }
}

void EnsureLists(cMailMessage& msg) {
  if (!msg.Body) msg.Body = std::make_shared<StringList>();
  if (!msg.Headers) msg.Headers = std::make_shared<StringList>();
  if (!msg.Attachments) msg.Attachments = std::make_shared<StringList>();
}

void ParseLines(Context& ctx, const LineViews& lines, int depth) {
  cMailMessage& msg = ctx.msg;
  EnsureLists(msg);
  msg.Headers->clear();
  uint64_t size = 0;
  for (std::string_view l : lines) size += l.size() + 2;
  msg.Size = static_cast<int32_t>(std::min<uint64_t>(size, INT32_MAX));

  size_t split = LinesUntil(lines, "", 0);
  LineViews hdr(lines.begin(), lines.begin() + split);
  LineViews body;
  if (split < lines.size()) body.assign(lines.begin() + split + 1, lines.end());
  msg.Headers->assign(hdr.begin(), hdr.end());
  msg.Body->clear();

  msg.Subject = DecodeEncodedWords(GetUnfoldedHeader(hdr, "Subject:"));
  msg.From = DecodeEncodedWords(GetUnfoldedHeader(hdr, "From:"));
  msg.FromName = RemoveQuotes(GetDisplayName(msg.From));
  msg.FromAddress = GetEmailAddress(msg.From);
  msg.Date = ParseInternetDate(GetUnfoldedHeader(hdr, "Date:"));
  msg.ReplyTo = GetUnfoldedHeader(hdr, "Reply-To:");
  msg.CC = GetUnfoldedHeader(hdr, "CC:");
  msg.BCC = GetUnfoldedHeader(hdr, "BCC:");
  msg.To = GetUnfoldedHeader(hdr, "To:");

  std::string encoding = LowerTrim(HeaderValue(hdr, "Content-Transfer-Encoding:", AnywhereInLine));
  std::string content_type = LowerTrim(HeaderValue(hdr, "Content-Type:", AnywhereInLine));
  std::string disposition = LowerTrim(HeaderValue(hdr, "Content-Disposition:", AnywhereInLine));
  std::string type_header = GetUnfoldedHeader(hdr, "Content-Type:");
  std::string disp_header = GetUnfoldedHeader(hdr, "Content-Disposition:");
  std::string delimiter = "--" + RemoveQuotes(BoundaryOf(type_header));
  std::string charset = FindParameter(type_header, "charset").value;

  bool multipart = !content_type.empty() && Contains(content_type, "multipart");
  if (encoding == "base64") {
    std::string name = FileNameOf(disp_header, type_header);
    if (IsTextBody(content_type) && name.empty() && disposition != "attachment") {
      std::string text = DecodeBase64Lines(body);
      ctx.Consumed(body);
      LineViews decoded = KeepText(ctx.arena, std::move(text));
      AppendBodyLines(ctx, decoded, charset);
      msg.IsHTML = content_type == "text/html";
    } else {
      cMimePart part;
      part.lines = std::move(body);
      SaveBase64Attachment(msg, name, part);
    }
  } else if (disposition == "attachment" || multipart) {
    cMimePartArray parts;
    if (disposition != "attachment") {
      SplitParts(std::move(body), delimiter, parts, depth);
    } else {
      cMimePart part;
      part.lines = std::move(body);
      part.content_type = content_type;
      part.disposition = disposition;
      part.encoding = encoding;
      part.file_name = FileNameOf(disp_header, type_header);
      part.charset = charset;
      parts.push_back(std::move(part));
    }
    for (auto& part : parts) HandlePart(ctx, part, depth);
  } else {
    LineViews text = ExtractAllUU(msg, body);
    if (encoding == "quoted-printable") {
      std::string decoded = DecodeQuotedPrintable(JoinViews(text), false);
      ctx.Consumed(text);
      text = KeepText(ctx.arena, std::move(decoded));
    }
    AppendBodyLines(ctx, text, charset);
    if (content_type == "text/html") msg.IsHTML = true;
  }
  TrimBody(*msg.Body);
  msg.Complete = true;
}

}  // namespace

namespace {

// Offset of the first CR, LF or NUL at or after `i`, or `n`.
size_t NextLineEnd(const char* d, size_t i, size_t n) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), nul = _mm_setzero_si128();
  while (i + 16 <= n) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)), _mm_cmpeq_epi8(v, nul));
    int mask = _mm_movemask_epi8(hit);
    if (mask) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    i += 16;
  }
#endif
  while (i < n && d[i] != '\r' && d[i] != '\n' && d[i] != '\0') ++i;
  return i;
}

}  // namespace

LineViews SplitLineViews(std::string_view text) {
  LineViews lines;
  lines.reserve(text.size() / 64 + 1);
  size_t n = text.size();
  const char* d = text.data();
  size_t start = 0;
  while (start < n) {
    size_t i = NextLineEnd(d, start, n);
    if (i == n) break;
    if (d[i] == '\0') {
      n = i;  // the text ends at a NUL
      break;
    }
    lines.emplace_back(d + start, i - start);
    if (d[i] == '\r' && i + 1 < n && d[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < n) lines.emplace_back(d + start, n - start);
  return lines;
}

void ParseMessageFile(const std::string& path, cMailMessage& msg) {
  cMessageFileBuffer file(path);
  Context ctx{msg, {}, &file};
  LineViews lines = SplitLineViews(file.Text());
  ParseLines(ctx, lines, 0);
}

void ParseMessageText(std::string_view text, cMailMessage& msg) {
  Context ctx{msg, {}};
  LineViews lines = SplitLineViews(text);
  ParseLines(ctx, lines, 0);
}

std::string GetHeaderValue(const StringList& lines, std::string_view key, TSearchMode mode) {
  return HeaderValue(lines, key, mode);
}

std::string GetHeaderValue(const LineViews& lines, std::string_view key, TSearchMode mode) {
  return HeaderValue(lines, key, mode);
}

std::string GetUnfoldedHeader(const LineViews& lines, std::string_view key) {
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view l = lines[i];
    if (l.empty() || IsWsp(l[0])) continue;  // continuation lines belong to the header above
    size_t lead = 0;
    while (lead < l.size() && IsBlank(l[lead])) ++lead;
    l.remove_prefix(lead);
    if (!StartsNoCase(l, key)) continue;
    std::string v(l.substr(key.size()));
    for (size_t j = i + 1; j < lines.size() && !lines[j].empty() && IsWsp(lines[j][0]); ++j) v.append(lines[j]);
    if (!v.empty() && IsWsp(v[0])) v.erase(0, 1);
    return v;
  }
  return "";
}

std::string GetHeaderParameter(std::string_view header_value, std::string_view name) {
  return FindParameter(header_value, name).value;
}

StringList GetLinesUntil(const StringList& lines, std::string_view marker, size_t start) {
  if (start >= lines.size()) return {};
  size_t end = LinesUntil(lines, marker, start);
  return StringList(lines.begin() + static_cast<std::ptrdiff_t>(start), lines.begin() + static_cast<std::ptrdiff_t>(end));
}

LineViews GetLinesUntil(const LineViews& lines, std::string_view marker, size_t start) {
  if (start >= lines.size()) return {};
  size_t end = LinesUntil(lines, marker, start);
  return LineViews(lines.begin() + static_cast<std::ptrdiff_t>(start), lines.begin() + static_cast<std::ptrdiff_t>(end));
}

void SplitMultipart(LineViews& lines, std::string_view delimiter, cMimePartArray& parts) {
  SplitParts(std::move(lines), delimiter, parts, 0);
  lines.clear();
}

void SaveBase64Attachment(cMailMessage& msg, const std::string& file_name, const cMimePart& part) {
  std::string path;
  try {
    path = MakeUniqueAttachmentPath(SanitizeAttachmentName(file_name));
    cAttachmentFileWriter out(path);
    cBase64Decoder dec;
    ForEachRun(part.lines, 64 * 1024, [&](std::string_view run) {
      dec.Feed(run, out.Buffer());
      out.Flush(false);
    });
    dec.Finish(out.Buffer());
    out.Close();
    AddAttachment(msg, path);
  } catch (const std::exception& e) {
    if (!path.empty()) RemoveFile(path);
    ReportError("When saving a Base64 attachment: " + QuotedStr(e.what()));
  }
}

bool ExtractUUEAttachment(cMailMessage& msg, StringList& lines, size_t start) {
  for (size_t i = start; i < lines.size(); ++i) {
    if (!OpensUUBlock(lines[i])) continue;
    size_t end = LinesUntil(lines, "end", i);
    LineViews block(lines.begin() + static_cast<std::ptrdiff_t>(i), lines.begin() + static_cast<std::ptrdiff_t>(end));
    if (!SaveUUBlock(msg, block)) return false;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i), lines.begin() + static_cast<std::ptrdiff_t>(end));
    if (i < lines.size() && lines[i] == "end") lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
  }
  return false;
}

std::string DecodeEncodedWords(const std::string& text) {
  std::string out;
  const size_t n = text.size();
  size_t pos = 0;
  bool after_word = false;
  while (pos < n) {
    size_t p = text.find("=?", pos);
    if (p == std::string::npos) break;
    size_t q1 = text.find('?', p + 2);
    if (q1 == std::string::npos || q1 + 1 >= n) break;
    char letter = static_cast<char>(toupper(static_cast<unsigned char>(text[q1 + 1])));
    size_t enc_start = std::min(q1 + 3, n);
    size_t close = text.find("?=", enc_start);
    if (close == std::string::npos) break;
    std::string_view head(text.data() + pos, p - pos);
    if (letter != 'Q' && letter != 'B') {
      // Not a word this decoder knows: keep its text.
      out += ConvertToUtf8(text.substr(pos, close + 2 - pos), "");
      after_word = false;
      pos = close + 2;
      continue;
    }
    bool only_space = std::all_of(head.begin(), head.end(), [](char c) { return IsBlank(c); });
    if (!(after_word && only_space)) out += ConvertToUtf8(head, "");
    std::string_view charset(text.data() + p + 2, q1 - p - 2);
    std::string_view encoded(text.data() + enc_start, close - enc_start);
    std::string bytes = letter == 'Q' ? DecodeQuotedPrintable(encoded, true) : Base64DecodeBytes(encoded);
    out += ConvertToUtf8(bytes, charset);
    after_word = true;
    pos = close + 2;
  }
  if (pos < n) out += ConvertToUtf8(std::string_view(text).substr(pos), "");
  return out;
}

std::string StripEnclosing(const std::string& text, char open, char close) {
  std::string t(TrimView(text));
  if (t.size() >= 2 && t.front() == open && t.back() == close) return t.substr(1, t.size() - 2);
  return t;
}

std::string RemoveQuotes(const std::string& text) {
  return StripEnclosing(StripEnclosing(text, '"', '"'), '\'', '\'');
}

namespace {
// Position of the first "<" outside a quoted display name (or the first one).
size_t AngleOpen(const std::string& text) {
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    else if (text[i] == '<' && !quoted) return i;
  }
  return text.find('<');
}
}  // namespace

std::string GetDisplayName(const std::string& text) {
  size_t lt = AngleOpen(text);
  if (lt != std::string::npos && lt > 0) return std::string(TrimView(std::string_view(text).substr(0, lt)));
  size_t paren = text.find('(');
  if (paren != std::string::npos) {
    std::string_view v = std::string_view(text).substr(paren + 1);
    size_t close = v.rfind(')');
    if (close != std::string_view::npos) v = v.substr(0, close);
    return std::string(TrimView(v));
  }
  return text;
}

std::string GetEmailAddress(const std::string& text) {
  std::string v;
  size_t lt = AngleOpen(text);
  if (lt != std::string::npos) {
    size_t gt = text.find('>', lt);
    v = text.substr(lt + 1, gt == std::string::npos ? std::string::npos : gt - lt - 1);
  } else if (size_t paren = text.find('('); paren != std::string::npos) {
    v = std::string(TrimView(std::string_view(text).substr(0, paren)));
  } else {
    v = text;
  }
  return StripEnclosing(v, '<', '>');
}

}  // namespace qm
