#pragma once
// Picking the mailbox messages are moved or copied to.
#include <QDialog>
#include <string>

class QPushButton;
class QTreeWidget;

namespace qm {

class TfrmBrowseFolders : public QDialog {
  Q_OBJECT
 public:
  // `source_path`: the mailbox the messages come from (cannot be chosen).
  explicit TfrmBrowseFolders(const std::string& source_path, QWidget* parent = nullptr);
  QTreeWidget* lstFolders;
  QPushButton* btnOK;
  QPushButton* btnCancel;
  // The path of the selected node, or empty.
  std::string SelectedPath() const;
  // Selects the node of this path; false when there is none.
  bool SelectPath(const std::string& path);

 private:
  void lstFoldersChange();
  std::string source_path_;
};

// True with the chosen mailbox path when confirmed.
bool BrowseForMailbox(const std::string& start_path, std::string& chosen, QWidget* parent = nullptr);

}  // namespace qm
