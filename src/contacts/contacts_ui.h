#pragma once
// What the contact logic asks of the windows: message boxes, the group lists
// of the main window and the address book, a new compose window, the browser.
#include <string>

namespace qm {

enum class ContactsIcon { Information, Exclamation, Question, Error };

class ContactsUi {
 public:
  virtual ~ContactsUi() = default;

  virtual void ShowMessage(const std::string& text, const std::string& caption, ContactsIcon icon) = 0;
  // Yes and No buttons; true on Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& caption, ContactsIcon icon) = 0;

  // Group lists of the main window and, when it is open, of the address book.
  virtual void GroupAdded(const std::string& group) = 0;
  virtual void GroupRenamed(const std::string& old_group, const std::string& new_group) = 0;
  virtual void GroupRemoved(const std::string& group) = 0;
  // The book selected in the main window's group list, and selecting one.
  virtual std::string SelectedGroup() = 0;
  virtual void SelectGroup(const std::string& book) = 0;

  // A new compose window with these fields filled (any may be empty).
  virtual void OpenComposeWindow(const std::string& to, const std::string& account, const std::string& signature) = 0;
  // The shell's handler for an address, or a chosen program given it as its parameter.
  virtual void OpenUrl(const std::string& url) = 0;
  virtual void RunProgram(const std::string& program, const std::string& parameter) = 0;
};

}  // namespace qm
