#pragma once
// Helpers for driving modal windows from a test.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace qm {

// Runs `act` on the first modal window that opens (polling), e.g. to click a button.
inline void WhenModalOpens(std::function<void(QWidget*)> act, int timeout_ms = 5000) {
  // Owned by the application, so a wait that never saw its window is freed
  // with it.
  auto* timer = new QTimer(qApp);
  auto waited = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, act, waited, timeout_ms] {
    *waited += 10;
    if (QWidget* w = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(w);
    } else if (*waited > timeout_ms) {
      timer->stop();
      timer->deleteLater();
    }
  });
  timer->start(10);
}

// Keeps the event loop going until `done` holds or `ms` have passed.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 10000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QTest::qWait(5);
  }
  return done();
}

}  // namespace qm
