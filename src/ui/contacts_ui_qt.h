#pragma once
// The contact logic's questions answered by Qt: message boxes, the group
// lists of the main window and the address book, compose windows, the browser.
#include <string>

#include "contacts/contacts_ui.h"

class QWidget;

namespace qm {

class TQtContactsUi : public ContactsUi {
 public:
  explicit TQtContactsUi(QWidget* parent = nullptr) : parent_(parent) {}

  void ShowMessage(const std::string& text, const std::string& caption, ContactsIcon icon) override;
  bool AskYesNo(const std::string& text, const std::string& caption, ContactsIcon icon) override;
  void GroupAdded(const std::string& group) override;
  void GroupRenamed(const std::string& old_group, const std::string& new_group) override;
  void GroupRemoved(const std::string& group) override;
  std::string SelectedGroup() override;
  void SelectGroup(const std::string& book) override;
  void OpenComposeWindow(const std::string& to, const std::string& account, const std::string& signature) override;
  void OpenUrl(const std::string& url) override;
  void RunProgram(const std::string& program, const std::string& parameter) override;

 private:
  QWidget* parent_;
};

// The file of the book the main window's contact pane shows; empty without
// a main window.
std::string MainPaneBookFile();
// Reloads the main window's contact pane when it shows this book.
void RefreshMainPaneFor(const std::string& book_file);

}  // namespace qm
