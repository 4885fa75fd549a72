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

// ShowComposeWindow, OpenStoredMessage, CloseAllComposeWindows: compose_window.cpp.

void PrintMessage(const cMailMessage&) { NotAvailable("PrintMessage"); }
// OpenMessageWindow, ShowMessageProperties, SaveMessageAs and OpenLink:
// message_viewer_window.cpp, open_link.cpp.

// The address book and contact windows: address_book.cpp, add_contact.cpp,
// contact_properties.cpp, browse_contacts.cpp.

void ShowRulesList(const std::string&, bool) { NotAvailable("ShowRulesList"); }
void CreateRuleFromMessage(const std::string&, const cMailMessage&, bool) { NotAvailable("CreateRuleFromMessage"); }
void CreateIncomingRule(const std::string&, const std::string&, const std::string&) {
  NotAvailable("CreateIncomingRule");
}

void ShowOptionsDialog(QWidget* parent) { NotAvailable("ShowOptionsDialog", parent); }
// ShowManageSignatures: signatures_window.cpp.
void ShowFindMessage() { NotAvailable("ShowFindMessage"); }
// ShowAccountProperties, ShowAbout, ShowTaskWindow: account_properties.cpp,
// about_dialog.cpp, tasks_progress.cpp.

}  // namespace qm
