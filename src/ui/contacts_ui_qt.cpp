#include "ui/contacts_ui_qt.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

#include "contacts/contact_store.h"
#include "shell/app_paths.h"
#include "ui/address_book.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

namespace {

QMessageBox::Icon BoxIcon(ContactsIcon icon) {
  switch (icon) {
    case ContactsIcon::Information: return QMessageBox::Information;
    case ContactsIcon::Exclamation: return QMessageBox::Warning;
    case ContactsIcon::Question: return QMessageBox::Question;
    case ContactsIcon::Error: return QMessageBox::Critical;
  }
  return QMessageBox::Information;
}

}  // namespace

void TQtContactsUi::ShowMessage(const std::string& text, const std::string& caption, ContactsIcon icon) {
  QWidget* parent = parent_ ? parent_ : QApplication::activeWindow();
  QMessageBox box(BoxIcon(icon), Q(caption), Q(text), QMessageBox::Ok, parent);
  box.exec();
}

bool TQtContactsUi::AskYesNo(const std::string& text, const std::string& caption, ContactsIcon icon) {
  QWidget* parent = parent_ ? parent_ : QApplication::activeWindow();
  QMessageBox box(BoxIcon(icon), Q(caption), Q(text), QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void TQtContactsUi::GroupAdded(const std::string& group) {
  if (TfrmMain* main = TfrmMain::Instance()) main->ReloadContactPane();
  if (TfrmAddressBook* book = TfrmAddressBook::Instance()) book->GroupAdded(group);
}

void TQtContactsUi::GroupRenamed(const std::string& old_group, const std::string& new_group) {
  if (TfrmMain* main = TfrmMain::Instance()) {
    // The pane keeps its selection by name, so it follows the rename.
    QComboBox* groups = main->cboContactGroups;
    int at = groups->findText(Q(old_group));
    if (at >= 0) groups->setItemText(at, Q(new_group));
    main->ReloadContactPane();
  }
  if (TfrmAddressBook* book = TfrmAddressBook::Instance()) book->GroupRenamed(old_group, new_group);
}

void TQtContactsUi::GroupRemoved(const std::string& group) {
  if (TfrmMain* main = TfrmMain::Instance()) {
    QComboBox* groups = main->cboContactGroups;
    int at = groups->findText(Q(group));
    if (at > 0) groups->removeItem(at);
    main->ReloadContactPane();
  }
  if (TfrmAddressBook* book = TfrmAddressBook::Instance()) book->GroupRemoved(group);
}

std::string TQtContactsUi::SelectedGroup() {
  TfrmMain* main = TfrmMain::Instance();
  return main ? S(main->cboContactGroups->currentText()) : std::string();
}

void TQtContactsUi::SelectGroup(const std::string& book) {
  TfrmMain* main = TfrmMain::Instance();
  if (!main) return;
  int at = main->cboContactGroups->findText(Q(book));
  if (at >= 0) main->cboContactGroups->setCurrentIndex(at);
}

void TQtContactsUi::OpenComposeWindow(const std::string& to, const std::string& account,
                                      const std::string& signature) {
  ComposeSetup setup;
  setup.to = to;
  setup.account = account;
  setup.signature = signature;
  ShowComposeWindow(setup);
}

void TQtContactsUi::OpenUrl(const std::string& url) { QDesktopServices::openUrl(QUrl::fromUserInput(Q(url))); }

void TQtContactsUi::RunProgram(const std::string& program, const std::string& parameter) {
  QProcess::startDetached(Q(program), {Q(parameter)});
}

std::string MainPaneBookFile() {
  TfrmMain* main = TfrmMain::Instance();
  if (!main || main->cboContactGroups->count() == 0) return "";
  QComboBox* groups = main->cboContactGroups;
  return groups->currentIndex() <= 0 ? ContactsFile() : GetGroupFile(S(groups->currentText()));
}

void RefreshMainPaneFor(const std::string& book_file) {
  TfrmMain* main = TfrmMain::Instance();
  if (main && !book_file.empty() && MainPaneBookFile() == book_file) main->ReloadContactPane();
}

}  // namespace qm
