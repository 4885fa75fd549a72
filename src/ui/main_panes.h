#pragma once
// Small widgets of the main window: the message list view that starts row
// drags, the status bar's picture panels, and the message body pane.
#include <QLabel>
#include <QTreeView>
#include <functional>

class QPlainTextEdit;
class QVBoxLayout;

namespace qm {

struct cMailMessage;
class TfrmMain;

class TMsgListView : public QTreeView {
  Q_OBJECT
 public:
  TMsgListView(TfrmMain* main, QWidget* parent);

 protected:
  void startDrag(Qt::DropActions actions) override;

 private:
  TfrmMain* main_;
};

// An owner-drawn status panel: a picture, clicks and double clicks.
class TStatusPanel : public QLabel {
  Q_OBJECT
 public:
  TStatusPanel(int width, QWidget* parent);
  void SetPicture(const QIcon& icon);  // a null icon clears it
  std::function<void()> OnClick, OnDoubleClick;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
};

// pnlMessageBody: where the message viewer frame sits. Until the viewer frame
// is embedded it shows the headers and the text of the message plainly.
class TMessagePane : public QWidget {
  Q_OBJECT
 public:
  explicit TMessagePane(QWidget* parent);
  // Shows the message (read with its body); null clears the pane.
  void ShowMessageInPane(const cMailMessage* msg);
  bool HasMessage() const { return has_message_; }
  void ScrollDown(int pixels);
  // The widget that takes the focus ("Focus message body").
  QWidget* FocusTarget() const;

 private:
  QLabel* header_;
  QPlainTextEdit* body_;
  bool has_message_ = false;
};

}  // namespace qm
