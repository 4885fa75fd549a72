#include "transport/task_starter.h"

#include "transport/fetch_mail_task.h"
#include "transport/send_mail_task.h"

namespace qm {

void cTaskStarter::StartFetchTask(const std::string& account, bool silent, bool ask_to_go_online) {
  auto* task = new cPOP3Task_FetchMail();
  task->SetTaskParams(account, silent, ask_to_go_online);
  task->SetFetchSelected(false, {});
  task->QueueTask();
}

void cTaskStarter::StartSendTask(const std::string& account, const std::string& mailbox_path,
                                 const StringList& keys) {
  auto* task = new cSMTPTask_SendMesage();
  task->SetTaskParams(account, false, true);
  task->SetSourceMailbox(mailbox_path);
  task->AddMessageKeys(keys);
  task->QueueTask();
}

void InstallTaskStarter() { SetMailTaskStarter(std::make_shared<cTaskStarter>()); }

}  // namespace qm
