#include "contacts/contact_actions.h"

#include <algorithm>

#include "contacts/contact_store.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "shell/text_utils.h"

namespace qm {

cComposeRequest ContactComposeRequest(const std::string& name, const std::string& book_file,
                                      const std::string& address) {
  cContact c;
  ReadContact(book_file, name, false, c);
  return {address.empty() ? c.Email : address, c.UseAccount, c.UseSignature};
}

void WriteToContact(const std::string& name, const std::string& book_file, const std::string& address,
                    ContactsUi& ui) {
  cComposeRequest r = ContactComposeRequest(name, book_file, address);
  ui.OpenComposeWindow(r.To, r.Account, r.Signature);
}

std::string GroupRecipients(const std::string& book_file) {
  std::string to;
  for (const cContact& c : ReadContactsQuick(book_file)) {
    // An empty piece would give the send task an empty recipient.
    if (TrimBlanks(c.Email).empty()) continue;
    if (!to.empty()) to += ", ";
    to += c.Email;
  }
  return to;
}

void WriteToGroup(const std::string& book_file, ContactsUi& ui) { ui.OpenComposeWindow(GroupRecipients(book_file), "", ""); }

bool VisitHomePage(const std::string& name, const std::string& book_file, ContactsUi& ui) {
  cContact c;
  ReadContact(book_file, name, true, c);
  if (TrimBlanks(c.HomePage).empty()) return false;
  if (OptionsIni && OptionsIni->ReadBool("Browser", "UseCustom", false))
    ui.RunProgram(OptionsIni->ReadString("Browser", "Path", ""), c.HomePage);
  else
    ui.OpenUrl(c.HomePage);
  return true;
}

StringList ContactsMenuEntries(const std::string& book_file) {
  StringList names = ListContacts(book_file);
  std::stable_sort(names.begin(), names.end(),
                   [](const std::string& a, const std::string& b) { return CompareTextAscii(a, b) < 0; });
  return names;
}

void AddContactsMenu(const std::function<void(const std::string& caption)>& add_item, const std::string& book_file) {
  for (const std::string& name : ContactsMenuEntries(book_file)) add_item(name);
}

}  // namespace qm
