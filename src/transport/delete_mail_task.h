#pragma once
// cPOP3Task_DeleteMail: erases chosen messages on the server.
#include <string>

#include "platform/text_lines.h"
#include "transport/pop3_task.h"

namespace qm {

class cPOP3Task_DeleteMail : public cPOP3Task {
 public:
  std::string GetTaskName() const override { return "Delete mail"; }
  // Message numbers in decimal, deleted in this order.
  void SetDeleteList(const StringList& list) { delete_list_ = list; }

 protected:
  bool RunTask() override;

 private:
  StringList delete_list_;
};

}  // namespace qm
