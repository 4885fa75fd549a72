// The main window's commands: their items, menus, toolbar and pop-up menus,
// the enabling rules, and what each command does.
#include <QAction>
#include <QActionGroup>
#include <QDesktopServices>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>

#include "accounts/account_list.h"
#include "accounts/account_settings.h"
#include "accounts/block_sender.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "store/folder_tree_scan.h"
#include "store/mailbox_stats.h"
#include "store/message_ref.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "store/store_lock.h"
#include "store/tree_operations.h"
#include "transport/preview_mail_task.h"
#include "ui/browse_folders_dialog.h"
#include "ui/empty_trash_dialog.h"
#include "ui/generic_prompt_dialog.h"
#include "ui/main_error_guard.h"
#include "ui/main_folder_tree.h"
#include "ui/main_message_list.h"
#include "ui/main_panes.h"
#include "ui/main_window.h"
#include "ui/message_viewer_frame.h"
#include "ui/qt_text.h"
#include "ui/redirect_dialog.h"
#include "ui/window_entry_points.h"

namespace qm {

namespace {

const char* const kHomePage = "https://quillmar.example/";

// The windows' answers to the rules' questions.
class TWindowPrompts : public UserPrompts {
 public:
  explicit TWindowPrompts(QWidget* parent) : parent_(parent) {}
  bool AskYesNo(const std::string& text, const std::string& caption, PromptIcon) override {
    return QMessageBox::question(parent_, Q(caption), Q(text), QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
  }
  void ShowMessage(const std::string& text, const std::string& caption, PromptIcon icon) override {
    QMessageBox::Icon i = icon == PromptIcon::Error         ? QMessageBox::Critical
                          : icon == PromptIcon::Exclamation ? QMessageBox::Warning
                                                            : QMessageBox::Information;
    QMessageBox box(i, Q(caption), Q(text), QMessageBox::Ok, parent_);
    box.exec();
  }

 private:
  QWidget* parent_;
};

bool IsStandardName(const std::string& name) {
  return name == "Inbox" || name == "Unsent" || name == "Unfinished" || name == "Sent Items" || name == "Trash";
}

}  // namespace

QAction* TfrmMain::Command(const char* name) const {
  auto it = commands_.find(name);
  return it == commands_.end() ? nullptr : it->second;
}

QAction* TfrmMain::AddCommand(const char* name, const QString& caption, const QString& icon, bool toggle) {
  auto* a = new QAction(caption, this);
  a->setObjectName(name);
  if (!icon.isEmpty()) a->setIcon(CommandPicture(icon));
  a->setCheckable(toggle);
  QString hint = caption;
  hint.remove('&');
  a->setToolTip(hint);
  a->setStatusTip(hint);
  commands_[name] = a;
  return a;
}

void TfrmMain::CreateCommands() {
  // Message commands.
  AddCommand("tbNewMessage", "&New message", "mail-message-new");
  AddCommand("tbReplyToMessage", "&Reply", "mail-reply-sender");
  AddCommand("popMsgs_ReplyQuoted", "Reply &quoted");
  AddCommand("popMsg_ReplyAll", "Reply &all", "mail-reply-all");
  AddCommand("mnuMsg_WithSelectionOnly", "Reply with &selection only");
  AddCommand("tbForwardMessage", "&Forward", "mail-forward");
  AddCommand("popMsgs_ContinueEditing", "Continue Editing", "accessories-text-editor");
  AddCommand("popMsgs_EditAsNew", "&Edit message as new");
  AddCommand("popMsgs_SendNow", "&Send now", "mail-send");
  AddCommand("mnuMessage_OpenInWindow", "&Open in new window", "document-open");
  AddCommand("mnuMessage_Redirect", "Redirect to...");
  AddCommand("mnuTools_AddSenderToAddressBook", "&Add sender to address book", "contact-new");
  AddCommand("popMsg_CreateIncomingRule", "&Create an incoming rule");
  AddCommand("popMsg_CreateOutgoingRule", "Create an outgoing rule");
  AddCommand("popMsgs_BlockSender", "&Block sender", "process-stop");
  AddCommand("mnuMessage_MarkAsRead", "Mark as &read", "mail-mark-read");
  AddCommand("mnuMessage_MarkAsUnread", "Mark as &unread", "mail-mark-unread");
  AddCommand("mnuMessage_Next", "Next message", "go-down");
  AddCommand("mnuMessage_NextUnread", "Next unread message", "go-last");
  AddCommand("mnuMessage_Previous", "Previous message", "go-up");
  AddCommand("tbDelete", "&Delete", "edit-delete");
  AddCommand("popMsgs_Props", "&Properties", "document-properties");
  AddCommand("mnuFile_CopyMessage", "&Copy message to...", "edit-copy");
  AddCommand("mnuFile_MoveMessage", "&Move message to...");
  AddCommand("mnuFile_SaveMsgAs", "&Save message as...", "document-save-as");
  AddCommand("tbPrint", "Print", "document-print");
  // Mailbox and folder commands.
  AddCommand("popFolder_New", "&New folder", "folder-new");
  AddCommand("popFolder_Rename", "&Rename");
  AddCommand("popFolder_Delete", "&Delete");
  AddCommand("popMailbox_NewMailbox", "&New mailbox", "list-add");
  AddCommand("popMailbox_Rename", "&Rename");
  AddCommand("popMailbox_Delete", "&Delete");
  AddCommand("popMailbox_Empty", "Empty", "edit-clear");
  AddCommand("mnuFile_MailBox_Compress", "Compress mailbox");
  AddCommand("mnuFile_MailBox_PassWordProtect", "Password-protect this mailbox", "dialog-password");
  AddCommand("mnuFile_MailBox_RemoveProtection", "&Remove password protection");
  AddCommand("tbEmptyTrash", "Empty Trash", "user-trash-full");
  // Account commands.
  AddCommand("mnuServer_IncomingRules", "Manage &incoming rules");
  AddCommand("mnuServer_OutgoingRules", "Manage &outgoing rules");
  AddCommand("mnuServer_ComposeWithThisAccount", "&Compose with this account");
  AddCommand("mnuServer_SetAsDefault", "&Set as default account");
  AddCommand("mnuServer_FetchOnThisAccount", "&Fetch mail on this account");
  AddCommand("mnuServer_SendUnsentMessages", "Send unsent messages");
  AddCommand("mnuServer_PreviewMail", "Preview mail....");
  AddCommand("tbServerProperties", "&Server properties", "network-server");
  AddCommand("mnuServer_Delete", "Delete");
  AddCommand("mnuServer_Add", "&Add server...");
  // Mail commands.
  AddCommand("tbGetMail", "Check for new mail", "mail-send-receive");
  AddCommand("mnuTools_CheckMailOnDefAccount", "Fetch mail from default account");
  AddCommand("mnuTools_CheckAllAccounts", "Check mail on all accounts");
  AddCommand("tbSendUnsent", "Send unsent messages", "mail-send");
  AddCommand("mnuTools_SendAllUnsent", "Send all unsent messages");
  AddCommand("mnuFile_WorkOffline", "&Work offline", "network-offline", true);
  // View and window commands.
  AddCommand("mnuView_ContactPane", "&Contact Pane", {}, true);
  AddCommand("mnuView_MessageHeaders", "Message headers", {}, true);
  AddCommand("mnuView_MsgBody", "Message body", {}, true);
  AddCommand("mnuView_Statusbar", "&Status bar", {}, true);
  AddCommand("mnuView_MailboxStats", "&Mailbox stats columns", {}, true);
  AddCommand("mnuView_FocusMsgList", "&Focus message list");
  AddCommand("mnuView_FocusMsgBody", "Focus message &body");
  AddCommand("tbViewFullScreen", "View full screen", "view-fullscreen", true);
  AddCommand("mnuTools_MinToTray", "&Minimize to tray");
  AddCommand("mnuTools_GoDefaultInbox", "&Select Inbox of default account", "go-home");
  AddCommand("mnuTools_OpenAttachsFolder", "Open the &attachments folder", "folder-open");
  AddCommand("tbAddressBook", "Address Book", "x-office-address-book");
  AddCommand("mnuConfigure_ManageSignatures", "Manage signatures");
  AddCommand("mnuTools_FindMessage", "&Find message...", "edit-find");
  AddCommand("tbOptions", "Options", "preferences-system");
  AddCommand("mnuHelp_VisitHomePage", "&Visit Home Page", "help-browser");
  AddCommand("mnuHelp_About", "&About...", "help-about");
  AddCommand("mnuFile_Exit", "Exit", "application-exit");
  // Contact pane commands.
  AddCommand("mnuContact_New", "New Contact", "contact-new");
  AddCommand("mnuContactPane_AddContact", "Add contact", "contact-new");
  AddCommand("mnuContact_SendMail", "Send Mail", "mail-message-new");
  AddCommand("mnuContact_VisitHomePage", "Visit Home Page");
  AddCommand("popContactPane_EmailGroup", "Send mail to group");
  AddCommand("mnuContact_CreateRule", "Create an incoming rule...");
  AddCommand("mnuContact_Properties", "Properties", "document-properties");
  AddCommand("mnuContact_Rename", "Rename");
  AddCommand("mnuContact_Delete", "Delete", "edit-delete");
  AddCommand("mnuContactPane_HidePane", "Hide Contact Pane");
  AddCommand("mnuContactPane_OpenAddrBook", "Open Address Book", "x-office-address-book");
}

void TfrmMain::CreateMenusAndToolbar() {
  auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
    for (const char* n : names) {
      if (*n == '|')
        menu->addSeparator();
      else
        menu->addAction(Command(n));
    }
  };
  QMenuBar* bar = menuBar();
  bar->setObjectName("MainMenu");
  QMenu* file = bar->addMenu("&File");
  file->setObjectName("mnuFile");
  QMenu* folders = file->addMenu("Folders");
  folders->setObjectName("mnuFile_Folders");
  add(folders, {"popFolder_New", "popFolder_Rename", "popFolder_Delete"});
  QMenu* mailboxes = file->addMenu("&Mailboxes");
  mailboxes->setObjectName("mnuFile_Mailboxes");
  add(mailboxes, {"popMailbox_NewMailbox", "popMailbox_Rename", "popMailbox_Delete", "|", "popMailbox_Empty",
                  "mnuFile_MailBox_Compress", "|", "mnuFile_MailBox_PassWordProtect",
                  "mnuFile_MailBox_RemoveProtection"});
  add(file, {"|", "mnuFile_CopyMessage", "mnuFile_MoveMessage", "|", "mnuFile_SaveMsgAs", "tbPrint", "|",
             "mnuFile_WorkOffline", "mnuFile_Exit"});
  QMenu* view = bar->addMenu("&View");
  view->setObjectName("mnuView");
  add(view, {"mnuView_ContactPane", "mnuView_MessageHeaders", "mnuView_MsgBody", "mnuView_Statusbar",
             "mnuView_MailboxStats", "|", "mnuView_FocusMsgList", "mnuView_FocusMsgBody"});
  QMenu* message = bar->addMenu("&Message");
  message->setObjectName("mnuMessage");
  add(message, {"popMsgs_SendNow", "popMsgs_ContinueEditing", "mnuMessage_OpenInWindow", "tbNewMessage", "|",
                "tbReplyToMessage", "popMsgs_ReplyQuoted", "popMsg_ReplyAll", "mnuMsg_WithSelectionOnly",
                "tbForwardMessage", "mnuMessage_Redirect", "popMsgs_EditAsNew", "mnuTools_AddSenderToAddressBook",
                "|", "popMsg_CreateIncomingRule", "popMsg_CreateOutgoingRule", "popMsgs_BlockSender", "|",
                "mnuMessage_MarkAsRead", "mnuMessage_MarkAsUnread", "|", "mnuMessage_Next", "mnuMessage_NextUnread",
                "mnuMessage_Previous", "|", "tbDelete", "popMsgs_Props"});
  QMenu* server = bar->addMenu("Server");
  server->setObjectName("mnuServer");
  add(server, {"mnuServer_IncomingRules", "mnuServer_OutgoingRules", "|", "mnuServer_ComposeWithThisAccount",
               "mnuServer_SetAsDefault", "mnuServer_FetchOnThisAccount", "mnuServer_SendUnsentMessages",
               "mnuServer_PreviewMail", "|", "tbServerProperties", "mnuServer_Delete", "|", "mnuServer_Add"});
  QMenu* tools = bar->addMenu("&Tools");
  tools->setObjectName("mnuTools");
  add(tools, {"mnuTools_MinToTray", "mnuTools_GoDefaultInbox", "mnuTools_OpenAttachsFolder", "|", "tbAddressBook",
              "mnuConfigure_ManageSignatures", "mnuTools_FindMessage", "mnuTools_CheckMailOnDefAccount",
              "mnuTools_CheckAllAccounts", "mnuTools_SendAllUnsent", "|", "tbOptions"});
  QMenu* help = bar->addMenu("&Help");
  help->setObjectName("mnuHelp");
  add(help, {"mnuHelp_VisitHomePage", "mnuHelp_About"});

  MainToolbar = addToolBar("Main toolbar");
  MainToolbar->setObjectName("MainToolbar");
  MainToolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  MainToolbar->setIconSize(QSize(24, 24));
  for (const char* n : {"tbNewMessage", "tbReplyToMessage", "tbForwardMessage", "tbDelete", "tbPrint", "|",
                        "tbGetMail", "tbSendUnsent", "|", "tbViewFullScreen", "tbOptions", "tbServerProperties",
                        "tbAddressBook", "|", "tbEmptyTrash"}) {
    if (*n == '|')
      MainToolbar->addSeparator();
    else
      MainToolbar->addAction(Command(n));
  }

  auto popup = [this, &add](const char* name, std::initializer_list<const char*> names) {
    auto* m = new QMenu(this);
    m->setObjectName(name);
    add(m, names);
    return m;
  };
  ServerPopupMenu = popup("ServerPopupMenu",
                          {"mnuServer_IncomingRules", "mnuServer_OutgoingRules", "mnuServer_PreviewMail",
                           "mnuServer_FetchOnThisAccount", "mnuServer_ComposeWithThisAccount", "mnuServer_SetAsDefault",
                           "|", "tbServerProperties", "mnuServer_Delete", "|", "mnuServer_Add", "popFolder_New",
                           "popMailbox_NewMailbox"});
  MailboxPopupMenu = popup("MailboxPopupMenu",
                           {"popMailbox_Rename", "popMailbox_Delete", "popMailbox_Empty", "|",
                            "mnuFile_MailBox_Compress", "mnuFile_MailBox_PassWordProtect",
                            "mnuFile_MailBox_RemoveProtection", "|", "popMailbox_NewMailbox"});
  FolderPopupMenu = popup("FolderPopupMenu",
                          {"popFolder_Rename", "popFolder_Delete", "|", "popFolder_New", "popMailbox_NewMailbox"});
  MsgListPopupMenu = popup(
      "MsgListPopupMenu",
      {"mnuMessage_OpenInWindow", "popMsgs_ContinueEditing", "popMsgs_SendNow", "tbReplyToMessage",
       "tbForwardMessage", "popMsg_ReplyAll", "mnuMsg_WithSelectionOnly", "popMsgs_EditAsNew", "|",
       "mnuTools_AddSenderToAddressBook", "mnuMessage_Redirect", "popMsg_CreateIncomingRule",
       "popMsg_CreateOutgoingRule", "popMsgs_BlockSender", "|", "mnuFile_CopyMessage", "mnuFile_MoveMessage", "|",
       "mnuMessage_MarkAsRead", "mnuMessage_MarkAsUnread", "tbDelete", "|", "mnuFile_SaveMsgAs", "tbPrint",
       "popMsgs_Props"});
  ContactPopupMenu = popup("ContactPopupMenu",
                           {"mnuContact_New", "|", "mnuContact_SendMail", "mnuContact_VisitHomePage",
                            "mnuContact_CreateRule", "popContactPane_EmailGroup", "|", "mnuContact_Properties",
                            "mnuContact_Rename", "mnuContact_Delete", "|", "mnuContactPane_HidePane",
                            "mnuContactPane_OpenAddrBook"});
  ContactPanePopupMenu = popup("ContactPanePopupMenu", {"mnuContactPane_AddContact", "|", "mnuContactPane_HidePane",
                                                        "mnuContactPane_OpenAddrBook"});
}

// --- Enabling rules --------------------------------------------------------------

void TfrmMain::UpdateCommands() {
  if (commands_.empty() || !lstFolders) return;
  cFolderNode* node = SelectedNode();
  std::string account;
  uint8_t kind = fnkRoot;
  std::string caption;
  bool is_root = true;
  {
    StoreLock lock;
    if (node) {
      account = AccountOfNode(node);
      kind = node->info.kind;
      caption = node->caption;
      is_root = node->Parent() == nullptr;
    }
  }
  bool has_account = !account.empty();
  for (const char* n : {"mnuServer_IncomingRules", "mnuServer_OutgoingRules", "mnuServer_SetAsDefault",
                        "mnuServer_FetchOnThisAccount", "mnuServer_SendUnsentMessages", "mnuServer_PreviewMail",
                        "tbServerProperties", "mnuServer_Delete", "mnuServer_ComposeWithThisAccount",
                        "mnuContact_CreateRule"})
    Command(n)->setEnabled(has_account);
  Command("mnuMessage_Redirect")->setVisible(has_account);
  bool is_folder = node && kind == fnkFolder;
  bool is_mailbox = node && kind == fnkMailbox;
  Command("popFolder_Rename")->setEnabled(is_folder);
  Command("popFolder_Delete")->setEnabled(is_folder);
  bool renamable = is_mailbox && !IsStandardName(caption);
  Command("popMailbox_Rename")->setEnabled(renamable);
  Command("popMailbox_Delete")->setEnabled(renamable);
  for (const char* n : {"popMailbox_Empty", "mnuFile_MailBox_Compress", "mnuFile_MailBox_PassWordProtect",
                        "mnuFile_MailBox_RemoveProtection"})
    Command(n)->setEnabled(is_mailbox);
  bool unsent_like = node && !is_root && (caption == "Unsent" || caption == "Unfinished");
  Command("popMsgs_ContinueEditing")->setVisible(unsent_like);
  Command("popMsgs_SendNow")->setVisible(unsent_like);
  bool focused = FocusedRow() >= 0;
  for (const char* n :
       {"tbReplyToMessage", "tbForwardMessage", "tbDelete", "tbPrint", "tbViewFullScreen", "mnuFile_CopyMessage",
        "mnuFile_MoveMessage", "mnuFile_SaveMsgAs", "popMsgs_SendNow", "popMsgs_ContinueEditing",
        "mnuMessage_OpenInWindow", "popMsgs_ReplyQuoted", "popMsg_ReplyAll", "mnuMessage_Redirect", "popMsgs_EditAsNew",
        "mnuTools_AddSenderToAddressBook", "mnuMessage_MarkAsRead", "mnuMessage_MarkAsUnread", "popMsgs_Props",
        "mnuMsg_WithSelectionOnly", "popMsg_CreateIncomingRule", "popMsg_CreateOutgoingRule", "popMsgs_BlockSender"})
    Command(n)->setEnabled(focused);
  // Leaving full screen stays possible without a row.
  if (full_screen_) Command("tbViewFullScreen")->setEnabled(true);
  Command("mnuTools_MinToTray")->setEnabled(tray_shown_);
}

// --- Wiring ------------------------------------------------------------------------

void TfrmMain::ConnectCommands() {
  auto on = [this](const char* name, std::function<void()> fn) {
    connect(Command(name), &QAction::triggered, this, [fn] { RunGuarded(fn); });
  };
  // Messages.
  on("tbNewMessage", [this] { Compose(0, false, false, false); });
  on("tbReplyToMessage", [this] { Compose(1, false, false, false); });
  on("popMsgs_ReplyQuoted", [this] { Compose(1, true, false, false); });
  on("popMsg_ReplyAll", [this] { Compose(1, false, true, false); });
  on("mnuMsg_WithSelectionOnly", [this] { Compose(1, false, false, true); });
  on("tbForwardMessage", [this] { Compose(2, false, false, false); });
  on("popMsgs_ContinueEditing", [this] {
    if (FocusedRow() >= 0) OpenStoredMessage(MessageRefOfRow(FocusedRow()), false);
  });
  on("popMsgs_EditAsNew", [this] {
    if (FocusedRow() >= 0) OpenStoredMessage(MessageRefOfRow(FocusedRow()), true);
  });
  on("popMsgs_SendNow", [this] { SendNow(); });
  on("mnuMessage_OpenInWindow", [this] {
    if (FocusedRow() >= 0) OpenMessageWindow(MessageRefOfRow(FocusedRow()));
  });
  on("mnuMessage_Redirect", [this] {
    if (FocusedRow() >= 0) RedirectDialog(MessageRefOfRow(FocusedRow()), CurrentAccount(), this);
  });
  on("mnuTools_AddSenderToAddressBook", [this] {
    cMailMessage msg;
    if (!ReadFocusedMessage(msg, false)) return;
    AddContactDialog(SelectedContactFile(), msg.FromName, msg.FromAddress);
    FreeMessage(msg);
  });
  auto create_rule = [this](bool incoming) {
    cMailMessage msg;
    if (!ReadFocusedMessage(msg, true)) return;
    std::string account = CurrentAccount();
    if (account.empty()) account = msg.Account;
    CreateRuleFromMessage(account, msg, incoming);
    FreeMessage(msg);
  };
  on("popMsg_CreateIncomingRule", [create_rule] { create_rule(true); });
  on("popMsg_CreateOutgoingRule", [create_rule] { create_rule(false); });
  on("popMsgs_BlockSender", [this] {
    cMailMessage msg;
    if (!ReadFocusedMessage(msg, true)) return;
    TWindowPrompts prompts(this);
    BlockSender(msg, CurrentAccount(), prompts);
    FreeMessage(msg);
  });
  on("mnuMessage_MarkAsRead", [this] { MarkSelected(true); });
  on("mnuMessage_MarkAsUnread", [this] { MarkSelected(false); });
  on("mnuMessage_Next", [this] { NextMessage(1); });
  on("mnuMessage_Previous", [this] { NextMessage(-1); });
  on("mnuMessage_NextUnread", [this] { NextUnread(); });
  on("tbDelete", [this] { tbDeleteClick(); });
  on("popMsgs_Props", [this] {
    int row = FocusedRow();
    if (row < 0) return;
    if (ViewerShowsRow(row))
      MsgViewer->ShowProperties();
    else
      ShowMessageProperties(MessageRefOfRow(row));
  });
  on("mnuFile_CopyMessage", [this] { MoveOrCopyByBrowse(false); });
  on("mnuFile_MoveMessage", [this] { MoveOrCopyByBrowse(true); });
  on("mnuFile_SaveMsgAs", [this] {
    int row = FocusedRow();
    if (row < 0) return;
    if (ViewerShowsRow(row))
      MsgViewer->SaveMessageAs("txt");
    else
      SaveMessageAs(MessageRefOfRow(row));
  });
  on("tbPrint", [this] { PrintSelected(); });
  // Folders and mailboxes.
  on("popFolder_New", [this] { NewFolder(); });
  on("popMailbox_NewMailbox", [this] { NewMailbox(); });
  on("popFolder_Rename", [this] { RenameNode(); });
  on("popMailbox_Rename", [this] { RenameNode(); });
  on("popFolder_Delete", [this] { DeleteNode(); });
  on("popMailbox_Delete", [this] { DeleteNode(); });
  on("popMailbox_Empty", [this] { EmptyMailbox(); });
  on("mnuFile_MailBox_Compress", [] {
    StoreLock lock;
    if (CurrentMailbox) CurrentMailbox->Compress();
  });
  on("mnuFile_MailBox_PassWordProtect", [this] {
    if (!CurrentMailbox) return;
    auto [ok, text] = PromptText<TfrmMailboxPasswordPrompt>("", this);
    StoreLock lock;
    // Takes effect when the file is written back.
    if (ok && CurrentMailbox) CurrentMailbox->SetPassword(text.substr(0, 255));
  });
  on("mnuFile_MailBox_RemoveProtection", [] {
    StoreLock lock;
    if (CurrentMailbox) CurrentMailbox->SetPassword("");
  });
  on("tbEmptyTrash", [this] {
    std::string account = CurrentAccount();
    if (!account.empty())
      EmptyTrashOfAccount(account, true);
    else
      EmptyTrashOfEveryAccount();
  });
  // Accounts.
  on("mnuServer_IncomingRules", [this] { ShowRulesList(CurrentAccount(), true); });
  on("mnuServer_OutgoingRules", [this] { ShowRulesList(CurrentAccount(), false); });
  on("mnuServer_ComposeWithThisAccount", [this] {
    ComposeSetup s;
    s.account = CurrentAccount();
    ShowComposeWindow(s);
  });
  on("mnuServer_SetAsDefault", [this] {
    if (OptionsIni) OptionsIni->WriteString("Options", "DefaultAccount", CurrentAccount());
  });
  on("mnuServer_FetchOnThisAccount", [this] { StartFetch(CurrentAccount(), true, false, true); });
  on("mnuServer_SendUnsentMessages", [this] { SendUnsentOfAccount(CurrentAccount()); });
  on("mnuServer_PreviewMail", [this] {
    std::string account = CurrentAccount();
    if (account.empty()) return;
    auto* task = new cPOP3Task_PreviewMail();
    task->SetTaskParams(account, false, true);
    task->QueueTask();
  });
  on("tbServerProperties", [this] {
    std::string account = CurrentAccount();
    if (!account.empty()) ShowAccountProperties(account, this);
  });
  on("mnuServer_Delete", [this] {
    std::string account = CurrentAccount();
    if (account.empty()) return;
    cFolderNode* node = FolderTree().FindNodeByPath(MailDir + account + "/");
    if (node) qm::DeleteNode(node, true);
  });
  on("mnuServer_Add", [this] { AddServer(); });
  // Mail.
  on("tbGetMail", [this] {
    std::string account = CurrentAccount();
    if (!account.empty())
      StartFetch(account, false, false, true);
    else
      CheckMailOnAllAccounts(false);
  });
  on("mnuTools_CheckMailOnDefAccount", [this] {
    std::string account = GetDefaultAccount();
    if (!account.empty()) StartFetch(account, false, false, true);
  });
  on("mnuTools_CheckAllAccounts", [this] { CheckMailOnAllAccounts(false); });
  on("tbSendUnsent", [this] {
    std::string account = CurrentAccount();
    if (!account.empty()) {
      SendUnsentOfAccount(account);
    } else {
      for (const std::string& a : ListAccounts()) SendUnsentOfAccount(a);
    }
  });
  on("mnuTools_SendAllUnsent", [this] {
    for (const std::string& a : ListAccounts()) SendUnsentOfAccount(a);
  });
  on("mnuFile_WorkOffline", [this] { SetWorkingOffline(Command("mnuFile_WorkOffline")->isChecked()); });
  // View.
  on("mnuView_ContactPane", [this] { ContactPanePanel->setVisible(Command("mnuView_ContactPane")->isChecked()); });
  on("mnuView_MessageHeaders", [this] {
    if (OptionsIni)
      OptionsIni->WriteBool("View", "MessageHeadersVisible", Command("mnuView_MessageHeaders")->isChecked());
    // The frame takes the header pane's visibility from the setting.
    MsgViewer->ApplySettings();
  });
  on("mnuView_MsgBody", [this] {
    bool shown = Command("mnuView_MsgBody")->isChecked();
    if (!shown && full_screen_) SetFullScreen(false);
    MsgBodyPanel->setVisible(shown);
  });
  on("mnuView_Statusbar", [this] { statusBar()->setVisible(Command("mnuView_Statusbar")->isChecked()); });
  on("mnuView_MailboxStats", [this] {
    bool shown = Command("mnuView_MailboxStats")->isChecked();
    lstFolders->setColumnHidden(1, !shown);
    lstFolders->setColumnHidden(2, !shown);
  });
  on("mnuView_FocusMsgList", [this] { lstMsgs->setFocus(); });
  on("mnuView_FocusMsgBody", [this] {
    if (MsgBodyPanel->isVisible() || full_screen_) MsgViewer->setFocus();
  });
  on("tbViewFullScreen", [this] { SetFullScreen(Command("tbViewFullScreen")->isChecked()); });
  on("mnuTools_MinToTray", [this] { hide(); });
  on("mnuTools_GoDefaultInbox", [this] { SelectDefaultInbox(); });
  on("mnuTools_OpenAttachsFolder", [] { QDesktopServices::openUrl(QUrl::fromLocalFile(Q(AttachmentsDir))); });
  on("tbAddressBook", [] { OpenAddressBook(); });
  on("mnuConfigure_ManageSignatures", [this] { ShowManageSignatures(this); });
  on("mnuTools_FindMessage", [] { ShowFindMessage(); });
  on("tbOptions", [this] { ShowOptionsDialog(this); });
  on("mnuHelp_VisitHomePage", [] { OpenLink(kHomePage); });
  on("mnuHelp_About", [this] { ShowAbout(this); });
  on("mnuFile_Exit", [this] { close(); });
  // Contact pane.
  on("mnuContact_New", [this] { AddContactDialog(SelectedContactFile(), "", ""); ReloadContactPane(); });
  on("mnuContactPane_AddContact", [this] { AddContactDialog(SelectedContactFile(), "", ""); ReloadContactPane(); });
  on("mnuContact_SendMail", [this] { ContactSendMail(); });
  on("mnuContactPane_HidePane", [this] {
    Command("mnuView_ContactPane")->setChecked(false);
    ContactPanePanel->setVisible(false);
  });
  on("mnuContactPane_OpenAddrBook", [] { OpenAddressBook(); });
}

// --- Message commands ----------------------------------------------------------------

bool TfrmMain::ReadFocusedMessage(cMailMessage& msg, bool with_body) {
  int row = FocusedRow();
  InitMessage(msg);
  StoreLock lock;
  if (row < 0 || !CurrentMailbox) return false;
  return GetMessage(*CurrentMailbox, msg, with_body, msgModel->Row(row).key);
}

void TfrmMain::Compose(int kind, bool quoted, bool reply_all, bool selection_only) {
  ComposeSetup s;
  s.kind = kind == 0 ? ComposeKind::New : kind == 1 ? ComposeKind::Reply : ComposeKind::Forward;
  if (kind != 0) {
    int row = FocusedRow();
    if (row < 0) return;
    s.source_ref = MessageRefOfRow(row);
  }
  s.quoted = quoted;
  s.reply_all = reply_all;
  s.selection_only = selection_only;
  ShowComposeWindow(s);
}

void TfrmMain::tbDeleteClick() {
  std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  cFolderNode* node = SelectedNode();
  std::string account;
  bool in_own_trash = false;
  {
    StoreLock lock;
    if (!node || !node->IsMailbox()) return;
    account = AccountOfNode(node);
    in_own_trash = node->Parent() && node->Parent()->info.kind == fnkAccount && node->caption == "Trash";
  }
  if (!account.empty() && !in_own_trash) {
    if (cFolderNode* trash = FindStandardMailbox(account, "Trash")) MoveOrCopySelected(trash, true);
    return;
  }
  // Erased for good: the account's own Trash, or under the local root.
  int lowest = *std::min_element(rows.begin(), rows.end());
  std::vector<std::string> keys;
  for (int r : rows) keys.push_back(msgModel->Row(r).key);
  int removed = 0, unread_removed = 0;
  for (const std::string& key : keys) {
    int row = msgModel->RowOfKey(key);
    if (row < 0) continue;
    bool unread = TMsgListModel::IsUnread(msgModel->Row(row));
    bool deleted;
    {
      StoreLock lock;
      deleted = CurrentMailbox && DeleteMessage(*CurrentMailbox, key, true);
    }
    if (!deleted) continue;
    ++removed;
    if (unread) ++unread_removed;
    row = msgModel->RowOfKey(key);
    if (row >= 0) msgModel->RemoveRowAt(row);
  }
  {
    StoreLock lock;
    node->info.unread = std::max(0, node->info.unread - unread_removed);
    node->info.total = std::max(0, node->info.total - removed);
    UpdateMailboxNode(node);
    ShowMailboxStatus();
  }
  SelectRow(std::min(lowest, msgModel->Count() - 1));
}

void TfrmMain::MoveOrCopySelected(cFolderNode* target, bool move) {
  std::vector<int> rows = SelectedRows();
  if (rows.empty() || !target) return;
  int lowest = *std::min_element(rows.begin(), rows.end());
  StringList keys;
  for (int r : rows) keys.push_back(msgModel->Row(r).key);
  MoveSelectedMessages(keys, target, move);
  if (move) {
    // Rows whose message left the mailbox go, whether or not the store said so.
    for (const std::string& key : keys) {
      int row = msgModel->RowOfKey(key);
      if (row < 0) continue;
      bool gone;
      {
        StoreLock lock;
        gone = CurrentMailbox && !CurrentMailbox->KeyExists(key);
      }
      if (gone) msgModel->RemoveRowAt(row);
    }
  }
  {
    StoreLock lock;
    ShowMailboxStatus();
  }
  SelectRow(std::min(lowest, msgModel->Count() - 1));
}

void TfrmMain::MarkSelected(bool read) {
  std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  StringList keys;
  for (int r : rows)
    if (TMsgListModel::IsUnread(msgModel->Row(r)) == read) keys.push_back(msgModel->Row(r).key);
  if (keys.empty()) return;
  MarkMessages(keys, read);
  // The rows follow what the mailbox holds now.
  for (const std::string& key : keys) {
    int row = msgModel->RowOfKey(key);
    if (row < 0) continue;
    cMailMessage msg;
    InitMessage(msg);
    bool ok;
    {
      StoreLock lock;
      ok = CurrentMailbox && GetMessage(*CurrentMailbox, msg, false, key);
    }
    if (ok) msgModel->SetRow(row, MsgRowOf(key, msg));
    FreeMessage(msg);
  }
  StoreLock lock;
  ShowMailboxStatus();
}

void TfrmMain::MoveOrCopyByBrowse(bool move) {
  cFolderNode* node = SelectedNode();
  std::string start;
  {
    StoreLock lock;
    if (!node || !node->IsMailbox()) return;
    start = node->info.path;
  }
  std::string chosen;
  if (!BrowseForMailbox(start, chosen, this)) return;
  if (cFolderNode* target = FolderTree().FindNodeByPath(chosen)) MoveOrCopySelected(target, move);
}

void TfrmMain::SendNow() {
  cFolderNode* node = SelectedNode();
  std::string path;
  {
    StoreLock lock;
    if (!node || !node->IsMailbox()) return;
    path = node->info.path;
  }
  // Selection order, as the user picked them.
  StringList keys;
  for (const QModelIndex& i : lstMsgs->selectionModel()->selectedRows()) keys.push_back(msgModel->Row(i.row()).key);
  if (keys.empty()) return;
  if (auto starter = GetMailTaskStarter()) starter->StartSendTask(CurrentAccount(), path, keys);
}

void TfrmMain::PrintSelected() {
  std::vector<int> rows = SelectedRows();
  if (rows.size() == 1 && ViewerShowsRow(rows[0])) {
    MsgViewer->PrintShownMessage();
    return;
  }
  for (int r : rows) {
    cMailMessage msg;
    InitMessage(msg);
    bool ok;
    {
      StoreLock lock;
      ok = CurrentMailbox && GetMessage(*CurrentMailbox, msg, true, msgModel->Row(r).key);
    }
    if (!ok) {
      FreeMessage(msg);
      return;
    }
    PrintMessage(msg);
    FreeMessage(msg);
  }
}

void TfrmMain::NextMessage(int step) {
  int row = FocusedRow();
  int next = row + step;
  if (row < 0 || next < 0 || next >= msgModel->Count()) return;
  SelectRow(next);
}

void TfrmMain::NextUnread() {
  int row = FocusedRow();
  for (int r = row + 1; r < msgModel->Count(); ++r)
    if (TMsgListModel::IsUnread(msgModel->Row(r))) {
      SelectRow(r);
      return;
    }
}

// --- Trash, fetch and send ----------------------------------------------------------

bool TfrmMain::EmptyTrashOfAccount(const std::string& account, bool ask) {
  if (ask && (!OptionsIni || OptionsIni->ReadBool("Options", "TrashPrompt", true))) {
    bool dont_ask = false;
    bool yes = AskEmptyTrash(dont_ask, this);
    if (dont_ask && OptionsIni) OptionsIni->WriteBool("Options", "TrashPrompt", false);
    if (!yes) return false;
  }
  if (cFolderNode* trash = FindStandardMailbox(account, "Trash")) qm::EmptyMailbox(trash, false);
  return true;
}

void TfrmMain::EmptyTrashOfEveryAccount() {
  StringList accounts = ListAccounts();
  for (size_t i = 0; i < accounts.size(); ++i) {
    bool yes = EmptyTrashOfAccount(accounts[i], i == 0);
    if (i == 0 && !yes) return;
  }
}

void TfrmMain::SendUnsentOfAccount(const std::string& account) {
  if (!account.empty()) qm::SendUnsentOfAccount(account);
}

void TfrmMain::StartFetch(const std::string& account, bool force, bool silent, bool ask_to_go_online) {
  if (!account.empty()) StartFetchOnAccount(account, force, silent, ask_to_go_online);
}

void TfrmMain::CheckMailOnAllAccounts(bool from_timer) {
  ++mail_checks_requested_;
  bool silent = from_timer ? true : !isVisible();
  bool ask = !from_timer;
  for (const std::string& account : ListAccounts()) StartFetch(account, false, silent, ask);
}

void TfrmMain::tmrCheckMailTimer() { CheckMailOnAllAccounts(true); }

// --- Folder and account commands ------------------------------------------------------

void TfrmMain::NewFolder() {
  auto [ok, name] = PromptText<TfrmAddFolder>("", this);
  if (!ok) return;
  qm::NewFolder(SelectedNode(), S(Q(name).trimmed()));
}

void TfrmMain::NewMailbox() {
  auto [ok, name] = PromptText<TfrmAddMailbox>("", this);
  if (!ok) return;
  qm::NewMailbox(SelectedNode(), S(Q(name).trimmed()));
}

void TfrmMain::RenameNode() {
  cFolderNode* node = SelectedNode();
  std::string caption;
  {
    StoreLock lock;
    if (!node || (node->info.kind != fnkFolder && node->info.kind != fnkMailbox)) return;
    caption = node->caption;
  }
  auto [ok, name] = PromptText<TfrmRenameMailbox>(caption, this);
  if (!ok) return;
  qm::RenameNode(node, S(Q(name).trimmed()));
  cFolderNode* selected = FolderTree().Selected();
  SelectNode(selected ? selected : FolderTree().FirstNode());
}

void TfrmMain::DeleteNode() {
  if (cFolderNode* node = SelectedNode()) qm::DeleteNode(node, true);
}

void TfrmMain::EmptyMailbox() {
  if (cFolderNode* node = SelectedNode()) qm::EmptyMailbox(node, true);
}

void TfrmMain::AddServer() {
  auto [ok, name] = PromptText<TfrmAddServer>("", this);
  if (!ok) return;
  name = S(Q(name).trimmed());
  if (!ShowAccountProperties(name, this)) return;
  StoreLock lock;
  // The properties window made the account's directory.
  if (DirectoryExists(AccountDir(name)) && !FolderTree().FindNodeByPath(AccountDir(name))) AddAccountNode(name);
}

void TfrmMain::SelectDefaultInbox() {
  cFolderNode* node = nullptr;
  std::string account = GetDefaultAccount();
  if (!account.empty()) node = FindStandardMailbox(account, "Inbox");
  SelectNode(node ? node : FolderTree().FirstNode());
}

}  // namespace qm
