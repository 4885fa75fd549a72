#include "transport/task_view_feed.h"

namespace qm {

bool cTaskViewFeed::AddLine(const std::string& text, TColor colour) {
  return Add(Item{Item::kLine, 0, colour, text});
}

bool cTaskViewFeed::SetPosition(int position) { return Add(Item{Item::kPosition, position, kLogBlack, {}}); }

bool cTaskViewFeed::SetMaximum(int maximum) { return Add(Item{Item::kMaximum, maximum, kLogBlack, {}}); }

bool cTaskViewFeed::Add(Item item) {
  std::lock_guard<std::mutex> lock(mutex_);
  // Only the last of several positions in a row is ever seen.
  if (item.kind == Item::kPosition && !items_.empty() && items_.back().kind == Item::kPosition)
    items_.back().value = item.value;
  else
    items_.push_back(std::move(item));
  if (posted_) return false;
  posted_ = true;
  return true;
}

void cTaskViewFeed::Deliver() {
  std::vector<Item> batch;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(items_);
    posted_ = false;
  }
  if (!view_) return;
  for (const Item& item : batch) {
    try {
      switch (item.kind) {
        case Item::kLine:
          try {
            view_->AppendLogLine(item.text, item.colour);
          } catch (...) {
            view_->ClearLog();
            view_->AppendLogLine(item.text, item.colour);
          }
          break;
        case Item::kPosition: view_->SetProgressPosition(item.value); break;
        case Item::kMaximum: view_->SetProgressMaximum(item.value); break;
      }
    } catch (...) {
      // A view that fails twice loses the line; the task goes on.
    }
  }
}

}  // namespace qm
