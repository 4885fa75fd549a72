// Placeholders for windows not built yet: each tells the user so. A window's
// developer replaces its body here with a call into the real window.
#include <QApplication>
#include <QMessageBox>

#include "ui/window_entry_points.h"
#include "ui/window_entry_points_trace.h"

namespace qm {

namespace {

void NotAvailable(const char* window, QWidget* parent = nullptr) {
  if (TraceWindowEntryPoint(window)) return;
  if (!parent) parent = QApplication::activeWindow();
  QMessageBox::information(parent, "Torvane Quillmar", "This window is not available yet.");
}

}  // namespace

void ShowComposeWindow(const ComposeSetup&) { NotAvailable("ShowComposeWindow"); }
void OpenStoredMessage(const std::string&, bool) { NotAvailable("OpenStoredMessage"); }
// No compose window can be open yet, so none refuses.
bool CloseAllComposeWindows() { return true; }

void OpenMessageWindow(const std::string&) { NotAvailable("OpenMessageWindow"); }
void PrintMessage(const cMailMessage&) { NotAvailable("PrintMessage"); }
void OpenLink(const std::string&) { NotAvailable("OpenLink"); }

void OpenAddressBook() { NotAvailable("OpenAddressBook"); }
bool AddressBookShowsFile(const std::string&) { return false; }
void RefreshAddressBook() {}
bool AddContactDialog(const std::string&, const std::string&, const std::string&) {
  NotAvailable("AddContactDialog");
  return false;
}
bool EditContactDialog(const std::string&, const std::string&) {
  NotAvailable("EditContactDialog");
  return false;
}
bool BrowseContactsDialog(std::string&) {
  NotAvailable("BrowseContactsDialog");
  return false;
}

void ShowRulesList(const std::string&, bool) { NotAvailable("ShowRulesList"); }
void CreateRuleFromMessage(const std::string&, const cMailMessage&, bool) { NotAvailable("CreateRuleFromMessage"); }
void CreateIncomingRule(const std::string&, const std::string&, const std::string&) {
  NotAvailable("CreateIncomingRule");
}

bool ShowAccountProperties(const std::string&, QWidget* parent) {
  NotAvailable("ShowAccountProperties", parent);
  return false;
}
void ShowOptionsDialog(QWidget* parent) { NotAvailable("ShowOptionsDialog", parent); }
void ShowManageSignatures(QWidget* parent) { NotAvailable("ShowManageSignatures", parent); }
void ShowFindMessage() { NotAvailable("ShowFindMessage"); }
void ShowAbout(QWidget* parent) { NotAvailable("ShowAbout", parent); }

void ShowTaskWindow() { NotAvailable("ShowTaskWindow"); }

}  // namespace qm
