#include "ui/error_dialog.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QThread>
#include <QVBoxLayout>

#include "ui/dialog_frame.h"
#include "ui/qt_text.h"

namespace qm {

TfrmErrorDialog::TfrmErrorDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("frmErrorDialog");
  SetFixedDialogFrame(this, "Quillmar - Error", 386, 192);

  auto* icon = new QLabel(this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(37, 37));
  icon->setFixedSize(40, 37);
  icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Sunken);
  ErrorLabel = new QPlainTextEdit(panel);
  ErrorLabel->setObjectName("ErrorLabel");
  ErrorLabel->setReadOnly(true);
  ErrorLabel->setFrameShape(QFrame::NoFrame);
  ErrorLabel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont f("Tahoma", 8);
  f.setBold(true);
  ErrorLabel->setFont(f);
  QPalette pal = ErrorLabel->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Button));
  ErrorLabel->setPalette(pal);
  auto* pl = new QVBoxLayout(panel);
  pl->setContentsMargins(2, 2, 2, 2);
  pl->addWidget(ErrorLabel);

  btnClose = new QPushButton("&Close", this);
  btnClose->setObjectName("btnClose");
  btnClose->setDefault(true);
  connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addWidget(panel, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(btnClose);
  bottom->addStretch();
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(8, 8, 8, 8);
  root->addLayout(top, 1);
  root->addLayout(bottom);
}

void TfrmErrorDialog::SetMessage(const std::string& message) { ErrorLabel->setPlainText(Q(message)); }

TShowErrDialogTimer::TShowErrDialogTimer(std::string message, bool log_it)
    : message_(std::move(message)), log_it_(log_it) {
  setObjectName("ShowErrDialogTimer");
  setInterval(20);
  connect(this, &QTimer::timeout, this, &TShowErrDialogTimer::OnTimerEvent);
  start();
}

void TShowErrDialogTimer::OnTimerEvent() {
  stop();
  TfrmErrorDialog dialog;
  dialog.SetMessage(message_);
  // The entry is written before the window shows, so it exists even while
  // the window stays open.
  if (log_it_) LogReportedError(message_);
  dialog.exec();
  deleteLater();
}

void QtErrorSink::Report(const std::string& message, bool log_it) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  if (QThread::currentThread() == app->thread()) {
    new TShowErrDialogTimer(message, log_it);
    return;
  }
  // From a worker: the timer must belong to the UI thread.
  QMetaObject::invokeMethod(app, [message, log_it] { new TShowErrDialogTimer(message, log_it); },
                            Qt::QueuedConnection);
}

}  // namespace qm
