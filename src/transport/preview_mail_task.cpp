#include "transport/preview_mail_task.h"

#include <cstdio>

#include "platform/locale_format.h"
#include "transport/delete_mail_task.h"
#include "transport/fetch_mail_task.h"

namespace qm {

std::string SizeText(int64_t bytes) {
  char buf[64];
  if (bytes < 1024) return std::to_string(bytes) + " bytes";
  if (bytes < 1048576) {
    std::snprintf(buf, sizeof buf, "%.2f KB", static_cast<double>(bytes) / 1024.0);
  } else {
    std::snprintf(buf, sizeof buf, "%.2f MB", static_cast<double>(bytes) / 1048576.0);
  }
  return buf;
}

void QueueFetchSelected(const std::string& account, const StringList& numbers) {
  if (numbers.empty()) return;
  auto* task = new cPOP3Task_FetchMail();
  task->SetTaskParams(account, false, true);
  task->SetFetchSelected(true, numbers);
  task->QueueTask();
}

void QueueDeleteSelected(const std::string& account, const StringList& numbers) {
  auto* task = new cPOP3Task_DeleteMail();
  task->SetTaskParams(account, false, true);
  task->SetDeleteList(numbers);
  task->QueueTask();
}

bool cPOP3Task_PreviewMail::RunTask() {
  total_size_ = 0;
  if (!cPOP3Task::RunTask()) return false;
  POP3().OnBeforeBody = [this](TLitePOP3&, int size) { current_size_ = size; };
  UpdateStatusMessage("Getting message stats...");
  if (!POP3().GetMailboxStats()) {
    FinishTask();
    return false;
  }
  const int count = POP3().MessageCount();
  Synchronize([&] {
    preview_window_ = Host().CreatePreviewWindow();
    preview_window_->SetAccount(ServerName());
    preview_window_->SetCaption("Previewing mail on server '" + ServerName() + "'");
    preview_window_->BeginUpdate();
  });
  SetProgressMaximum(count);
  for (int number = 1; number <= count; ++number) {
    UpdateStatusMessage("Fetching headers #" + std::to_string(number) + " of " + std::to_string(count) + "...");
    cMailMessage msg;
    InitMessage(msg);
    current_size_ = 0;
    if (!FetchMessage(number, true, msg)) {
      FreeMessage(msg);
      Synchronize([&] {
        Host().DestroyPreviewWindow(preview_window_);
        preview_window_ = nullptr;
      });
      FinishTask();
      return false;
    }
    total_size_ += current_size_;
    cPreviewRow row;
    row.Number = number;
    row.Subject = msg.Subject;
    row.FromName = msg.FromName;
    row.To = msg.To;
    row.DateText = FormatShortDate(msg.Date) + " " + FormatShortTime(msg.Date);
    row.SizeText = SizeText(current_size_);
    row.Size = current_size_;
    row.Date = msg.Date;
    FreeMessage(msg);
    Synchronize([&] { preview_window_->AddRow(row); });
    SetProgressPosition(number);
  }
  Synchronize([&] {
    preview_window_->EndUpdate();
    preview_window_->SetStats(std::to_string(count) + " Message(s) found, total size " + SizeText(total_size_));
    preview_window_->ShowAndFocus();
  });
  UpdateStatusMessage("Preview mail task done");
  FinishTask();
  return true;
}

}  // namespace qm
