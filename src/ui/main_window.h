#pragma once
// The main window: folder tree and contact pane on the left, message list and
// message body on the right, menus, toolbar, status bar and the tray icon.
// Its methods are split by topic over main_*.cpp.
#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/folder_tree.h"
#include "ui/main_icons.h"

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QToolBar;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace qm {

struct cMailMessage;
class ContactsUi;
class cTaskHost;
class TMsgListModel;
class TfraMessageViewer;
class TFolderTreeWidget;
class TStatusPanel;

class TfrmMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  // The one main window while it exists (the store's and tasks' callbacks
  // reach it through this), else null.
  static TfrmMain* Instance();

  // --- Controls (named as in the window's design) ----------------------
  QWidget* LeftPane = nullptr;
  TFolderTreeWidget* lstFolders = nullptr;
  QWidget* ContactPanePanel = nullptr;
  QComboBox* cboContactGroups = nullptr;
  QListWidget* lstContacts = nullptr;
  QSplitter* leftSplitter = nullptr;     // between the tree and the contact pane
  QSplitter* mainSplitter = nullptr;     // between LeftPane and RightPanel
  QWidget* RightPanel = nullptr;
  QTreeView* lstMsgs = nullptr;
  TMsgListModel* msgModel = nullptr;
  QSplitter* msgPaneSplitter = nullptr;
  QWidget* MsgBodyPanel = nullptr;
  TfraMessageViewer* MsgViewer = nullptr;  // the message viewer frame
  QToolBar* MainToolbar = nullptr;
  TStatusPanel* pnlTasks = nullptr;
  QLabel* pnlStatusText = nullptr;
  TStatusPanel* pnlOnline = nullptr;
  QLabel* pnlCounters = nullptr;
  QSystemTrayIcon* TrayIcon = nullptr;
  QMenu* TrayPopupMenu = nullptr;
  QTimer* tmrMarkRead = nullptr;
  QTimer* tmrCheckMail = nullptr;

  // Every command by its name (tbGetMail, mnuServer_Add, popFolder_New...).
  QAction* Command(const char* name) const;

  // --- Offered to other windows -----------------------------------------
  // "Check mail on all accounts"; `from_timer` for the periodic check.
  void CheckMailOnAllAccounts(bool from_timer = false);
  int mail_checks_requested() const { return mail_checks_requested_; }
  // Reloads the message list of the selected mailbox.
  void ReloadMessageList();
  // MainWindowFont to the tree, the lists and the group box.
  void ApplyFonts();
  bool WorkingOffline() const { return working_offline_; }
  void SetWorkingOffline(bool offline);
  // The check before network work: true to go on.
  bool AskToGoOnline(bool ask);
  void SetTrayState(TrayState state, const QString& tool_tip, bool reset_new_mail_count);
  TrayState CurrentTrayState() const { return tray_state_; }
  int NewMailCount() const { return new_mail_count_; }
  void SetNewMailCount(int count) { new_mail_count_ = count; }
  void SetTasksRunning(bool running);
  bool TasksRunning() const;
  void SetStatusText(const QString& text);
  void ReloadContactPane();
  // What the Options dialog changes on OK.
  void SetCheckMailTimer(bool enabled, int minutes);
  void SetMarkRead(bool on, int seconds);
  void SetTrayIconShown(bool shown);
  void SetShowFullName(bool on);
  bool MarkReadOn() const { return mark_read_; }

  // --- Current account, mailbox and rows ------------------------------
  cFolderNode* SelectedNode() const;
  std::string CurrentAccount() const;
  // Rows of lstMsgs selected, in display order (row numbers of the model).
  std::vector<int> SelectedRows() const;
  int FocusedRow() const;  // -1 when none
  std::string MessageRefOfRow(int row) const;
  void SelectNode(cFolderNode* node);
  void SelectRow(int row);

  // --- The store's refresh, through the bridge ------------------------
  void ListAddRow(const std::string& key, const cMailMessage& msg);
  void ListRefreshRow(const std::string& key, const cMailMessage& msg);
  void ListRemoveRow(const std::string& key);

  // Node of a tree item and item of a node.
  cFolderNode* NodeOf(QTreeWidgetItem* item) const;
  QTreeWidgetItem* ItemOf(const cFolderNode* node) const;

  // Drop rules of the folder tree (also used by tests).
  bool CanDropNodeOn(const cFolderNode* dragged, const cFolderNode* target) const;
  bool CanDropRowsOn(const cFolderNode* target) const;
  void DropNodeOn(cFolderNode* dragged, cFolderNode* target);
  void DropRowsOn(cFolderNode* target, bool copy);
  cFolderNode* drag_source_node = nullptr;

  // --- Commands ---------------------------------------------------------
  void tbDeleteClick();
  void MoveOrCopySelected(cFolderNode* target, bool move);
  void MarkSelected(bool read);
  bool EmptyTrashOfAccount(const std::string& account, bool ask);
  void EmptyTrashOfEveryAccount();
  void SendUnsentOfAccount(const std::string& account);
  void StartFetch(const std::string& account, bool force, bool silent, bool ask_to_go_online);
  void AddServer();
  void SelectDefaultInbox();
  void ShowMainWindowFromTray();
  void BuildTrayMenu();
  void tmrMarkReadTimer();
  void tmrCheckMailTimer();
  void SetFullScreen(bool on);
  bool FullScreen() const { return full_screen_; }
  // Re-applies the enabling and visibility rules of the commands.
  void UpdateCommands();

 public slots:
  // A second start handed over a request through Temp_info.ini.
  void ReceiveHandOff();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  friend class TMainTreeListener;

  // Creation, in order.
  void CreateCommands();
  void CreateMenusAndToolbar();
  void CreatePanes();
  void CreateStatusBar();
  void CreateTray();
  void RestoreLayout();
  void SaveLayout();
  void ApplyViewToggles();

  // Folder tree mirror.
  void MirrorWholeTree();
  QTreeWidgetItem* MirrorNode(cFolderNode& node);
  void RefreshItem(QTreeWidgetItem* item, const cFolderNode& node);
  void ForgetItem(QTreeWidgetItem* item);
  void lstFoldersChange(cFolderNode* node);
  void lstFoldersContextMenu(const QPoint& pos);
  void SetColumnMode(const cFolderNode& node);
  void FillMessageList(cFolderNode* node);

  // Message list.
  void lstMsgsFocusChanged();
  void lstMsgsContextMenu(const QPoint& pos);
  void RestoreColumns();
  void SaveColumnLayout();
  std::vector<bool> user_column_visible_;

  // Contact pane.
  void cboContactGroupsChange();
  std::string SelectedContactFile() const;
  void lstContactsContextMenu(const QPoint& pos);
  void ContactSendMail();
  void ConnectContactCommands();
  std::string FocusedContact() const;
  std::unique_ptr<ContactsUi> contacts_ui_;
  std::unique_ptr<cTaskHost> task_host_;
  bool tray_shown_ = false;

  // Commands wiring.
  QAction* AddCommand(const char* name, const QString& caption, const QString& icon = {}, bool toggle = false);
  void ConnectCommands();
  void NewFolder();
  void NewMailbox();
  void RenameNode();
  void DeleteNode();
  void EmptyMailbox();
  void MoveOrCopyByBrowse(bool move);
  void SendNow();
  void PrintSelected();
  void NextMessage(int step);
  void NextUnread();
  void Compose(int kind, bool quoted, bool reply_all, bool selection_only);
  bool ReadFocusedMessage(cMailMessage& msg, bool with_body);

  // The viewer frame and the key of the message it shows.
  void ShowInViewer(const std::string& key, const cMailMessage& msg);
  void ClearViewer();
  // True when the viewer shows the message of this row (a row whose message
  // could not be read leaves the viewer on the one before).
  bool ViewerShowsRow(int row) const;
  std::string viewer_key_;

  std::unordered_map<const cFolderNode*, QTreeWidgetItem*> items_;
  std::unordered_map<std::string, QAction*> commands_;
  std::unique_ptr<cFolderTreeListener> tree_listener_;
  QMenu* ServerPopupMenu = nullptr;
  QMenu* MailboxPopupMenu = nullptr;
  QMenu* FolderPopupMenu = nullptr;
  QMenu* MsgListPopupMenu = nullptr;
  QMenu* ContactPopupMenu = nullptr;
  QMenu* ContactPanePopupMenu = nullptr;

  bool show_full_name_ = false;
  bool mark_read_ = true;
  bool working_offline_ = false;
  bool tasks_running_ = false;
  bool full_screen_ = false;
  bool closing_ = false;
  bool selecting_ = false;        // a selection is being mirrored
  bool selection_detached_ = false;  // rows are being dragged
  int fill_generation_ = 0;
  int mail_checks_requested_ = 0;
  int new_mail_count_ = 0;
  TrayState tray_state_ = TrayState::Normal;
  QByteArray toolbar_state_at_start_;
  int shown_mark_read_interval_ = 3000;
};

}  // namespace qm
