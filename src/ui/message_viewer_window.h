#pragma once
// A message in a window of its own.
#include <QMainWindow>
#include <string>

#include "store/mail_message.h"

class QAction;
class QStatusBar;
class QToolBar;

namespace qm {

class TfraMessageViewer;

class TfrmMessageViewer : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfrmMessageViewer(QWidget* parent = nullptr);
  ~TfrmMessageViewer() override;

  // Reads the message the reference names and shows it; false (window
  // left empty, captioned "Message Viewer") when it cannot be read.
  bool LoadMessage(const std::string& message_ref);

  const std::string& MessageRef() const { return message_ref_; }

  TfraMessageViewer* Viewer;
  QToolBar* tbMain;
  QAction* tbReply;
  QAction* tbForward;
  QAction* tbCopy;
  QAction* tbPrint;
  QAction* tbFullScreen;
  QAction* tbClose;
  QAction* mnuSave;
  QAction* mnuPrint;
  QAction* mnuProperties;
  QAction* mnuClose;
  QAction* mnuReply;
  QAction* mnuForward;
  QAction* mnuAbout;

  void tbReplyClick();
  void tbForwardClick();
  void tbFullScreenClick();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::string message_ref_;
};

// Reads a message with its body by reference; false (nothing to free) when
// the reference, the mailbox or the key is not there. Never creates a file.
bool ReadMessageByRef(const std::string& message_ref, cMailMessage& msg);

// The windows open now (several may be).
int OpenMessageWindowCount();

}  // namespace qm
