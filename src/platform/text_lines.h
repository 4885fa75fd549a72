#pragma once
// The one place that splits text into line lists and joins them again.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

using StringList = std::vector<std::string>;

// Splits at CR LF, a lone CR or a lone LF and stops at the first NUL byte.
// A final line end does not make an extra empty line.
StringList SplitLines(std::string_view text);

// Joins with CR LF after every line, the last one included.
std::string JoinLines(const StringList& lines);

// Appends one line and its CR LF to an output buffer.
void AppendLine(std::string& out, std::string_view line);

}  // namespace qm
