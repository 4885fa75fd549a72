#include "ui/attachment_pane.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QVBoxLayout>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "ui/open_link.h"
#include "ui/qt_text.h"

namespace qm {

std::string FormatSizeText(int64_t bytes) {
  QLocale locale;
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  if (bytes < 1048576) return S(locale.toString(static_cast<double>(bytes) / 1024.0, 'f', 2)) + " KB";
  return S(locale.toString(static_cast<double>(bytes) / 1048576.0, 'f', 2)) + " MB";
}

std::string AttachmentCaption(const std::string& path) {
  int64_t size = FileSizeOf(path);
  if (size < 0) size = 0;
  return ExtractFileName(path) + " (" + FormatSizeText(size) + ")";
}

TAttachmentPane::TAttachmentPane(QWidget* parent) : QWidget(parent) {
  setObjectName("pnlAttachments");
  setMinimumHeight(46);
  lstAttachments = new QListWidget(this);
  lstAttachments->setObjectName("lstAttachments");
  lstAttachments->setViewMode(QListView::ListMode);
  lstAttachments->setFlow(QListView::LeftToRight);
  lstAttachments->setWrapping(true);
  lstAttachments->setResizeMode(QListView::Adjust);
  lstAttachments->setIconSize(QSize(16, 16));
  lstAttachments->setSpacing(2);
  lstAttachments->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstAttachments->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(lstAttachments);

  popAttachments = new QMenu(this);
  popAttachments->setObjectName("popAttachments");
  popOpen = popAttachments->addAction("&Open", this, &TAttachmentPane::popOpenClick);
  popOpen->setObjectName("popOpen");
  popAttachments->setDefaultAction(popOpen);
  popSaveAs = popAttachments->addAction("&Save as...", this, &TAttachmentPane::popSaveAsClick);
  popSaveAs->setObjectName("popSaveAs");
  popOpenFolder = popAttachments->addAction("Open &attachments folder", this, &TAttachmentPane::popOpenFolderClick);
  popOpenFolder->setObjectName("popOpenFolder");

  connect(lstAttachments, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    QListWidgetItem* item = lstAttachments->itemAt(pos);
    if (item) lstAttachments->setCurrentItem(item);
    if (!SelectedFile().empty()) popAttachments->popup(lstAttachments->viewport()->mapToGlobal(pos));
  });
  connect(lstAttachments, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { popOpenClick(); });
}

void TAttachmentPane::Fill(const StringList& files) {
  files_ = files;
  lstAttachments->clear();
  QFileIconProvider icons;
  for (size_t i = 0; i < files.size(); ++i) {
    auto* item = new QListWidgetItem(icons.icon(QFileInfo(Q(files[i]))), Q(AttachmentCaption(files[i])));
    item->setData(Qt::UserRole, static_cast<int>(i));
    item->setToolTip(Q(files[i]));
    lstAttachments->addItem(item);
  }
}

void TAttachmentPane::Clear() {
  files_.clear();
  lstAttachments->clear();
}

std::string TAttachmentPane::SelectedFile() const {
  QListWidgetItem* item = lstAttachments->currentItem();
  if (!item || !item->isSelected()) return "";
  int index = item->data(Qt::UserRole).toInt();
  if (index < 0 || index >= static_cast<int>(files_.size())) return "";
  return files_[static_cast<size_t>(index)];
}

void TAttachmentPane::popOpenClick() {
  std::string file = SelectedFile();
  // A missing file is left to the desktop, which says so.
  if (!file.empty()) OpenWithShell(file);
}

bool TAttachmentPane::CopyAttachment(const std::string& from, const std::string& target) {
  if (from == target) return FileExists(from);
  auto data = TryReadFileBytes(from);
  if (!data) return false;
  try {
    WriteFileAtomically(target, *data);
  } catch (...) {
    return false;
  }
  return true;
}

void TAttachmentPane::popSaveAsClick() {
  std::string file = SelectedFile();
  if (file.empty()) return;
  QFileDialog dialog(this, "Save as", Q(file), "All files (*.*)");
  dialog.setObjectName("dlgSaveAttachment");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // Overwriting is what the user asked for by picking the file.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.selectFile(Q(file));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  CopyAttachment(file, S(dialog.selectedFiles().first()));
}

void TAttachmentPane::popOpenFolderClick() { OpenWithShell(AttachmentsDir); }

}  // namespace qm
