#pragma once
// The frame that shows one message: header pane, body display, attachments.
// The main window embeds one; every message window embeds its own.
#include <QWidget>
#include <cstdint>
#include <string>

#include "store/mail_message.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QSplitter;

namespace qm {

class THtmlDisplay;
class TAttachmentPane;

// A settings colour (red in the low byte) and back.
QColor ColourFromSetting(int value);
int SettingFromColour(const QColor& colour);

class TfraMessageViewer : public QWidget {
  Q_OBJECT
 public:
  // in_main_window: the header pane's designed colour and the plain "&" in
  // the subject belong to the main window's viewer.
  explicit TfraMessageViewer(QWidget* parent = nullptr, bool in_main_window = true);
  ~TfraMessageViewer() override;

  // Takes the record over with its lists; frees the one shown before.
  void DisplayMessage(const cMailMessage& message);
  void ClearMessage();
  void ApplySettings();
  void SaveAttachPaneHeight();
  void FreeShownMessage();
  void PrintShownMessage();
  // Asks for a file and writes the shown message there; `default_ext`
  // "" gives no default extension.
  void SaveMessageAs(const QString& default_ext = "txt");
  void ShowProperties();
  // Links clicked in the body: mailto: opens a compose window, others OpenLink.
  void MsgViewerLinkClick(const std::string& link);

  bool HasMessage() const { return has_message_; }
  const cMailMessage& ShownMessage() const { return shown_; }
  int AttachPaneHeight() const { return attach_height_; }

  // Raw header lines, an empty line, the body lines (for an HTML message the
  // HTML text). Throws qm::FileError when the file cannot be written.
  static void SaveMessageAsText(const std::string& path, const cMailMessage& message);

  QFrame* pnlHeaders;
  QLabel* lblSubjectCaption;
  QLabel* lblFromCaption;
  QLabel* lblToCaption;
  QLabel* lblSubject;
  QLabel* lblFrom;
  QLabel* lblTo;
  THtmlDisplay* MsgViewer;
  QSplitter* AttachPaneSplitter;
  TAttachmentPane* pnlAttachments;

  QMenu* popBody;
  QAction* popCopy;
  QAction* popLaunch;
  QAction* popSaveToDisk;
  QAction* popPrint;
  QAction* popProperties;

  void RepositionHeaderLabels();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowAttachmentPane(bool show);

  cMailMessage shown_;
  bool has_message_ = false;
  bool in_main_window_;
  int attach_height_ = 60;
};

}  // namespace qm
