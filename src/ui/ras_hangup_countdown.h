#pragma once
// The five-second countdown shown at the bottom of the main window before a
// dial-up line is dropped; a click keeps the line.
#include <QFrame>

class QLabel;
class QTimer;

namespace qm {

class TfraRasHangupCountdown : public QFrame {
  Q_OBJECT
 public:
  // Placed at the bottom of `main`, above its status bar, and started.
  explicit TfraRasHangupCountdown(QWidget* main);

  QLabel* imgPicture;
  QLabel* lblCountDown;
  QTimer* Timer;
  int SecondsLeft() const { return seconds_left_; }

  // One timer tick (also driven directly by tests).
  void TimerTimer();
  // A click on the panel, the picture or the label.
  void PanelClick();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PlaceAtBottom();
  int seconds_left_ = 5;
};

// At the end of every run of tasks: drops the line at once or after the
// countdown, as [Options] HangUpAfterOp and WaitBeforeHangup say. `main` is
// the countdown's parent. Returns the countdown panel when one was started.
TfraRasHangupCountdown* HangUpAfterRun(QWidget* main);

}  // namespace qm
