#pragma once
// The rules list of one account's incoming or outgoing rules file. Edits
// stay in the window; closing it in any way writes the file.
#include <QDialog>
#include <string>
#include <vector>

#include "accounts/message_rules.h"
#include "accounts/rule_description.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace qm {

struct cRuleNodeInfo {
  cMessageRule rule;
  cRuleDescription texts;
};

class TfrmMessageRulesList : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmMessageRulesList(QWidget* parent = nullptr);

  void LoadRulesList(const std::string& path, bool incoming);

  QListWidget* lstRules;
  QPushButton* btnNew;
  QPushButton* btnProperties;
  QPushButton* btnDelete;
  QPushButton* btnClose;
  QPushButton* btnMoveUp;
  QPushButton* btnMoveDown;

  const std::vector<cRuleNodeInfo>& Rows() const { return rows_; }

  void btnNewClick();
  void btnPropertiesClick();
  void btnDeleteClick();
  void MoveFocused(int delta);

  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillList(int focus_row);
  void SetRowItem(int row);
  void lstRulesItemChanged(QListWidgetItem* item);

  std::string path_;
  bool incoming_ = true;
  std::vector<cRuleNodeInfo> rows_;
  bool filling_ = false;
  bool saved_ = false;
};

}  // namespace qm
