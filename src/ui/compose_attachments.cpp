// TfrmCompose: the attachment pane, its menu, and files added by dialog or drop.
#include "ui/compose_attachments.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QListWidget>
#include <QLocale>
#include <QSplitter>
#include <algorithm>

#include "platform/file_system.h"
#include "ui/compose_window.h"
#include "ui/qt_text.h"

namespace qm {

std::string AttachmentSizeText(int64_t bytes) {
  QLocale locale;
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  if (bytes < 1048576) return S(locale.toString(static_cast<double>(bytes) / 1024.0, 'f', 2)) + " KB";
  return S(locale.toString(static_cast<double>(bytes) / 1048576.0, 'f', 2)) + " MB";
}

std::string AttachmentItemCaption(const std::string& path) {
  return ExtractFileName(path) + " (" + AttachmentSizeText(std::max<int64_t>(0, FileSizeOf(path))) + ")";
}

void TfrmCompose::AddAttachmentFile(const std::string& path) {
  AddAttachment(msg_, path);
  static QFileIconProvider icons;
  auto* item = new QListWidgetItem(icons.icon(QFileInfo(Q(path))), Q(AttachmentItemCaption(path)));
  item->setToolTip(Q(path));
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  lstAttachments->addItem(item);
  if (!lstAttachments->isVisible()) lstAttachments->setVisible(true);
  SetModified();
}

void TfrmCompose::popRemoveAttachmentClick() {
  // From the last item to the first, so the indexes left stay right.
  for (int i = lstAttachments->count() - 1; i >= 0; --i) {
    if (!lstAttachments->item(i)->isSelected()) continue;
    DeleteAttachmentEntry(msg_, i);
    delete lstAttachments->takeItem(i);
    SetModified();
  }
  if (lstAttachments->count() == 0) lstAttachments->hide();
}

void TfrmCompose::mnuInsertAttachmentClick() {
  QStringList files = QFileDialog::getOpenFileNames(this, "Attach files", QString(), "All files (*.*)");
  for (const QString& f : files) AddAttachmentFile(S(f));
}

}  // namespace qm
