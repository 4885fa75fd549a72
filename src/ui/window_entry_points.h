#pragma once
// Windows the main window opens that live in other files. Each is declared
// here and implemented by its window's own file.
// Messages are named by their message reference (account://folder/mailbox/key).
#include <memory>
#include <string>

#include "transport/task_ui.h"

class QWidget;

namespace qm {

struct cMailMessage;

// --- Compose window ---------------------------------------------------------
enum class ComposeKind { New, Reply, Forward };

struct ComposeSetup {
  ComposeKind kind = ComposeKind::New;
  std::string source_ref;  // reply and forward: the message answered
  std::string account;     // empty: the default account
  std::string to;          // recipients joined by ","
  std::string signature;   // empty: the account's own
  bool quoted = false;
  bool reply_all = false;
  bool selection_only = false;
};

// A new compose window, SetupMessage with these settings.
void ShowComposeWindow(const ComposeSetup& setup);
// A compose window on a stored message ("Continue Editing", "Edit message as new").
void OpenStoredMessage(const std::string& message_ref, bool as_new);
// Runs the close query of every open compose window from the last to the
// first; false (with the refusing window brought to the front) when one refuses.
bool CloseAllComposeWindows();

// --- Viewer -----------------------------------------------------------------
void OpenMessageWindow(const std::string& message_ref);
// The viewer's "&Properties" and "&Save message as..." for a message.
void ShowMessageProperties(const std::string& message_ref);
void SaveMessageAs(const std::string& message_ref);
// Prints one message on the default printer.
void PrintMessage(const cMailMessage& msg);
// Opens a web or mail address as the viewer does (custom browser setting).
void OpenLink(const std::string& url);

// --- Address book -----------------------------------------------------------
// One window at most, shown in front.
void OpenAddressBook();
// True when the address book window is open and shows this book file.
bool AddressBookShowsFile(const std::string& book_file);
void RefreshAddressBook();
bool AddContactDialog(const std::string& book_file, const std::string& name, const std::string& address);
bool EditContactDialog(const std::string& book_file, const std::string& name);
// Picks an address; true with `address` replaced when one was chosen.
bool BrowseContactsDialog(std::string& address);

// --- Rules ------------------------------------------------------------------
// The modal rules list of an account's "Incoming rules.ini" or "Outgoing rules.ini".
void ShowRulesList(const std::string& account, bool incoming);
void CreateRuleFromMessage(const std::string& account, const cMailMessage& msg, bool incoming);
// A new incoming rule for mail from a contact of a book.
void CreateIncomingRule(const std::string& account, const std::string& contact_name, const std::string& book_file);

// --- Settings windows -------------------------------------------------------
// The account properties window, modal, for `account` (a new one when its
// directory does not exist yet); true on OK.
bool ShowAccountProperties(const std::string& account, QWidget* parent);
// The Options dialog, modal.
void ShowOptionsDialog(QWidget* parent);
void ShowManageSignatures(QWidget* parent);
// The find window: focused when open, otherwise created, not modal.
void ShowFindMessage();
void ShowAbout(QWidget* parent);

// --- Task window and what tasks show ----------------------------------------
// Shows and focuses the task window when it exists.
void ShowTaskWindow();
// A new task window's widgets (the task queue owns them).
std::unique_ptr<cTaskWindowView> CreateTaskWindowView();
// A new preview window, and removing one.
cPreviewWindowView* CreatePreviewWindowView();
void DestroyPreviewWindowView(cPreviewWindowView* window);
// The oversized-message question, modal.
TSizePromptAnswer AskExceededSizePrompt(const cSizePromptInfo& info);
// A named sound of [Sounds], or a sound file; returns at once.
void PlayNamedSound(const std::string& name, bool is_file);

}  // namespace qm
