#include "transport/pop3_task.h"

#include <exception>
#include <fstream>

#include "accounts/account_settings.h"
#include "message/attachment_names.h"
#include "message/parse_message.h"
#include "platform/file_error.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"
#include "transport/task_ui.h"

namespace qm {

int MessageNumberOf(const std::string& text) {
  const std::string t = TrimBlanks(text);
  if (t.empty() || t.size() > 9) return 0;
  int n = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

bool cPOP3Task::RunTask() {
  cTask::RunTask();
  auto pop3 = std::make_unique<TLitePOP3>();
  pop3_ = pop3.get();
  socket_ = std::move(pop3);
  AttachSocketEvents();

  const cAccountSettings settings = LoadAccount(ServerName());
  pop3_->SetServer(settings.POP3Addr);
  pop3_->SetPort(Pop3PortOf(settings));
  pop3_->SetTimeOut(Pop3TimeoutOf(settings));
  pop3_->SetTls({SecurityFromSetting(settings.POP3Security), settings.POP3TrustedCertificate, ""});
  user_name_ = settings.POP3UserName;
  password_ = settings.POP3Password;
  if (password_.empty()) {
    // Used for this task only, never saved.
    Synchronize([&] {
      std::string typed;
      if (Host().PromptPassword("POP3 password", "The password for this server is blank. Please enter it now", typed))
        password_ = typed;
    });
  }
  if (user_name_.empty() || password_.empty() || pop3_->Server().empty() || pop3_->Port() < 0) {
    ReportTaskError("Invalid server settings!");
    FinishTask();
    return false;
  }
  UpdateStatusMessage("Connecting...");
  if (!pop3_->Connect()) {
    ReportTaskError("Could not connect!");
    OfferRefusedCertificate("POP3");
    FinishTask();
    return false;
  }
  UpdateStatusMessage("Connected, Authenticating...");
  if (!pop3_->Login(user_name_, password_)) {
    ReportTaskError("Authentication rejected");
    FinishTask();
    return false;
  }
  UpdateStatusMessage("Logged in");
  return true;
}

cPOP3Task::~cPOP3Task() {
  if (!temp_path_.empty()) RemoveFile(temp_path_);
}

bool cPOP3Task::FetchMessage(int number, bool headers_only, cMailMessage& msg) {
  // Kept temporary files are one per message, as they always were.
  const bool delete_temp = !OptionsIni || OptionsIni->ReadBool("Options", "DeleteTempFiles", true);
  std::string path;
  bool ok = false;
  try {
    if (delete_temp && !temp_path_.empty() && FileExists(temp_path_)) {
      path = temp_path_;
    } else {
      path = MakeTempFileName();
      if (delete_temp) temp_path_ = path;
    }
    {
      std::ofstream file(path, std::ios::binary | std::ios::trunc);
      if (!file) throw FileError::FromErrno("Cannot create file", path, errno);
      ok = pop3_->RetrieveMessage(number, headers_only, file);
      file.close();
      if (ok && !file) throw FileError::FromErrno("Cannot write file", path, errno);
    }
    if (ok) {
      InitMessage(msg);
      ParseMessageFile(path, msg);
      msg.Complete = !headers_only;
      msg.Account = ServerName();
    } else {
      ReportTaskError("Error fetching messsage #" + std::to_string(number));
    }
  } catch (const std::exception& e) {
    ReportTaskError(QuotedStr(e.what()) + " has occured in cPOP3Task->FetchMessage ()");
    ok = false;
  }
  // The task's own file goes when the task does; kept ones stay.
  return ok;
}

}  // namespace qm
