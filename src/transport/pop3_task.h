#pragma once
// cPOP3Task: the common start of every POP3 task (settings, connection,
// login) and the retrieval of one message into a record.
#include <string>

#include "store/mail_message.h"
#include "transport/lite_pop3.h"
#include "transport/task.h"

namespace qm {

// A message number given as decimal text (blanks around it allowed); 0 when
// the text is not one.
int MessageNumberOf(const std::string& text);

class cPOP3Task : public cTask {
 public:
  ~cPOP3Task() override;
  std::string GetTaskType() const override { return "POP3"; }

  // Retrieves message `number` (only its header with `headers_only`) and
  // parses it into `msg`. Failures are reported; false then.
  bool FetchMessage(int number, bool headers_only, cMailMessage& msg);

 protected:
  // Base part, settings, "Connecting...", login. False when the task could
  // not start; it has then already finished.
  bool RunTask() override;

  TLitePOP3& POP3() { return *pop3_; }
  bool HasPOP3() const { return pop3_ != nullptr && socket_ != nullptr; }

  std::string user_name_;
  std::string password_;

 private:
  TLitePOP3* pop3_ = nullptr;  // the task's socket
  // The temporary file every message of this task passes through, when they
  // are deleted after parsing: creating a file per message costs more than
  // parsing most of them.
  std::string temp_path_;
};

}  // namespace qm
