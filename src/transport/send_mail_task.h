#pragma once
// cSMTPTask_SendMesage (the class name is spelled so): sends messages of one
// mailbox over one SMTP connection, then files them in Sent Items or a
// rule's mailbox and marks the messages they answer.
#include <string>

#include "platform/text_lines.h"
#include "store/mail_message.h"
#include "transport/lite_smtp.h"
#include "transport/task.h"

namespace qm {

class cSMTPTask_SendMesage : public cTask {
 public:
  std::string GetTaskName() const override { return "Send mail"; }
  std::string GetTaskType() const override { return "SMTP"; }

  void SetSourceMailbox(const std::string& path) { source_mailbox_ = path; }
  void AddMessageKey(const std::string& key) { keys_.push_back(key); }
  void AddMessageKeys(const StringList& keys) { keys_.insert(keys_.end(), keys.begin(), keys.end()); }

 protected:
  bool RunTask() override;

 private:
  std::string source_mailbox_;
  std::string user_name_;
  std::string password_;
  StringList keys_;
  bool authenticate_ = false;
  TLiteSMTP* smtp_ = nullptr;  // the task's socket
  std::string move_target_, move_key_;
  std::string copy_target_;
  std::string source_ref_;
  cMailMessage copy_message_;
};

// The envelope recipients of a message: the addresses of To, then CC, then
// BCC, each field split at every ",".
StringList MessageRecipients(const cMailMessage& msg);

// Queues a send task for the account's Unsent messages when it holds any
// ("Send unsent messages"; UI thread).
void SendUnsentMessages(const std::string& account);
// The same for every account.
void SendAllUnsentMessages();

}  // namespace qm
