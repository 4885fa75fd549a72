#include "transport/task_ui_loop.h"

#include <chrono>
#include <exception>
#include <memory>

namespace qm {

cTaskUiLoop::cTaskUiLoop() : owner_(std::this_thread::get_id()) {}

void cTaskUiLoop::Post(std::function<void()> fn) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(fn));
  }
  cv_.notify_all();
}

void cTaskUiLoop::Invoke(const std::function<void()>& fn) {
  if (OnLoopThread()) {
    fn();
    return;
  }
  struct Call {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::exception_ptr error;
  };
  auto call = std::make_shared<Call>();
  Post([call, &fn] {
    try {
      fn();
    } catch (...) {
      call->error = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(call->m);
    call->done = true;
    call->cv.notify_all();
  });
  std::unique_lock<std::mutex> lock(call->m);
  call->cv.wait(lock, [&] { return call->done; });
  if (call->error) std::rethrow_exception(call->error);
}

bool cTaskUiLoop::RunUntil(const std::function<bool()>& done, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    if (done()) return true;
    std::function<void()> fn;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!cv_.wait_until(lock, deadline, [&] { return !queue_.empty(); })) return done();
      fn = std::move(queue_.front());
      queue_.pop_front();
    }
    fn();
  }
}

}  // namespace qm
