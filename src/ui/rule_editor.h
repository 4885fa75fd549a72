#pragma once
// Editing one incoming or outgoing rule.
#include <QDialog>
#include <array>
#include <string>

#include "accounts/message_rules.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace qm {

class cRuleEditorForm : public QDialog {
  Q_OBJECT
 public:
  // Preset criteria texts, one per criteria field (From, Subject, To, CC, body).
  using Presets = std::array<std::string, 5>;

  cRuleEditorForm(bool incoming, QWidget* parent);

  virtual void SetRule(const cMessageRule& rule);
  virtual void GetRule(cMessageRule& rule) const;
  void SetPresets(const Presets& presets) { presets_ = presets; }

  QComboBox* cboField;
  QComboBox* cboCriteriaType;
  QLineEdit* edtCriteria;
  QGroupBox* grpActions;
  QComboBox* cboAction;
  QLineEdit* edtMoveLocation;
  QLineEdit* edtCopyLocation;
  QLineEdit* edtSoundFile;
  QLineEdit* edtForwardAddress = nullptr;  // incoming only
  QPushButton* btnBrowseMove;
  QPushButton* btnBrowseCopy;
  QPushButton* btnBrowseSound;
  QPushButton* btnBrowseForward = nullptr;
  QPushButton* btnOK;
  QPushButton* btnCancel;

  bool criteria_edited() const { return criteria_edited_; }
  const std::string& MoveDestination() const { return move_destination_; }
  const std::string& CopyDestination() const { return copy_destination_; }
  // A destination chosen by browsing (a full mailbox path).
  void ChooseDestination(bool move, const std::string& mailbox_path);

 protected:
  void showEvent(QShowEvent* event) override;
  // ActionType of each choice, in order.
  std::vector<uint8_t> action_types_;

 private:
  void cboFieldChange();
  void btnBrowseLocationClick(bool move);
  void btnBrowseSoundClick();
  void btnBrowseForwardClick();

  std::string copy_destination_;
  std::string move_destination_;
  bool criteria_edited_ = false;
  bool active_ = false;
  Presets presets_;
  bool incoming_;
  bool preset_shown_ = false;
};

class TfrmIncomingRule : public cRuleEditorForm {
  Q_OBJECT
 public:
  explicit TfrmIncomingRule(QWidget* parent = nullptr);
};

class TfrmOutgoingRule : public cRuleEditorForm {
  Q_OBJECT
 public:
  explicit TfrmOutgoingRule(QWidget* parent = nullptr);
};

// The destination box text: the file name without directory and extension.
std::string DestinationCaption(const std::string& path);

// The editor of a kind, modal; true with `rule` read from it on OK.
bool EditRule(bool incoming, cMessageRule& rule, bool existing, const cRuleEditorForm::Presets& presets,
              QWidget* parent);

}  // namespace qm
