// The contact pane under the folder tree: the group list, the contacts of the
// chosen group, their pop-up menus and commands.
#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>
#include <algorithm>

#include "contacts/contact_actions.h"
#include "contacts/contact_store.h"
#include "contacts/contacts_ui.h"
#include "shell/app_paths.h"
#include "shell/text_utils.h"
#include "ui/generic_prompt_dialog.h"
#include "ui/main_error_guard.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

namespace {

// What the contact logic asks of the windows, answered by the main window.
class TMainContactsUi : public ContactsUi {
 public:
  explicit TMainContactsUi(TfrmMain* main) : main_(main) {}
  void ShowMessage(const std::string& text, const std::string& caption, ContactsIcon icon) override {
    QMessageBox::Icon i = icon == ContactsIcon::Error         ? QMessageBox::Critical
                          : icon == ContactsIcon::Exclamation ? QMessageBox::Warning
                                                              : QMessageBox::Information;
    QMessageBox box(i, Q(caption), Q(text), QMessageBox::Ok, main_);
    box.exec();
  }
  bool AskYesNo(const std::string& text, const std::string& caption, ContactsIcon) override {
    return QMessageBox::question(main_, Q(caption), Q(text), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  }
  void GroupAdded(const std::string&) override { main_->ReloadContactPane(); }
  void GroupRenamed(const std::string&, const std::string&) override { main_->ReloadContactPane(); }
  void GroupRemoved(const std::string&) override { main_->ReloadContactPane(); }
  std::string SelectedGroup() override { return S(main_->cboContactGroups->currentText()); }
  void SelectGroup(const std::string& book) override {
    int i = main_->cboContactGroups->findText(Q(book));
    if (i >= 0) main_->cboContactGroups->setCurrentIndex(i);
  }
  void OpenComposeWindow(const std::string& to, const std::string& account, const std::string& signature) override {
    ComposeSetup s;
    s.to = to;
    s.account = account;
    s.signature = signature;
    ShowComposeWindow(s);
  }
  void OpenUrl(const std::string& url) override { QDesktopServices::openUrl(QUrl(Q(url))); }
  void RunProgram(const std::string& program, const std::string& parameter) override {
    QProcess::startDetached(Q(program), {Q(parameter)});
  }

 private:
  TfrmMain* main_;
};

}  // namespace

void TfrmMain::ReloadContactPane() {
  if (!contacts_ui_) contacts_ui_ = std::make_unique<TMainContactsUi>(this);
  std::string wanted = S(cboContactGroups->currentText());
  if (wanted.empty() && OptionsIni) wanted = OptionsIni->ReadString("MainWnd", "LastSelGroup", "");
  const QSignalBlocker block(cboContactGroups);
  cboContactGroups->clear();
  StringList books = GetBookList();
  for (size_t i = 0; i < books.size(); ++i) cboContactGroups->addItem(ContactGroupPicture(i == 0), Q(books[i]));
  int at = cboContactGroups->findText(Q(wanted));
  cboContactGroups->setCurrentIndex(at >= 0 ? at : 0);
  cboContactGroupsChange();
}

std::string TfrmMain::SelectedContactFile() const {
  if (cboContactGroups->currentIndex() <= 0) return ContactsFile();
  return GetGroupFile(S(cboContactGroups->currentText()));
}

void TfrmMain::cboContactGroupsChange() {
  lstContacts->clear();
  if (cboContactGroups->count() == 0) return;
  const std::string file = SelectedContactFile();
  for (const cContact& c : ReadContactsQuickByName(file)) {
    if (c.ShowOnContactPane) new QListWidgetItem(ContactPicture(), Q(c.Name), lstContacts);
  }
}

std::string TfrmMain::FocusedContact() const {
  QListWidgetItem* item = lstContacts->currentItem();
  return item ? S(item->text()) : std::string();
}

void TfrmMain::lstContactsContextMenu(const QPoint& pos) {
  QListWidgetItem* item = lstContacts->itemAt(pos);
  if (item) lstContacts->setCurrentItem(item, QItemSelectionModel::NoUpdate);
  QMenu* menu = item ? ContactPopupMenu : ContactPanePopupMenu;
  menu->popup(lstContacts->viewport()->mapToGlobal(pos));
}

void TfrmMain::ContactSendMail() {
  QList<QListWidgetItem*> selected = lstContacts->selectedItems();
  if (selected.isEmpty()) return;
  const std::string file = SelectedContactFile();
  if (selected.size() == 1) {
    WriteToContact(S(selected.first()->text()), file, "", *contacts_ui_);
    return;
  }
  ComposeSetup s;
  for (QListWidgetItem* item : selected) {
    cContact c;
    InitContact(c);
    ReadContact(file, S(item->text()), true, c);
    if (c.Email.empty()) continue;
    if (!s.to.empty()) s.to += ",";
    s.to += c.Email;
  }
  ShowComposeWindow(s);
}

void TfrmMain::ConnectContactCommands() {
  auto on = [this](const char* name, std::function<void()> fn) {
    connect(Command(name), &QAction::triggered, this, [fn] { RunGuarded(fn); });
  };
  auto refresh_book = [this](const std::string& file) {
    if (AddressBookShowsFile(file)) RefreshAddressBook();
  };
  on("mnuContact_VisitHomePage", [this] {
    std::string name = FocusedContact();
    if (!name.empty()) VisitHomePage(name, SelectedContactFile(), *contacts_ui_);
  });
  on("popContactPane_EmailGroup", [this] { WriteToGroup(SelectedContactFile(), *contacts_ui_); });
  on("mnuContact_CreateRule", [this] {
    std::string name = FocusedContact();
    if (!name.empty()) CreateIncomingRule(CurrentAccount(), name, SelectedContactFile());
  });
  on("mnuContact_Properties", [this, refresh_book] {
    std::string name = FocusedContact();
    if (name.empty()) return;
    if (EditContactDialog(SelectedContactFile(), name)) {
      cboContactGroupsChange();
      refresh_book(SelectedContactFile());
    }
  });
  on("mnuContact_Rename", [this, refresh_book] {
    QListWidgetItem* item = lstContacts->currentItem();
    if (!item) return;
    std::string old_name = S(item->text());
    auto [ok, name] = PromptText<TfrmRenameMailbox>(old_name, this);
    if (!ok) return;
    name = TrimBlanks(name);
    const std::string file = SelectedContactFile();
    if (RenameContact(file, old_name, name)) {
      item->setText(Q(name));
      refresh_book(file);
    }
  });
  on("mnuContact_Delete", [this, refresh_book] {
    const std::string file = SelectedContactFile();
    QList<QListWidgetItem*> selected = lstContacts->selectedItems();
    if (selected.isEmpty()) return;
    for (QListWidgetItem* item : selected) {
      DeleteContact(file, S(item->text()));
      delete item;
    }
    refresh_book(file);
  });
}

}  // namespace qm
