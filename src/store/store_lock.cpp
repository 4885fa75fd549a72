#include "store/store_lock.h"

namespace qm {

void cStoreMutex::lock() {
  const auto me = std::this_thread::get_id();
  std::unique_lock<std::mutex> guard(mutex_);
  if (depth_ > 0 && owner_ == me) {
    ++depth_;
    return;
  }
  free_.wait(guard, [this] { return depth_ == 0; });
  owner_ = me;
  depth_ = 1;
}

bool cStoreMutex::try_lock() {
  const auto me = std::this_thread::get_id();
  std::lock_guard<std::mutex> guard(mutex_);
  if (depth_ > 0 && owner_ != me) return false;
  owner_ = me;
  ++depth_;
  return true;
}

void cStoreMutex::unlock() {
  std::lock_guard<std::mutex> guard(mutex_);
  if (depth_ == 0 || owner_ != std::this_thread::get_id()) return;
  if (--depth_ == 0) {
    owner_ = std::thread::id();
    free_.notify_one();
  }
}

bool cStoreMutex::HeldByCaller() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return depth_ > 0 && owner_ == std::this_thread::get_id();
}

int cStoreMutex::ReleaseAll() {
  std::lock_guard<std::mutex> guard(mutex_);
  if (depth_ == 0 || owner_ != std::this_thread::get_id()) return 0;
  int depth = depth_;
  depth_ = 0;
  owner_ = std::thread::id();
  free_.notify_one();
  return depth;
}

void cStoreMutex::Reacquire(int depth) {
  if (depth <= 0) return;
  std::unique_lock<std::mutex> guard(mutex_);
  free_.wait(guard, [this] { return depth_ == 0; });
  owner_ = std::this_thread::get_id();
  depth_ = depth;
}

cStoreMutex& StoreMutex() {
  static cStoreMutex mutex;
  return mutex;
}

}  // namespace qm
