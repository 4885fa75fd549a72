#include "contacts/contact_groups.h"

#include <algorithm>

#include "contacts/contact_store.h"
#include "platform/file_system.h"
#include "shell/text_utils.h"

namespace qm {

namespace {

bool BookExists(const std::string& name) {
  const StringList books = GetBookList();
  return std::any_of(books.begin(), books.end(), [&](const std::string& b) { return SameTextAscii(b, name); });
}

void ShowGroupExists(ContactsUi& ui) {
  ui.ShowMessage("A group with that name already exists!", "Group already exists", ContactsIcon::Exclamation);
}

}  // namespace

bool IsValidGroupName(const std::string& group) {
  if (group.empty() || group == "." || group == "..") return false;
  return group.find('/') == std::string::npos && group.find('\0') == std::string::npos;
}

bool AddGroup(const std::string& group, ContactsUi& ui) {
  if (!IsValidGroupName(group)) return false;
  if (BookExists(group)) {
    ShowGroupExists(ui);
    return false;
  }
  WriteFileAtomically(GetGroupFile(group), "");
  ui.GroupAdded(group);
  return true;
}

bool RenameGroup(const std::string& old_group, const std::string& new_group, ContactsUi& ui) {
  if (old_group == kMainBookName || !IsValidGroupName(old_group) || !IsValidGroupName(new_group)) return false;
  if (old_group == new_group) return true;
  if (!SameTextAscii(old_group, new_group) && BookExists(new_group)) {
    ShowGroupExists(ui);
    return false;
  }
  // The file first, so no list entry names a file that is not there.
  if (!RenamePath(GetGroupFile(old_group), GetGroupFile(new_group))) return false;
  ui.GroupRenamed(old_group, new_group);
  return true;
}

bool DeleteGroup(const std::string& group, ContactsUi& ui) {
  if (group == kMainBookName || !IsValidGroupName(group)) return false;
  if (ui.SelectedGroup() == group) ui.SelectGroup(kMainBookName);
  ui.GroupRemoved(group);
  RemoveFile(GetGroupFile(group));
  return true;
}

}  // namespace qm
