#pragma once
// Small widgets of the main window: the message list view that starts row
// drags and the status bar's picture panels.
#include <QLabel>
#include <QTreeView>
#include <functional>

namespace qm {

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

}  // namespace qm
