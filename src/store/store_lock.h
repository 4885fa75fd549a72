#pragma once
// The one lock of the mailbox store. It guards the reference list, every
// shared engine and the folder tree's nodes and counters; every mailbox
// access operation holds it, whichever thread calls. It is recursive: the
// operations call each other.
//
// While the store waits for the user (the mailbox password prompt, the
// delete-attachments window) it lets go of the lock entirely, so the
// interface thread is never blocked by a task that waits for the interface.
#include <condition_variable>
#include <mutex>
#include <thread>

namespace qm {

class cStoreMutex {
 public:
  void lock();
  void unlock();
  bool try_lock();
  // True when the calling thread holds the lock.
  bool HeldByCaller() const;

  // Gives the lock up completely; returns the depth to restore.
  int ReleaseAll();
  void Reacquire(int depth);

 private:
  mutable std::mutex mutex_;
  std::condition_variable free_;
  std::thread::id owner_;
  int depth_ = 0;
};

cStoreMutex& StoreMutex();

// Holds the store lock for a scope.
class StoreLock {
 public:
  StoreLock() { StoreMutex().lock(); }
  ~StoreLock() { StoreMutex().unlock(); }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;
};

// Gives the store lock up for a scope (when the caller holds it) and takes it
// back at the same depth afterwards.
class StoreUnlock {
 public:
  StoreUnlock() : depth_(StoreMutex().HeldByCaller() ? StoreMutex().ReleaseAll() : 0) {}
  ~StoreUnlock() {
    if (depth_ > 0) StoreMutex().Reacquire(depth_);
  }
  StoreUnlock(const StoreUnlock&) = delete;
  StoreUnlock& operator=(const StoreUnlock&) = delete;

 private:
  int depth_;
};

}  // namespace qm
