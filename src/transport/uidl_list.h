#pragma once
// UIDL.txt of an account: the unique-ids of the messages left on the
// server, in the server's order at the end of the last fetch.
#include <string>

#include "platform/text_lines.h"

namespace qm {

std::string UIDLFile(const std::string& account);

// The lines of UIDL.txt; empty when the file does not exist.
StringList LoadUIDLList(const std::string& account);
// Replaces UIDL.txt as a whole (atomically). Throws qm::FileError.
void SaveUIDLList(const std::string& account, const StringList& uidls);

// The index of the entry equal to `uidl` ignoring letter case, or -1.
int FindUIDL(const StringList& known, const std::string& uidl);

}  // namespace qm
