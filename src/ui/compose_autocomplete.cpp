#include "ui/compose_autocomplete.h"

#include <Qt>

#include "contacts/contact_store.h"
#include "shell/app_paths.h"
#include "shell/text_utils.h"

namespace qm {

StringList BuildAutoCompleteList() {
  StringList list;
  for (const std::string& book : GetBookList()) {
    std::string file = GetBookFile(book);
    for (const std::string& name : ListContacts(file)) {
      cContact c;
      ReadContact(file, name, false, c);
      for (const std::string* address : {&c.Email, &c.SecondaryEmail}) {
        if (address->empty()) continue;
        list.push_back(*address);
        list.push_back(name + " <" + *address + ">");
      }
    }
  }
  return list;
}

bool CompleteAddress(const std::string& field_text, const StringList& list, AutoCompletion& out) {
  size_t comma = field_text.rfind(',');
  std::string head, fragment;
  if (comma == std::string::npos) {
    fragment = field_text;
  } else {
    head = TrimRightBlanks(field_text.substr(0, comma + 1));
    fragment = TrimLeftBlanks(field_text.substr(comma + 1));
  }
  if (fragment.empty()) return false;
  for (const std::string& entry : list) {
    if (!StartsWithText(entry, fragment)) continue;
    out.text = head + entry;
    out.selection_start = static_cast<int>(head.size() + fragment.size());
    out.selection_length = static_cast<int>(entry.size() - fragment.size());
    return true;
  }
  return false;
}

bool IsAutoCompleteIgnoredKey(int key) {
  switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Clear:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_CapsLock:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Delete:
      return true;
    default:
      return false;
  }
}

}  // namespace qm
