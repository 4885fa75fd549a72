#pragma once
// Wrapping message text to a column, keeping "> " quote prefixes on every
// piece of a wrapped line.
#include <string>
#include <string_view>

namespace qm {

// The longest run of ">" and blanks at the start of the line; empty when that
// run is not shorter than the width.
std::string GetQuotePrefix(std::string_view line, int width);

// Wraps text whose lines are separated by any line break; the result has
// CR LF after every line. A width below 2 leaves the lines as they are.
std::string WrapText(std::string_view text, int width);

// WrapText with the width of the Message key WrapColumnSize (default 72).
std::string WrapMessageText(std::string_view text);

// The Message key AutoWrapMessage (default false).
bool IsAutoWrapOn();

}  // namespace qm
