#include "ui/delete_attachments_dialog.h"

#include <QCheckBox>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/file_system.h"
#include "platform/locale_format.h"
#include "platform/trash.h"
#include "shell/app_paths.h"
#include "shell/text_utils.h"
#include "store/mail_message.h"
#include "ui/qt_text.h"

namespace qm {

namespace {

void TrashFiles(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    // A file that is already gone is skipped silently.
    if (FileExists(path)) MoveToTrash(path);
  }
}

}  // namespace

TfrmDeleteAttachments::TfrmDeleteAttachments(QWidget* parent) : QDialog(parent) {
  setObjectName("frmDeleteAttachments");
  setWindowTitle("Delete attachments");
  auto* picture = new QLabel(this);
  picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
  auto* text = new QLabel(
      "The message you are now erasing contains attachments. Please select which ones do you want to erase:", this);
  text->setWordWrap(true);
  auto* group = new QGroupBox(this);
  lblFrom = new QLabel(group);
  lblFrom->setObjectName("lblFrom");
  lblSubject = new QLabel(group);
  lblSubject->setObjectName("lblSubject");
  lblDate = new QLabel(group);
  lblDate->setObjectName("lblDate");
  for (QLabel* l : {lblFrom, lblSubject, lblDate}) l->setTextFormat(Qt::PlainText);
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel("From:", group), 0, 0);
  grid->addWidget(lblFrom, 0, 1);
  grid->addWidget(new QLabel("Subject:", group), 1, 0);
  grid->addWidget(lblSubject, 1, 1);
  grid->addWidget(new QLabel("Date:", group), 2, 0);
  grid->addWidget(lblDate, 2, 1);
  grid->setColumnStretch(1, 1);
  lstFiles = new QListWidget(this);
  lstFiles->setObjectName("lstFiles");
  lstFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstFiles->setIconSize(QSize(16, 16));
  btnProceed = new QPushButton("&Proceed", this);
  btnProceed->setObjectName("btnProceed");
  btnProceed->setDefault(true);
  btnKeepAll = new QPushButton("&Keep all", this);
  btnKeepAll->setObjectName("btnKeepAll");
  chkAutomaticallyDeleteNextTime = new QCheckBox("Automatically delete attachments next time", this);
  chkAutomaticallyDeleteNextTime->setObjectName("chkAutomaticallyDeleteNextTime");
  connect(btnProceed, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnKeepAll, &QPushButton::clicked, this, &QDialog::reject);

  auto* head = new QHBoxLayout;
  head->addWidget(picture, 0, Qt::AlignTop);
  head->addWidget(text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(chkAutomaticallyDeleteNextTime);
  buttons->addStretch();
  buttons->addWidget(btnProceed);
  buttons->addWidget(btnKeepAll);
  auto* root = new QVBoxLayout(this);
  root->addLayout(head);
  root->addWidget(group);
  root->addWidget(lstFiles, 1);
  root->addLayout(buttons);

  int w = 420, h = 320;
  if (OptionsIni) {
    w = OptionsIni->ReadInteger("DeleteAttachsWnd", "Width", w);
    h = OptionsIni->ReadInteger("DeleteAttachsWnd", "Height", h);
  }
  resize(std::max(w, 200), std::max(h, 150));
}

TfrmDeleteAttachments::~TfrmDeleteAttachments() = default;

int TfrmDeleteAttachments::Fill(const cMailMessage& msg) {
  lblFrom->setText(Q(msg.FromName));
  lblSubject->setText(Q(msg.Subject));
  lblDate->setText(msg.Date == 0 ? QString() : Q(FormatShortDate(msg.Date) + " " + FormatShortTime(msg.Date)));
  bool inside_only = !OptionsIni || OptionsIni->ReadBool("Options", "DontDeleteOutsideAttachsFolder", true);
  const std::string attachments_dir = LowerCaseAscii(AttachmentsDir);
  QFileIconProvider icons;
  int selected = 0;
  lstFiles->clear();
  if (!msg.Attachments) return 0;
  for (const std::string& path : *msg.Attachments) {
    auto* item = new QListWidgetItem(icons.icon(QFileInfo(Q(path))), Q(path), lstFiles);
    bool select = !inside_only || LowerCaseAscii(path).rfind(attachments_dir, 0) == 0;
    item->setSelected(select);
    if (select) ++selected;
  }
  return selected;
}

std::vector<std::string> TfrmDeleteAttachments::SelectedPaths() const {
  std::vector<std::string> paths;
  for (int i = 0; i < lstFiles->count(); ++i)
    if (lstFiles->item(i)->isSelected()) paths.push_back(S(lstFiles->item(i)->text()));
  return paths;
}

void TfrmDeleteAttachments::done(int result) {
  if (OptionsIni) {
    OptionsIni->WriteInteger("DeleteAttachsWnd", "Height", height());
    OptionsIni->WriteInteger("DeleteAttachsWnd", "Width", width());
    OptionsIni->WriteBool("Options", "DeleteAttachsWithoutPrompt", chkAutomaticallyDeleteNextTime->isChecked());
  }
  QDialog::done(result);
}

void DeleteAttachmentsOf(const cMailMessage& msg, QWidget* parent) {
  if (!msg.Attachments || msg.Attachments->empty()) return;
  int behaviour = OptionsIni ? OptionsIni->ReadInteger("Options", "DeleteAttachmentsBehavior", 0) : 0;
  if (behaviour == 1) {
    TrashFiles(*msg.Attachments);
    return;
  }
  if (behaviour != 0) return;
  TfrmDeleteAttachments dialog(parent);
  // Nothing to offer: the window is not shown and nothing is deleted.
  if (dialog.Fill(msg) == 0) return;
  if (dialog.exec() == QDialog::Accepted) TrashFiles(dialog.SelectedPaths());
}

}  // namespace qm
