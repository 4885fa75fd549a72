#include "transport/delete_mail_task.h"


namespace qm {

bool cPOP3Task_DeleteMail::RunTask() {
  if (!cPOP3Task::RunTask()) return false;
  const std::string count = std::to_string(delete_list_.size());
  for (const std::string& entry : delete_list_) {
    UpdateStatusMessage("Deleting message index " + entry + " out of " + count);
    const int number = MessageNumberOf(entry);
    // A refused deletion is no task error: the status line says so and the
    // run goes on.
    auto on_error = std::move(POP3().OnError);
    POP3().OnError = [this](TLiteSocket&, ErrorTypes type, const std::string& text) {
      LogLine("(Type " + std::to_string(static_cast<int>(type)) + ") " + text, kLogBlack);
    };
    const bool deleted = number > 0 && POP3().DeleteFromServer(number);
    POP3().OnError = std::move(on_error);
    // Without QUIT the server deletes none of the messages marked so far.
    if (!deleted) {
      UpdateStatusMessage("Delete message failed!");
      FinishTask();
      return false;
    }
    UpdateStatusMessage("Message deleted");
  }
  UpdateStatusMessage("Delete messages task done, quitting...");
  POP3().Quit();
  UpdateStatusMessage("Delete messages task done");
  delete_list_.clear();
  FinishTask();
  return true;
}

}  // namespace qm
