#pragma once
// Writing to a contact or a group, visiting a home page, the contacts menu:
// what they compute, handed to the windows through ContactsUi.
#include <functional>
#include <string>

#include "contacts/contacts_ui.h"
#include "platform/text_lines.h"

namespace qm {

struct cComposeRequest {
  std::string To;
  std::string Account;
  std::string Signature;
};

// To = `address`, or the contact's Email when `address` is empty; the
// contact's UseAccount and UseSignature.
cComposeRequest ContactComposeRequest(const std::string& name, const std::string& book_file,
                                      const std::string& address);
void WriteToContact(const std::string& name, const std::string& book_file, const std::string& address,
                    ContactsUi& ui);

// The Email values of every contact of the book, in section order, joined by
// ", "; contacts without an address are left out.
std::string GroupRecipients(const std::string& book_file);
void WriteToGroup(const std::string& book_file, ContactsUi& ui);

// Opens the contact's HomePage with the program of [Browser] Path when
// [Browser] UseCustom is set, else with the shell. False when the contact has
// no home page.
bool VisitHomePage(const std::string& name, const std::string& book_file, ContactsUi& ui);

// Contact names of a book sorted ignoring letter case: the captions of the
// contacts menu, one item each.
StringList ContactsMenuEntries(const std::string& book_file);
void AddContactsMenu(const std::function<void(const std::string& caption)>& add_item, const std::string& book_file);

}  // namespace qm
