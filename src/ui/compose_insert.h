#pragma once
// Texts the compose window's Insert and Edit commands put into the editor.
#include <string>

namespace qm {

// "Paste quoted": the prefix before every line of the clipboard text, and
// trailing blanks and line breaks trimmed from the result. Lines are joined
// with "\n", as the clipboard holds them.
std::string QuotedPasteText(const std::string& clipboard_text, const std::string& prefix);

}  // namespace qm
