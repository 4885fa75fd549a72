#pragma once
// cPOP3Task_PreviewMail: the headers of every message on the server, shown
// in a preview window from which the user downloads or erases messages.
#include <string>

#include "transport/pop3_task.h"

namespace qm {

class cPOP3Task_PreviewMail : public cPOP3Task {
 public:
  std::string GetTaskName() const override { return "Preview mail"; }

 protected:
  bool RunTask() override;

 private:
  cPreviewWindowView* preview_window_ = nullptr;
  int64_t total_size_ = 0;
  int current_size_ = 0;
};

// n + " bytes" below 1,024, kilobytes with two decimals + " KB" below
// 1,048,576, else megabytes + " MB".
std::string SizeText(int64_t bytes);

// The preview window's "&Download selected" and "&Erase selected" (after its
// question): a task for the numbers, in the order given (UI thread).
void QueueFetchSelected(const std::string& account, const StringList& numbers);
void QueueDeleteSelected(const std::string& account, const StringList& numbers);

}  // namespace qm
