#pragma once
// Address auto-complete of the compose window's To, CC and BCC fields.
#include <string>

#include "platform/text_lines.h"

namespace qm {

// For each contact of Contacts.ini and then of every group file with an
// Email: the address, then "name <address>"; the same for SecondaryEmail.
StringList BuildAutoCompleteList();

struct AutoCompletion {
  std::string text;        // the new field text
  int selection_start = 0; // the caret, after head + fragment
  int selection_length = 0;
};

// Completes the text after the last "," (leading blanks dropped) with the
// first list entry that starts with it, ignoring case; the head keeps the
// comma but loses the blanks before the fragment. False when the fragment is
// empty or nothing matches.
bool CompleteAddress(const std::string& field_text, const StringList& list, AutoCompletion& out);

// Qt key codes after whose release no completion is tried (editing and
// moving keys, modifiers).
bool IsAutoCompleteIgnoredKey(int qt_key);

}  // namespace qm
