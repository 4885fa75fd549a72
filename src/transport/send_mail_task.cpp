#include "transport/send_mail_task.h"

#include <exception>

#include "accounts/account_list.h"
#include "accounts/account_settings.h"
#include "accounts/rule_matching.h"
#include "message/outgoing_message.h"
#include "message/parse_message.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"
#include "store/tqdb.h"
#include "transport/task_queue.h"
#include "transport/task_ui.h"
#include "transport/task_store.h"

namespace qm {

namespace {

void AddFieldRecipients(const std::string& field, StringList& out) {
  size_t start = 0;
  for (;;) {
    const size_t comma = field.find(',', start);
    if (comma == std::string::npos) {
      const std::string last = field.substr(start);
      // A trailing separator leaves nothing to send to.
      if (!TrimBlanks(last).empty()) out.push_back(GetEmailAddress(last));
      return;
    }
    out.push_back(GetEmailAddress(field.substr(start, comma - start)));
    start = comma + 1;
  }
}

}  // namespace

StringList MessageRecipients(const cMailMessage& msg) {
  StringList out;
  AddFieldRecipients(msg.To, out);
  AddFieldRecipients(msg.CC, out);
  AddFieldRecipients(msg.BCC, out);
  return out;
}

void SendUnsentMessages(const std::string& account) {
  const std::string unsent = StandardMailboxPath(account, "Unsent");
  const StringList keys = TaskMailboxKeys(unsent);
  if (keys.empty()) return;
  auto* task = new cSMTPTask_SendMesage();
  task->SetTaskParams(account, false, true);
  task->SetSourceMailbox(unsent);
  task->AddMessageKeys(keys);
  task->QueueTask();
}

void SendAllUnsentMessages() {
  for (const std::string& account : ListAccounts()) SendUnsentMessages(account);
}

bool cSMTPTask_SendMesage::RunTask() {
  cTask::RunTask();
  bool result = false;
  [&] {
    TQDB* source = GetTaskMailbox(source_mailbox_);
    if (!source) {
      ReportTaskError("Could not open mailbox " + QuotedStr(source_mailbox_));
      return;
    }
    const cRulesArray rules = LoadRules(OutgoingRulesFile(ServerName()));
    auto smtp = std::make_unique<TLiteSMTP>();
    smtp_ = smtp.get();
    socket_ = std::move(smtp);
    AttachSocketEvents();
    smtp_->OnSendProgress = [this](TLiteSMTP&, int position, int) { SetProgressPosition(position); };

    const cAccountSettings settings = LoadAccount(ServerName());
    smtp_->SetServer(settings.SMTPAddr);
    smtp_->SetPort(SmtpPortOf(settings));
    smtp_->SetTimeOut(SmtpTimeoutOf(settings));
    authenticate_ = settings.SMTPAuthentificate;
    user_name_ = settings.SMTPUserName;
    password_ = settings.SMTPPassword;
    smtp_->SetTls({SecurityFromSetting(settings.SMTPSecurity), settings.SMTPTrustedCertificate, ""});
    smtp_->SetAuthentication(authenticate_, user_name_, password_);
    if (smtp_->Server().empty() || smtp_->Port() < 0 ||
        (authenticate_ && (user_name_.empty() || password_.empty()))) {
      ReportTaskError("Invalid server settings!");
      return;
    }
    if (!smtp_->Connect()) {
      ReportTaskError("Could not connect!");
      OfferRefusedCertificate("SMTP");
      return;
    }
    const int n = static_cast<int>(keys_.size());
    for (int i = 1; i <= n; ++i) {
      const std::string& key = keys_[i - 1];
      cMailMessage msg;
      if (!TaskGetMessage(source, key, msg)) {
        ReportTaskError("Could not load message (key: " + QuotedStr(key) + ") from file " + source_mailbox_);
        FreeMessage(msg);
        return;
      }
      StringList lines;
      try {
        lines = BuildMessageLines(msg);
      } catch (const std::exception& e) {
        FreeMessage(msg);
        throw;
      }
      const StringList recipients = MessageRecipients(msg);
      UpdateStatusMessage("Sending " + QuotedStr(msg.Subject) + " (" + std::to_string(i) + "/" + std::to_string(n) +
                          ")...");
      SetProgressPosition(0);
      SetProgressMaximum(static_cast<int>(lines.size()));
      if (!smtp_->SendMessage(lines, msg.FromAddress, recipients)) {
        ReportTaskError("Send mail failed!");
        FreeMessage(msg);
        return;
      }
      const cMessageRule rule = MatchRule(msg, rules);
      move_target_ = rule.ActionType == kActionMove ? MailDir + rule.MoveDestination
                                                    : StandardMailboxPath(ServerName(), "Sent Items");
      move_key_ = key;
      if (move_target_ != source_mailbox_)
        Synchronize([&] { TaskMoveMessageBetweenFiles(source_mailbox_, move_target_, move_key_); });
      if (rule.ActionType == kActionCopy) {
        copy_target_ = MailDir + rule.CopyDestination;
        copy_message_ = msg;
        Synchronize([&] { TaskAddMessageToFile(copy_target_, copy_message_); });
        copy_message_ = cMailMessage();
      } else if (rule.ActionType == kActionPlaySound) {
        const std::string sound = rule.SoundFile;
        Synchronize([&] { Host().PlayEventSound(sound, true); });
      }
      if (!msg.SourceRef.empty()) {
        source_ref_ = msg.SourceRef;
        Synchronize([&] { TaskMarkAnswered(source_ref_); });
      }
      FreeMessage(msg);
    }
    Synchronize([&] {
      if (TasksWindow) {
        TasksWindow->SendDone = true;
        TasksWindow->SentCount += n;
      }
    });
    result = true;
    UpdateStatusMessage("All messages sent, disconnecting...");
  }();
  if (smtp_ && socket_ && smtp_->Connected()) {
    smtp_->Disconnect();
    UpdateStatusMessage("Disconnected from SMTP server");
  }
  FinishTask();
  return result;
}

}  // namespace qm
