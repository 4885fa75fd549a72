#pragma once
// Text helpers of the client socket: address test, safe integer parse and the
// split of a server's first reply line into code and text.
#include <string>
#include <string_view>

namespace qm {

// True when text is four decimal numbers, each 0 to 255, separated by three
// dots. On success `address` (when given) holds the value, first number in the
// most significant byte.
bool IsIPAddress(std::string_view text, unsigned int* address = nullptr);

// The integer value of text, or `default_value` when text is no integer (blanks
// around it are allowed; anything else, or a value out of range, is not).
int StrToIntSafe(std::string_view text, int default_value);

// Where the first line of `buffer` ends: the first CR LF, else the first LF.
// Returns false when there is neither; `line_length` excludes the line end.
bool FindFirstLineEnd(std::string_view buffer, size_t& line_length);

// Splits a reply line: "250-Hello there" gives code "250" and text
// "-Hello there", "+OK POP3 ready" gives "+OK" and "POP3 ready", "-ERR" gives
// an empty code and "-ERR".
void SplitReplyLine(std::string_view line, std::string& code, std::string& text);

}  // namespace qm
