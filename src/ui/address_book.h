#pragma once
// The address book window: the books on the left, the contacts of the chosen
// book on the right with their home and contacting details below.
#include <QByteArray>
#include <QListWidget>
#include <QMainWindow>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace qm {

class TfrmAddressBook;
class TQtContactsUi;

// The book list: takes contacts dragged from the contact list.
class TBookListWidget : public QListWidget {
  Q_OBJECT
 public:
  TBookListWidget(TfrmAddressBook* owner, QWidget* parent);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool Accepts(QDropEvent* event) const;
  TfrmAddressBook* owner_;
};

class TfrmAddressBook : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfrmAddressBook(QWidget* parent = nullptr);
  ~TfrmAddressBook() override;

  // The open window, else null.
  static TfrmAddressBook* Instance();

  // --- Controls ----------------------------------------------------------
  QSplitter* splitter = nullptr;
  QWidget* LeftPanel = nullptr;
  QLabel* lblGroups = nullptr;
  TBookListWidget* lstGroups = nullptr;
  QTreeWidget* lstContacts = nullptr;
  QLabel* lblHome = nullptr;
  QPlainTextEdit* edtHome = nullptr;
  QLabel* lblContactInfo = nullptr;
  QPlainTextEdit* edtContactInfo = nullptr;
  QToolBar* AddressBookToolbar = nullptr;
  QMenu* popGroups = nullptr;
  QMenu* popContacts = nullptr;

  // Commands by name (mnuNewContact, mnuDeleteGroup, ...).
  QAction* Command(const char* name) const;

  // --- State -------------------------------------------------------------
  std::string SelectedBook() const;      // the name in the book list
  std::string SelectedBookFile() const;  // its file
  bool ShowsFile(const std::string& book_file) const;
  std::vector<std::string> SelectedContacts() const;  // in list order
  std::string FocusedContact() const;
  void SelectBook(const std::string& book);
  void SelectContact(const std::string& name);
  // Refills the contact list, keeping the focused contact when it is still there.
  void RefreshContacts();

  // --- The group lists kept in step by the contact logic -----------------
  void GroupAdded(const std::string& group);
  void GroupRenamed(const std::string& old_group, const std::string& new_group);
  void GroupRemoved(const std::string& group);

  // --- Handlers ------------------------------------------------------------
  void lstGroupsChange();
  void lstContactsChange();
  void lstGroupsEdited(QListWidgetItem* item);
  void lstContactsEdited(QTreeWidgetItem* item, int column);
  void lstContactsDblClick();
  void mnuNewContactClick();
  void mnuPropertiesClick();
  void mnuDeleteClick();
  void mnuSendMailClick();
  void mnuVisitHomePageClick();
  void mnuAboutClick();
  void mnuNewGroupClick();
  void mnuRenameClick();
  void mnuDeleteGroupClick();
  void mnuSendMailToGroupClick();
  // Moves (or copies) the selected contacts to the book of that row; false
  // when refused (the row is the book they are in, or no contact is selected).
  bool DropContactsOn(int book_row, bool copy);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QAction* AddCommand(const char* name, const QString& caption, const char* icon, const QKeySequence& keys,
                      void (TfrmAddressBook::*handler)());
  void CreateControls();
  void CreateCommands();
  void FillBooks();
  void UpdateCommands();
  void ShowDetails();
  void RestoreLayout();
  void SaveLayout();
  void SortContacts();

  std::map<std::string, QAction*> commands_;
  std::unique_ptr<TQtContactsUi> ui_;
  QString ToolbarLayoutKey() const;
  QString toolbar_layout_at_start_;
  int sort_column_ = -1;
  Qt::SortOrder sort_order_ = Qt::AscendingOrder;
  bool filling_ = false;
};

}  // namespace qm
