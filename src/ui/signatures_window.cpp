#include "ui/signatures_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "contacts/signatures.h"
#include "ui/contacts_ui_qt.h"
#include "ui/main_icons.h"
#include "ui/qt_text.h"
#include "ui/signature_edit.h"
#include "ui/window_entry_points.h"
#include "ui/window_entry_points_trace.h"

namespace qm {

namespace {

constexpr int kNameRole = Qt::UserRole + 1;

QIcon SignaturePicture(bool is_default) {
  return is_default ? CommandPicture("emblem-default") : CommandPicture("text-x-generic");
}

}  // namespace

TfrmSignatures::TfrmSignatures(QWidget* parent) : QDialog(parent), ui_(std::make_unique<TQtContactsUi>(this)) {
  setObjectName("frmSignatures");
  setWindowTitle("Manage signatures");
  setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  lstSignatures = new QTreeWidget(this);
  lstSignatures->setObjectName("lstSignatures");
  lstSignatures->setRootIsDecorated(false);
  lstSignatures->setColumnCount(1);
  lstSignatures->setHeaderLabels({" Name"});
  lstSignatures->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  lstSignatures->setContextMenuPolicy(Qt::CustomContextMenu);

  btnAdd = new QPushButton("&Add", this);
  btnAdd->setObjectName("btnAdd");
  btnProperties = new QPushButton("&Properties", this);
  btnProperties->setObjectName("btnProperties");
  btnDelete = new QPushButton("&Delete", this);
  btnDelete->setObjectName("btnDelete");
  btnClose = new QPushButton("&Close", this);
  btnClose->setObjectName("btnClose");
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(btnAdd);
  buttons->addWidget(btnProperties);
  buttons->addWidget(btnDelete);
  buttons->addStretch();
  buttons->addWidget(btnClose);
  auto* root = new QHBoxLayout(this);
  root->addWidget(lstSignatures, 1);
  root->addLayout(buttons);
  resize(380, 260);

  popSignatures = new QMenu(this);
  popSignatures->setObjectName("popSignatures");
  auto add_item = [this](const char* name, const char* caption, void (TfrmSignatures::*handler)()) {
    QAction* a = popSignatures->addAction(caption);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, handler);
  };
  add_item("popSetDefault", "&Set as the default signature", &TfrmSignatures::popSetDefaultClick);
  add_item("popProperties", "&Properties", &TfrmSignatures::btnPropertiesClick);
  add_item("popDelete", "&Delete", &TfrmSignatures::btnDeleteClick);
  popSignatures->addSeparator();
  add_item("popNew", "&New...", &TfrmSignatures::btnAddClick);

  connect(btnAdd, &QPushButton::clicked, this, &TfrmSignatures::btnAddClick);
  connect(btnProperties, &QPushButton::clicked, this, &TfrmSignatures::btnPropertiesClick);
  connect(btnDelete, &QPushButton::clicked, this, &TfrmSignatures::btnDeleteClick);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
  connect(lstSignatures, &QTreeWidget::itemSelectionChanged, this, &TfrmSignatures::UpdateButtons);
  connect(lstSignatures, &QTreeWidget::itemDoubleClicked, this, [this] { btnPropertiesClick(); });
  connect(lstSignatures, &QTreeWidget::itemChanged, this,
          [this](QTreeWidgetItem* item, int column) { lstSignaturesEdited(item, column); });
  connect(lstSignatures, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    QTreeWidgetItem* item = lstSignatures->itemAt(pos);
    if (!item) return;
    lstSignatures->setCurrentItem(item);
    popSignatures->popup(lstSignatures->viewport()->mapToGlobal(pos));
  });
  FillList();
}

TfrmSignatures::~TfrmSignatures() = default;

void TfrmSignatures::FillList(const std::string& focus) {
  filling_ = true;
  {
    const QSignalBlocker block(lstSignatures);
    lstSignatures->clear();
    const std::string default_sig = GetDefaultSignature();
    QTreeWidgetItem* wanted = nullptr;
    for (const std::string& name : ListSignatures()) {
      auto* item = new QTreeWidgetItem(lstSignatures, {Q(name)});
      item->setData(0, kNameRole, Q(name));
      item->setIcon(0, SignaturePicture(name == default_sig));
      item->setFlags(item->flags() | Qt::ItemIsEditable);
      if (!focus.empty() && name == focus) wanted = item;
    }
    if (!wanted && lstSignatures->topLevelItemCount() > 0) wanted = lstSignatures->topLevelItem(0);
    if (wanted) lstSignatures->setCurrentItem(wanted);
  }
  filling_ = false;
  UpdateButtons();
}

std::string TfrmSignatures::FocusedSignature() const {
  QTreeWidgetItem* item = lstSignatures->currentItem();
  return item && item->isSelected() ? S(item->data(0, kNameRole).toString()) : std::string();
}

void TfrmSignatures::UpdateButtons() {
  const bool selected = !lstSignatures->selectedItems().isEmpty();
  btnProperties->setEnabled(selected);
  btnDelete->setEnabled(selected);
  for (const char* name : {"popSetDefault", "popProperties", "popDelete"})
    if (auto* a = popSignatures->findChild<QAction*>(name)) a->setEnabled(selected);
}

void TfrmSignatures::btnAddClick() {
  TfrmSignature dialog(true, this);
  if (dialog.exec() != QDialog::Accepted) return;
  CreateSignature(dialog.SignatureName(), dialog.SignatureLines());
  FillList(dialog.SignatureName());
}

void TfrmSignatures::btnPropertiesClick() {
  const std::string name = FocusedSignature();
  if (name.empty()) return;
  StringList lines;
  if (!LoadSignature(name, lines)) return;
  TfrmSignature dialog(false, this);
  dialog.SetSignature(name, lines);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string new_name = dialog.SignatureName();
  const bool updated = UpdateSignature(name, new_name, dialog.SignatureLines());
  FillList(updated ? new_name : name);
}

void TfrmSignatures::btnDeleteClick() {
  const std::string name = FocusedSignature();
  if (name.empty()) return;
  ConfirmAndDeleteSignature(name, *ui_);
  FillList();
}

void TfrmSignatures::popSetDefaultClick() {
  const std::string name = FocusedSignature();
  if (name.empty()) return;
  SetDefaultSignature(name);
  FillList(name);
}

void TfrmSignatures::lstSignaturesEdited(QTreeWidgetItem* item, int column) {
  if (filling_ || column != 0) return;
  const std::string old_name = S(item->data(0, kNameRole).toString());
  const std::string new_name = S(item->text(0).trimmed());
  bool renamed = false;
  if (!new_name.empty() && new_name != old_name) renamed = ChangeSignatureName(old_name, new_name);
  // Refilled later: the edit is still closing its editor on this item.
  const std::string focus = renamed ? new_name : old_name;
  QMetaObject::invokeMethod(this, [this, focus] { FillList(focus); }, Qt::QueuedConnection);
}

void ShowManageSignatures(QWidget* parent) {
  if (TraceWindowEntryPoint("ShowManageSignatures")) return;
  TfrmSignatures dialog(parent ? parent : QApplication::activeWindow());
  dialog.exec();
}

}  // namespace qm
