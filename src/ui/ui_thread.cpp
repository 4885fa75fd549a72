#include "ui/ui_thread.h"

#include <exception>

#include <QApplication>
#include <QMetaObject>
#include <QThread>

namespace qm {

void RunOnUiThread(const std::function<void()>& fn) {
  if (QThread::currentThread() == qApp->thread()) {
    fn();
    return;
  }
  std::exception_ptr failure;
  QMetaObject::invokeMethod(
      qApp,
      [&] {
        try {
          fn();
        } catch (...) {
          failure = std::current_exception();
        }
      },
      Qt::BlockingQueuedConnection);
  if (failure) std::rethrow_exception(failure);
}

void PostToUiThread(std::function<void()> fn) {
  QMetaObject::invokeMethod(qApp, std::move(fn), Qt::QueuedConnection);
}

}  // namespace qm
