#pragma once
// The contact picker of the compose window: books, their contacts, and the
// entries chosen for one address field.
#include <QDialog>
#include <string>

class QListWidget;
class QPushButton;
class QSplitter;
class QTreeWidget;

namespace qm {

class TfrmBrowseContacts : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmBrowseContacts(QWidget* parent = nullptr);

  QSplitter* splLeft;   // between the books and the rest
  QSplitter* splTop;    // between the contacts and the chosen entries
  QListWidget* lstGroups;
  QTreeWidget* lstContacts;
  QTreeWidget* lstSelected;
  QPushButton* btnAdd;
  QPushButton* btnAddAll;
  QPushButton* btnRemove;
  QPushButton* btnRemoveAll;
  QPushButton* btnOK;
  QPushButton* btnCancel;

  // The field's text split at "," into chosen entries.
  void SetAddresses(const std::string& text);
  // The chosen entries as "name <address>" (or the bare address) joined by ", ".
  std::string Addresses() const;

  void lstGroupsChange();
  void btnAddClick();
  void btnAddAllClick();
  void btnRemoveClick();
  void btnRemoveAllClick();
  void UpdateButtons();

 protected:
  void done(int result) override;

 private:
  void AddChosen(const QString& name, const QString& address);
  void MoveContacts(bool all);
};

}  // namespace qm
