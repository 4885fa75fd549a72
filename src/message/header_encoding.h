#pragma once
// Encodings for text outside ASCII in outgoing messages: encoded words in
// header fields, quoted-printable bodies and extended parameter values. All
// text is taken to be UTF-8.
#include <string>
#include <string_view>

#include "platform/text_lines.h"

namespace qm {

// Longest header line we make on purpose when folding.
inline constexpr size_t kFoldedLineLimit = 76;
// Longest encoded word ("=?utf-8?B?...?=").
inline constexpr size_t kEncodedWordLimit = 75;
// Longest line the message format allows, without its CR LF.
inline constexpr size_t kMaxLineLength = 998;

bool IsAsciiText(std::string_view text);

// Folds "<name>: <value>" where value is unstructured text (Subject,
// Organization). ASCII values give the one line "<name>: <value>"; others
// become encoded words split between whole characters, folded so that no
// line passes 76 characters.
StringList EncodeTextHeader(std::string_view name, std::string_view value);

// The same for a list of addresses ("Name <a@b>, c@d"): display names (and
// comments after a bare address) outside ASCII become encoded words, the
// addresses stay as they are; lists with only ASCII are left unchanged.
StringList EncodeAddressHeader(std::string_view name, std::string_view value);

// Body lines in quoted-printable: "=", control characters and bytes outside
// ASCII as "=XX", blanks at a line end encoded, soft line breaks keeping every
// line within 76 characters.
StringList QuotedPrintableEncodeLines(const StringList& lines);

// A MIME parameter: name="value" when value is printable ASCII without quotes
// or backslashes, otherwise name*=utf-8''<percent-encoded bytes>.
std::string EncodeParameter(std::string_view name, std::string_view value);
// Whether EncodeParameter takes the extended form for this value.
bool NeedsParameterEncoding(std::string_view value);

}  // namespace qm
