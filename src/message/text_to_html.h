#pragma once
// Plain-text bodies as a small HTML document for the viewer: links, kept
// blanks and quoted lines coloured by depth.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text_lines.h"

namespace qm {

// A line is quoted when it has two characters or more and starts with ">" or
// ":"; level is 2 for ">>", "> >" (and deeper), otherwise 1. Returns whether
// the line is quoted; level is set only then.
bool GetQuoteLevel(std::string_view line, int& level);

// "\"#RRGGBB\"" for a colour value with red in the low byte.
std::string ColorToHTML(uint32_t colour);

// One output line per input line between "<html>", "<body>" and "</body>",
// "</html>". The colour texts are those of ColorToHTML. Characters with a
// meaning in HTML are escaped, so the text cannot bring markup of its own.
StringList TextToHTML(const StringList& lines, const std::string& single_quote_colour,
                      const std::string& double_quote_colour);

}  // namespace qm
