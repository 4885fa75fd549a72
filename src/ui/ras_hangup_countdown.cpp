#include "ui/ras_hangup_countdown.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

#include "shell/app_paths.h"
#include "transport/dialup_hangup.h"

namespace qm {

namespace {
QString CountdownText(int seconds) {
  return QString("Hanging up in %1 seconds... (click to preserve connection)").arg(seconds);
}
}  // namespace

TfraRasHangupCountdown::TfraRasHangupCountdown(QWidget* main) : QFrame(main) {
  setObjectName("TfraRasHangupCountdown");
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  setCursor(Qt::PointingHandCursor);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 2, 6, 2);
  imgPicture = new QLabel(this);
  imgPicture->setObjectName("imgPicture");
  imgPicture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(16, 16));
  lblCountDown = new QLabel(CountdownText(5), this);
  lblCountDown->setObjectName("lblCountDown");
  lblCountDown->setCursor(Qt::PointingHandCursor);
  layout->addWidget(imgPicture);
  layout->addWidget(lblCountDown, 1);
  // The picture and the label pass their clicks to the panel.
  imgPicture->setAttribute(Qt::WA_TransparentForMouseEvents);
  lblCountDown->setAttribute(Qt::WA_TransparentForMouseEvents);
  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  Timer->setInterval(1000);
  connect(Timer, &QTimer::timeout, this, &TfraRasHangupCountdown::TimerTimer);
  if (main) main->installEventFilter(this);
  PlaceAtBottom();
  show();
  raise();
  Timer->start();
}

void TfraRasHangupCountdown::PlaceAtBottom() {
  QWidget* main = parentWidget();
  if (!main) return;
  int h = sizeHint().height();
  int bottom = main->height();
  if (auto* window = qobject_cast<QMainWindow*>(main)) {
    QStatusBar* bar = window->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
    // A window not shown yet has not placed its status bar; lay it out first
    // so the panel sits right above the bar once the window appears.
    if (bar && bar->isVisibleTo(window)) {
      if (window->layout()) window->layout()->activate();
      bottom = bar->geometry().top();
    }
  }
  setGeometry(0, bottom - h, main->width(), h);
}

bool TfraRasHangupCountdown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest))
    PlaceAtBottom();
  return QFrame::eventFilter(watched, event);
}

void TfraRasHangupCountdown::TimerTimer() {
  --seconds_left_;
  if (seconds_left_ > 0) lblCountDown->setText(CountdownText(seconds_left_));
  if (seconds_left_ == 0) HangUpNow();
  if (seconds_left_ <= 0) {
    Timer->stop();
    hide();
    deleteLater();
  }
}

void TfraRasHangupCountdown::PanelClick() { seconds_left_ = 0; }

void TfraRasHangupCountdown::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) PanelClick();
  QFrame::mousePressEvent(event);
}

TfraRasHangupCountdown* HangUpAfterRun(QWidget* main) {
  if (!RasAvailable() || !OptionsIni) return nullptr;
  if (!OptionsIni->ReadBool("Options", "HangUpAfterOp", false)) return nullptr;
  if (OptionsIni->ReadBool("Options", "WaitBeforeHangup", true)) return new TfraRasHangupCountdown(main);
  HangUpNow();
  return nullptr;
}

}  // namespace qm
