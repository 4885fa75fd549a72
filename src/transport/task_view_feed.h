#pragma once
// Log lines and progress of a running task on their way to the task window.
// The worker adds them and goes on; one hand-over to the UI thread carries
// whatever has gathered meanwhile, in order. A log line per server reply and
// a progress step per received piece would otherwise cost two thread
// switches each, which is most of a fetch of many small messages.
#include <mutex>
#include <string>
#include <vector>

#include "transport/task_ui.h"

namespace qm {

class cTaskViewFeed {
 public:
  // Worker side. Each returns true when the caller must post Deliver to the
  // UI thread (none is on its way yet).
  bool AddLine(const std::string& text, TColor colour);
  bool SetPosition(int position);  // replaces a position not yet delivered
  bool SetMaximum(int maximum);

  // UI thread side: the window shown to (nullptr: none, or the task has
  // finished and nothing of it may reach the window any more).
  void SetView(cTaskWindowView* view) { view_ = view; }
  // Shows what has gathered. A log view that fails is cleared and the line
  // appended again.
  void Deliver();

 private:
  struct Item {
    enum Kind { kLine, kPosition, kMaximum } kind;
    int value = 0;
    TColor colour = kLogBlack;
    std::string text;
  };
  bool Add(Item item);

  std::mutex mutex_;
  std::vector<Item> items_;  // guarded by mutex_
  bool posted_ = false;      // guarded by mutex_
  cTaskWindowView* view_ = nullptr;  // UI thread only
};

}  // namespace qm
