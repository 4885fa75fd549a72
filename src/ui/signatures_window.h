#pragma once
// The signature manager: every signature, the default one marked.
#include <QDialog>
#include <memory>
#include <string>

class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qm {

class TQtContactsUi;

class TfrmSignatures : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmSignatures(QWidget* parent = nullptr);
  ~TfrmSignatures() override;

  QTreeWidget* lstSignatures;
  QPushButton* btnAdd;
  QPushButton* btnProperties;
  QPushButton* btnDelete;
  QPushButton* btnClose;
  QMenu* popSignatures;

  // Refills the list from Signatures.ini; `focus` names the entry to focus
  // (the first when empty or gone).
  void FillList(const std::string& focus = "");
  std::string FocusedSignature() const;

  void btnAddClick();
  void btnPropertiesClick();
  void btnDeleteClick();
  void popSetDefaultClick();
  void lstSignaturesEdited(QTreeWidgetItem* item, int column);
  void UpdateButtons();

 private:
  std::unique_ptr<TQtContactsUi> ui_;
  bool filling_ = false;
};

}  // namespace qm
