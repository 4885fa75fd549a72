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

// PrintMessage: print_message.cpp.
// OpenMessageWindow, ShowMessageProperties, SaveMessageAs and OpenLink:
// message_viewer_window.cpp, open_link.cpp.

// The address book and contact windows: address_book.cpp, add_contact.cpp,
// contact_properties.cpp, browse_contacts.cpp.

// ShowRulesList, CreateRuleFromMessage, CreateIncomingRule: rules_list.cpp, rule_editor.cpp.

// ShowOptionsDialog: options_dialog.cpp.
// ShowManageSignatures: signatures_window.cpp.
// ShowFindMessage: find_message.cpp.
// ShowAccountProperties, ShowAbout, ShowTaskWindow: account_properties.cpp,
// about_dialog.cpp, tasks_progress.cpp.

}  // namespace qm
