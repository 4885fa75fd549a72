#pragma once
// The viewer's attachment pane: the message's attachment files with their
// system icons and sizes, and what can be done with them.
#include <QWidget>
#include <cstdint>
#include <string>

#include "platform/text_lines.h"

class QListWidget;
class QListWidgetItem;
class QMenu;
class QAction;

namespace qm {

// Below 1,024 bytes "n bytes", below 1,048,576 kilobytes with two decimals
// and " KB", otherwise megabytes and " MB", in the user's number format.
std::string FormatSizeText(int64_t bytes);

// "name (size)" for an attachment file; a missing file counts as 0 bytes.
std::string AttachmentCaption(const std::string& path);

class TAttachmentPane : public QWidget {
  Q_OBJECT
 public:
  explicit TAttachmentPane(QWidget* parent = nullptr);

  void Fill(const StringList& files);
  void Clear();
  // The full path of the selected attachment, "" when none is selected.
  std::string SelectedFile() const;

  QListWidget* lstAttachments;
  QMenu* popAttachments;
  QAction* popOpen;
  QAction* popSaveAs;
  QAction* popOpenFolder;

  void popOpenClick();
  void popSaveAsClick();
  void popOpenFolderClick();
  // Copies the file over `target` (replacing it); false when it cannot.
  static bool CopyAttachment(const std::string& from, const std::string& target);

 private:
  StringList files_;
};

}  // namespace qm
