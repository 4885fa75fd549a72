#pragma once
// lstFolders: the folder tree widget with its drag rules. A node is dragged
// only after more than five moves with the left button held; rows of the
// message list and nodes are dropped through the main window's rules.
#include <QTreeWidget>
#include <memory>

namespace qm {

class TfrmMain;
class cFolderNode;
class cFolderTreeListener;

// Mirrors the store's tree into the window's lstFolders.
std::unique_ptr<cFolderTreeListener> MakeMainTreeListener(TfrmMain* main);

inline constexpr const char* kFolderNodeMime = "application/x-quillmar-folder-node";

class TFolderTreeWidget : public QTreeWidget {
  Q_OBJECT
 public:
  TFolderTreeWidget(TfrmMain* main, QWidget* parent);
  int mouse_move_counter = 0;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  cFolderNode* TargetAt(const QPoint& pos) const;
  bool Accepts(const QMimeData* data, cFolderNode* target) const;
  TfrmMain* main_;
  cFolderNode* dragged_ = nullptr;
};

}  // namespace qm
