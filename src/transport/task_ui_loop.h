#pragma once
// A plain event loop that stands in for the UI thread where there is no
// window system (the console host, tests): workers hand it work and wait.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace qm {

class cTaskUiLoop {
 public:
  // The thread that creates the loop is its UI thread.
  cTaskUiLoop();

  bool OnLoopThread() const { return std::this_thread::get_id() == owner_; }
  // Runs `fn` on the loop's thread and returns once it has run; exceptions
  // thrown by `fn` reach the caller. Runs it at once on the loop's thread.
  void Invoke(const std::function<void()>& fn);
  // Queues `fn` without waiting.
  void Post(std::function<void()> fn);
  // Runs queued work on the loop's thread until `done` holds or the time is
  // up; returns `done()`.
  bool RunUntil(const std::function<bool()>& done, int timeout_ms);

 private:
  std::thread::id owner_;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace qm
