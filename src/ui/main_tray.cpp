// The tray icon: its four states, its menu (rebuilt every time it opens) and
// bringing the window back.
#include <QAction>
#include <QApplication>
#include <QMenu>

#include "accounts/account_list.h"
#include "contacts/contact_actions.h"
#include "contacts/contact_store.h"
#include "shell/app_paths.h"
#include "ui/main_error_guard.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

void TfrmMain::CreateTray() {
  TrayIcon = new QSystemTrayIcon(this);
  TrayIcon->setObjectName("TrayIcon");
  TrayPopupMenu = new QMenu(this);
  TrayPopupMenu->setObjectName("TrayPopupMenu");
  TrayIcon->setContextMenu(TrayPopupMenu);
  connect(TrayPopupMenu, &QMenu::aboutToShow, this, Guarded([this] { BuildTrayMenu(); }));
  connect(TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) ShowMainWindowFromTray();
  });
}

void TfrmMain::SetTrayState(TrayState state, const QString& tool_tip, bool reset_new_mail_count) {
  tray_state_ = state;
  TrayIcon->setIcon(TrayPicture(state));
  TrayIcon->setToolTip(tool_tip);
  if (reset_new_mail_count) new_mail_count_ = 0;
}

void TfrmMain::SetTrayIconShown(bool shown) {
  tray_shown_ = shown;
  TrayIcon->setVisible(shown);
  Command("mnuTools_MinToTray")->setEnabled(shown);
}

void TfrmMain::ShowMainWindowFromTray() {
  show();
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void TfrmMain::BuildTrayMenu() {
  QMenu* m = TrayPopupMenu;
  m->clear();
  QAction* show_item = m->addAction("&Show", this, [this] { ShowMainWindowFromTray(); });
  QFont bold = show_item->font();
  bold.setBold(true);
  show_item->setFont(bold);
  m->setDefaultAction(show_item);
  m->addSeparator();
  m->addAction(Command("tbNewMessage")->icon(), "&New message", this, Guarded([] { ShowComposeWindow({}); }));

  QMenu* contacts = m->addMenu("&Contacts");
  contacts->addAction(Command("tbAddressBook")->icon(), "&Open address book", this, Guarded([] { OpenAddressBook(); }));
  contacts->addSeparator();
  auto add_book = [this](QMenu* menu, const std::string& book_file) {
    AddContactsMenu(
        [this, menu, book_file](const std::string& caption) {
          menu->addAction(Q(caption), this, Guarded([this, caption, book_file] {
                            if (contacts_ui_) WriteToContact(caption, book_file, "", *contacts_ui_);
                          }));
        },
        book_file);
  };
  add_book(contacts, ContactsFile());
  StringList books = GetBookList();
  for (size_t i = 1; i < books.size(); ++i) add_book(contacts->addMenu(Q(books[i])), GetGroupFile(books[i]));

  m->addSeparator();
  QMenu* receive = m->addMenu("&Receive mail");
  receive->addAction("&Check on all accounts", this, Guarded([this] { CheckMailOnAllAccounts(false); }));
  receive->addSeparator();
  for (const std::string& account : ListAccounts())
    receive->addAction(Q(account), this, Guarded([this, account] { StartFetch(account, true, false, true); }));
  m->addAction("&Send all unsent mail", this, Guarded([this] { Command("mnuTools_SendAllUnsent")->trigger(); }));
  m->addSeparator();
  m->addAction("&Quit", this, [this] { close(); });
}

}  // namespace qm
