#pragma once
// Text of a named charset to UTF-8 (the system code page here).
#include <string>
#include <string_view>

namespace qm {

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

// False for charsets in which ASCII bytes may mean something else
// (UTF-16, UTF-7, ISO-2022, ...); ASCII-only text of the others needs no
// conversion.
bool IsAsciiCompatibleCharset(std::string_view charset);

// Converts bytes of `charset` (a MIME name, any case; RFC 2231 language
// suffix "*lang" allowed) to UTF-8.
// - empty, "us-ascii", "utf-8" and any charset iconv does not know: valid
//   UTF-8 sequences stay and every other byte is read as Windows-1252;
// - known charsets go through iconv; bytes it cannot read become U+FFFD.
std::string ConvertToUtf8(std::string_view bytes, std::string_view charset);

}  // namespace qm
