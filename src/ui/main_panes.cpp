#include "ui/main_panes.h"

#include <QDrag>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "platform/locale_format.h"
#include "store/mail_message.h"
#include "ui/main_message_list.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

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

TMessagePane::TMessagePane(QWidget* parent) : QWidget(parent) {
  setObjectName("pnlMessageBody");
  header_ = new QLabel(this);
  header_->setObjectName("lblMessageHeader");
  header_->setTextFormat(Qt::PlainText);
  header_->setWordWrap(true);
  header_->setMargin(4);
  header_->setAutoFillBackground(true);
  header_->setBackgroundRole(QPalette::AlternateBase);
  body_ = new QPlainTextEdit(this);
  body_->setObjectName("edtMessageBody");
  body_->setReadOnly(true);
  body_->setFrameStyle(QFrame::NoFrame);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(header_);
  layout->addWidget(body_, 1);
  ShowMessageInPane(nullptr);
}

void TMessagePane::ShowMessageInPane(const cMailMessage* msg) {
  has_message_ = msg != nullptr;
  if (!msg) {
    header_->clear();
    header_->hide();
    body_->clear();
    return;
  }
  QString head = "From: " + Q(msg->From) + "\nTo: " + Q(msg->To);
  if (!msg->CC.empty()) head += "\nCC: " + Q(msg->CC);
  head += "\nSubject: " + Q(msg->Subject);
  if (msg->Date != 0) head += "\nDate: " + Q(FormatShortDate(msg->Date) + " " + FormatShortTime(msg->Date));
  header_->setText(head);
  header_->show();
  QString text;
  if (msg->Body)
    for (const std::string& line : *msg->Body) text += Q(line) + "\n";
  body_->setPlainText(text);
}

void TMessagePane::ScrollDown(int pixels) {
  QScrollBar* bar = body_->verticalScrollBar();
  // The text view scrolls by lines; one line is about one font height.
  int step = qMax(1, pixels / qMax(1, body_->fontMetrics().height()));
  bar->setValue(bar->value() + step);
}

QWidget* TMessagePane::FocusTarget() const { return body_; }

}  // namespace qm
