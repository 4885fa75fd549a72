#include "ui/main_panes.h"

#include <QDrag>
#include <QMouseEvent>

#include "ui/main_message_list.h"
#include "ui/main_window.h"

namespace qm {

TMsgListView::TMsgListView(TfrmMain* main, QWidget* parent) : QTreeView(parent), main_(main) {}

void TMsgListView::startDrag(Qt::DropActions) {
  QModelIndexList rows = selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  // The tree must not load other mailboxes while rows hover over it.
  main_->drag_source_node = main_->SelectedNode();
  auto* drag = new QDrag(this);
  drag->setMimeData(model()->mimeData(rows));
  drag->setPixmap(rows.first().data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16));
  drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
  main_->drag_source_node = nullptr;
}

TStatusPanel::TStatusPanel(int width, QWidget* parent) : QLabel(parent) {
  setFixedWidth(width);
  setAlignment(Qt::AlignCenter);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void TStatusPanel::SetPicture(const QIcon& icon) {
  if (icon.isNull())
    clear();
  else
    setPixmap(icon.pixmap(16, 16));
}

void TStatusPanel::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && OnClick) OnClick();
  QLabel::mousePressEvent(e);
}

void TStatusPanel::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && OnDoubleClick) OnDoubleClick();
  QLabel::mouseDoubleClickEvent(e);
}

}  // namespace qm
