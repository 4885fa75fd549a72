#pragma once
// Contact groups: one .mcg file each in ContactsDir.
#include <string>

#include "contacts/contacts_ui.h"

namespace qm {

// A name that can be a group file: not empty, not "." or "..", no "/" or NUL.
bool IsValidGroupName(const std::string& group);

// Creates the empty group file and adds the group to the lists. Refused with
// "A group with that name already exists!" when a book of that name exists
// (ignoring case); false then. Throws qm::FileError when the file cannot be
// made (nothing is listed).
bool AddGroup(const std::string& group, ContactsUi& ui);

// Renames the file and the list entries; a change of letter case only is
// allowed. The main book cannot be renamed. False when refused or the file
// cannot be renamed (then the lists stay as they were).
bool RenameGroup(const std::string& old_group, const std::string& new_group, ContactsUi& ui);

// Deletes the group file and its list entries; when the group is selected in
// the main window, the main book is selected first. The main book is never
// removed.
bool DeleteGroup(const std::string& group, ContactsUi& ui);

}  // namespace qm
