#pragma once
// Turns a received message (a file of text lines) into a cMailMessage, with
// its attachments decoded into files in AttachmentsDir.
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_lines.h"
#include "store/mail_message.h"

namespace qm {

// Lines as views into a text buffer that the caller keeps alive.
using LineViews = std::vector<std::string_view>;

// Splits like SplitLines (CR LF, CR, LF; stops at NUL) without copying.
LineViews SplitLineViews(std::string_view text);

enum TSearchMode { AtLineStart, AnywhereInLine };

// One leaf part of a multipart message.
struct cMimePart {
  LineViews lines;           // body lines, still transfer-encoded
  std::string content_type;  // lower case, parameters cut off
  std::string file_name;     // decoded and made safe; empty when none
  std::string disposition;   // lower case, parameters cut off
  std::string encoding;      // lower case
  std::string charset;       // charset parameter of Content-Type, as given
};
using cMimePartArray = std::vector<cMimePart>;

// Parses the file into `msg` (prepared by InitMessage). Problems with single
// attachments are reported through ReportError and parsing goes on; a file
// that cannot be read throws qm::FileError.
void ParseMessageFile(const std::string& path, cMailMessage& msg);
// The same for message text held in memory.
void ParseMessageText(std::string_view text, cMailMessage& msg);

// Value of the first line that has the key (ASCII case ignored) at its start
// (after leading blanks) or anywhere; the key is removed with everything
// before it, then one blank (or, anywhere in a line, one "=") after it, and
// the value is cut at its first ";".
std::string GetHeaderValue(const StringList& lines, std::string_view key, TSearchMode mode);
std::string GetHeaderValue(const LineViews& lines, std::string_view key, TSearchMode mode);

// The value of a header with its continuation lines joined (RFC 5322
// unfolding); not cut at ";". Empty when the header is missing.
std::string GetUnfoldedHeader(const LineViews& lines, std::string_view key);

// A parameter of a header value ("boundary", "charset", "name", ...), with
// quotes removed; RFC 2231 forms (name*=charset'lang'text, name*0*=...) are
// decoded to UTF-8.
std::string GetHeaderParameter(std::string_view header_value, std::string_view name);

// Lines from `start` up to, not including, the first line beginning with
// the marker (case-sensitive); an empty marker stops at the first empty line.
StringList GetLinesUntil(const StringList& lines, std::string_view marker, size_t start);
LineViews GetLinesUntil(const LineViews& lines, std::string_view marker, size_t start);

// Consumes the lines and appends the leaf parts to `parts` in document order.
void SplitMultipart(LineViews& lines, std::string_view delimiter, cMimePartArray& parts);

// Decodes the part's Base64 lines into a new attachment file and attaches it.
// Failures are reported and nothing is attached.
void SaveBase64Attachment(cMailMessage& msg, const std::string& file_name, const cMimePart& part);

// Finds the first UU block at or after `start`, saves and attaches its file
// and removes its lines. False when there is none or it could not be saved
// (then it is reported and the lines stay).
bool ExtractUUEAttachment(cMailMessage& msg, StringList& lines, size_t start);

// RFC 2047 words ("=?charset?Q?...?=", "=?charset?B?...?=") decoded to UTF-8;
// white space between two adjacent words is dropped.
std::string DecodeEncodedWords(const std::string& text);

std::string GetDisplayName(const std::string& text);
std::string GetEmailAddress(const std::string& text);
std::string RemoveQuotes(const std::string& text);
std::string StripEnclosing(const std::string& text, char open, char close);

}  // namespace qm
