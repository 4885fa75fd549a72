#pragma once
// Small text helpers shared by every subsystem (ASCII-only case rules).
#include <string>
#include <string_view>

namespace qm {

std::string LowerCaseAscii(std::string_view s);
std::string UpperCaseAscii(std::string_view s);
bool SameTextAscii(std::string_view a, std::string_view b);       // case-insensitive equality
int CompareTextAscii(std::string_view a, std::string_view b);     // case-insensitive order
std::string TrimBlanks(std::string_view s);                        // spaces and control chars
std::string TrimLeftBlanks(std::string_view s);
std::string TrimRightBlanks(std::string_view s);
// Replaces every occurrence of `from` by `to`.
std::string ReplaceAll(std::string s, std::string_view from, std::string_view to);
bool StartsWithText(std::string_view s, std::string_view prefix);  // case-insensitive
// Position of `needle` in `hay` ignoring ASCII case, or npos.
size_t FindTextAscii(std::string_view hay, std::string_view needle, size_t from = 0);

}  // namespace qm
