#pragma once
// Records every call the contact logic makes on the windows, as text lines.
#include <string>
#include <vector>

#include "contacts/contacts_ui.h"

namespace qm {

class RecordingContactsUi : public ContactsUi {
 public:
  void ShowMessage(const std::string& text, const std::string& caption, ContactsIcon icon) override {
    calls.push_back("message " + caption + ": " + text + (icon == ContactsIcon::Exclamation ? " (!)" : ""));
  }
  bool AskYesNo(const std::string& text, const std::string& caption, ContactsIcon icon) override {
    calls.push_back("ask " + caption + ": " + text + (icon == ContactsIcon::Question ? " (?)" : ""));
    return answer;
  }
  void GroupAdded(const std::string& g) override { calls.push_back("added " + g); }
  void GroupRenamed(const std::string& o, const std::string& n) override { calls.push_back("renamed " + o + " " + n); }
  void GroupRemoved(const std::string& g) override { calls.push_back("removed " + g); }
  std::string SelectedGroup() override { return selected; }
  void SelectGroup(const std::string& b) override {
    selected = b;
    calls.push_back("select " + b);
  }
  void OpenComposeWindow(const std::string& to, const std::string& account, const std::string& sig) override {
    calls.push_back("compose to=" + to + " account=" + account + " signature=" + sig);
  }
  void OpenUrl(const std::string& url) override { calls.push_back("open " + url); }
  void RunProgram(const std::string& program, const std::string& parameter) override {
    calls.push_back("run " + program + " " + parameter);
  }

  bool answer = true;
  std::string selected = "Contacts";
  std::vector<std::string> calls;
};

}  // namespace qm
