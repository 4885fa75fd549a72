#include "ui/rule_editor.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <memory>

#include "contacts/contact_store.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "store/mail_message.h"
#include "ui/browse_folders_dialog.h"
#include "ui/qt_text.h"
#include "ui/window_entry_points.h"

namespace qm {

std::string DestinationCaption(const std::string& path) {
  std::string name = ExtractFileName(path);
  std::string ext = ExtractFileExt(name);
  return name.substr(0, name.size() - ext.size());
}

namespace {

QPushButton* BrowseButton(const char* name, QWidget* parent) {
  auto* b = new QPushButton("...", parent);
  b->setObjectName(name);
  b->setFixedWidth(28);
  return b;
}

QLineEdit* Edit(const char* name, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  return e;
}

}  // namespace

cRuleEditorForm::cRuleEditorForm(bool incoming, QWidget* parent) : QDialog(parent), incoming_(incoming) {
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* criteria = new QHBoxLayout;
  criteria->addWidget(new QLabel("If the", this));
  cboField = new QComboBox(this);
  cboField->setObjectName("cboField");
  cboField->addItems({"Author", "Subject", "Recipient", "CC field", "Message body"});
  cboCriteriaType = new QComboBox(this);
  cboCriteriaType->setObjectName("cboCriteriaType");
  cboCriteriaType->addItems({"Is", "Is not", "Contains", "Doesn't contain", "Begins with", "Ends with"});
  criteria->addWidget(cboField);
  criteria->addWidget(cboCriteriaType);
  layout->addLayout(criteria);
  edtCriteria = Edit("edtCriteria", this);
  layout->addWidget(edtCriteria);

  grpActions = new QGroupBox(" Actions ", this);
  grpActions->setObjectName("grpActions");
  auto* grid = new QGridLayout(grpActions);
  cboAction = new QComboBox(grpActions);
  cboAction->setObjectName("cboAction");
  grid->addWidget(cboAction, 0, 0, 1, 3);
  int row = 1;
  auto add_row = [&](const char* caption, QLineEdit* edit, QPushButton* button) {
    grid->addWidget(new QLabel(caption, grpActions), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(button, row, 2);
    ++row;
  };
  edtMoveLocation = Edit("edtMoveLocation", grpActions);
  btnBrowseMove = BrowseButton("btnBrowseMove", grpActions);
  add_row("Move to:", edtMoveLocation, btnBrowseMove);
  edtCopyLocation = Edit("edtCopyLocation", grpActions);
  btnBrowseCopy = BrowseButton("btnBrowseCopy", grpActions);
  add_row("Copy to:", edtCopyLocation, btnBrowseCopy);
  edtSoundFile = Edit("edtSoundFile", grpActions);
  btnBrowseSound = BrowseButton("btnBrowseSound", grpActions);
  add_row("Sound:", edtSoundFile, btnBrowseSound);
  if (incoming_) {
    edtForwardAddress = Edit("edtForwardAddress", grpActions);
    btnBrowseForward = BrowseButton("btnBrowseForward", grpActions);
    add_row("Forward to:", edtForwardAddress, btnBrowseForward);
    connect(btnBrowseForward, &QPushButton::clicked, this, &cRuleEditorForm::btnBrowseForwardClick);
  }
  layout->addWidget(grpActions);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  btnOK = new QPushButton("&OK", this);
  btnOK->setObjectName("btnOK");
  btnOK->setDefault(true);
  btnCancel = new QPushButton("&Cancel", this);
  btnCancel->setObjectName("btnCancel");
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  layout->addLayout(buttons);

  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(edtCriteria, &QLineEdit::textEdited, this, [this] { criteria_edited_ = true; });
  connect(cboField, &QComboBox::activated, this, [this] { cboFieldChange(); });
  connect(btnBrowseMove, &QPushButton::clicked, this, [this] { btnBrowseLocationClick(true); });
  connect(btnBrowseCopy, &QPushButton::clicked, this, [this] { btnBrowseLocationClick(false); });
  connect(btnBrowseSound, &QPushButton::clicked, this, &cRuleEditorForm::btnBrowseSoundClick);
  resize(420, sizeHint().height());
}

void cRuleEditorForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!preset_shown_) {
    preset_shown_ = true;
    cboFieldChange();
  }
}

void cRuleEditorForm::cboFieldChange() {
  if (criteria_edited_) return;
  int field = cboField->currentIndex();
  if (field >= 0 && field < static_cast<int>(presets_.size())) edtCriteria->setText(Q(presets_[field]));
}

void cRuleEditorForm::SetRule(const cMessageRule& rule) {
  cboField->setCurrentIndex(rule.CriteriaField < cboField->count() ? rule.CriteriaField : -1);
  cboCriteriaType->setCurrentIndex(rule.CriteriaType < cboCriteriaType->count() ? rule.CriteriaType : -1);
  edtCriteria->setText(Q(rule.Criteria));
  int choice = -1;
  for (size_t i = 0; i < action_types_.size(); ++i)
    if (action_types_[i] == rule.ActionType) choice = static_cast<int>(i);
  if (incoming_)
    cboAction->setCurrentIndex(choice);
  else if (choice >= 0)
    cboAction->setCurrentIndex(choice);
  copy_destination_ = rule.CopyDestination;
  move_destination_ = rule.MoveDestination;
  edtCopyLocation->setText(Q(DestinationCaption(copy_destination_)));
  edtMoveLocation->setText(Q(DestinationCaption(move_destination_)));
  edtSoundFile->setText(Q(rule.SoundFile));
  if (edtForwardAddress) edtForwardAddress->setText(Q(rule.ForwardAddress));
  active_ = rule.Active;
  criteria_edited_ = !rule.Criteria.empty();
}

void cRuleEditorForm::GetRule(cMessageRule& rule) const {
  rule.Active = active_;
  if (cboField->currentIndex() >= 0) rule.CriteriaField = static_cast<uint8_t>(cboField->currentIndex());
  if (cboCriteriaType->currentIndex() >= 0)
    rule.CriteriaType = static_cast<uint8_t>(cboCriteriaType->currentIndex());
  rule.Criteria = S(edtCriteria->text());
  int choice = cboAction->currentIndex();
  if (choice >= 0 && choice < static_cast<int>(action_types_.size()))
    rule.ActionType = action_types_[choice];
  else if (incoming_)
    rule.ActionType = kActionNone;
  rule.CopyDestination = copy_destination_;
  rule.MoveDestination = move_destination_;
  rule.SoundFile = S(edtSoundFile->text());
  if (edtForwardAddress) rule.ForwardAddress = S(edtForwardAddress->text());
}

void cRuleEditorForm::ChooseDestination(bool move, const std::string& mailbox_path) {
  std::string relative = mailbox_path;
  if (relative.compare(0, MailDir.size(), MailDir) == 0) relative = relative.substr(MailDir.size());
  (move ? move_destination_ : copy_destination_) = relative;
  (move ? edtMoveLocation : edtCopyLocation)->setText(Q(DestinationCaption(relative)));
}

void cRuleEditorForm::btnBrowseLocationClick(bool move) {
  std::string chosen;
  const std::string& current = move ? move_destination_ : copy_destination_;
  if (BrowseForMailbox(current.empty() ? std::string() : MailDir + current, chosen, this) && !chosen.empty())
    ChooseDestination(move, chosen);
}

void cRuleEditorForm::btnBrowseSoundClick() {
  QFileDialog dialog(this, QString(), edtSoundFile->text(), "Sound files (*.wav);;All files (*.*)");
  dialog.setObjectName("dlgOpenSound");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setDefaultSuffix("wav");
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    edtSoundFile->setText(dialog.selectedFiles().first());
}

void cRuleEditorForm::btnBrowseForwardClick() {
  std::string address = S(edtForwardAddress->text());
  if (BrowseContactsDialog(address)) edtForwardAddress->setText(Q(address));
}

TfrmIncomingRule::TfrmIncomingRule(QWidget* parent) : cRuleEditorForm(true, parent) {
  setObjectName("TfrmIncomingRule");
  setWindowTitle("Edit incoming rule");
  action_types_ = {kActionMove, kActionCopy, kActionDelete, kActionLeaveOnServer,
                   kActionIgnore, kActionPlaySound, kActionForward, kActionPrint};
  cboAction->addItems({"Move to folder", "Copy to folder", "Delete right away", "Don't delete from server",
                       "Ignore it", "Play sound", "Forward to address", "Print it"});
  cboAction->setCurrentIndex(0);
}

TfrmOutgoingRule::TfrmOutgoingRule(QWidget* parent) : cRuleEditorForm(false, parent) {
  setObjectName("TfrmOutgoingRule");
  setWindowTitle("Outgoing rule editor");
  action_types_ = {kActionMove, kActionCopy, kActionPlaySound};
  cboAction->addItems({"Move to folder", "Copy to folder", "Play sound"});
  cboAction->setCurrentIndex(0);
}

bool EditRule(bool incoming, cMessageRule& rule, bool existing, const cRuleEditorForm::Presets& presets,
              QWidget* parent) {
  std::unique_ptr<cRuleEditorForm> editor;
  if (incoming)
    editor = std::make_unique<TfrmIncomingRule>(parent);
  else
    editor = std::make_unique<TfrmOutgoingRule>(parent);
  editor->SetPresets(presets);
  if (existing) editor->SetRule(rule);
  if (editor->exec() != QDialog::Accepted) return false;
  editor->GetRule(rule);
  return true;
}

namespace {

void CreateRule(const std::string& account, bool incoming, const cRuleEditorForm::Presets& presets) {
  cMessageRule rule;
  if (!EditRule(incoming, rule, false, presets, QApplication::activeWindow())) return;
  rule.Active = true;
  const std::string path = incoming ? IncomingRulesFile(account) : OutgoingRulesFile(account);
  try {
    AppendRule(path, rule);
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured in AppendRule ()");
  }
}

}  // namespace

void CreateRuleFromMessage(const std::string& account, const cMailMessage& msg, bool incoming) {
  CreateRule(account, incoming, {msg.From, msg.Subject, msg.To, msg.CC, std::string()});
}

void CreateIncomingRule(const std::string& account, const std::string& contact_name, const std::string& book_file) {
  // The contact's address fills the author preset, so the rule starts out
  // matching mail from that contact.
  cRuleEditorForm::Presets presets;
  if (!contact_name.empty() && !book_file.empty()) {
    cContact contact;
    ReadContact(book_file, contact_name, true, contact);
    presets[kFieldFrom] = contact.Email;
  }
  CreateRule(account, true, presets);
}

}  // namespace qm
