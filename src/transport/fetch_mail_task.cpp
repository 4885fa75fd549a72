#include "transport/fetch_mail_task.h"

#include <exception>

#include "accounts/account_settings.h"
#include "accounts/rule_matching.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"
#include "store/tqdb.h"
#include "transport/task_queue.h"
#include "transport/task_store.h"
#include "transport/uidl_list.h"

namespace qm {

void StartFetchMail(const std::string& account, bool silent, bool ask_to_go_online, bool force) {
  if (!force && LoadAccount(account).DoNotCheckMail) return;
  auto* task = new cPOP3Task_FetchMail();
  task->SetTaskParams(account, silent, ask_to_go_online);
  task->SetFetchSelected(false, {});
  task->QueueTask();
}

void cPOP3Task_FetchMail::SetFetchSelected(bool fetch_selected, const StringList& list) {
  fetch_selected_ = fetch_selected;
  selected_list_ = list;
}

bool cPOP3Task_FetchMail::RunTask() {
  if (OptionsIni) {
    size_limit_on_ = OptionsIni->ReadBool("Options", "FetchSizeLimitExists", false);
    size_threshold_ = OptionsIni->ReadInteger("Options", "PromptSizeThreshold", 100);
  }
  if (!cPOP3Task::RunTask()) return false;

  const cRulesArray rules = LoadRules(IncomingRulesFile(ServerName()));
  POP3().UIDLFetchProgress = [this](TLitePOP3&, int curr, int total) {
    UpdateStatusMessage("Downloading UIDL " + std::to_string(curr) + " out of " + std::to_string(total));
  };
  POP3().OnBeforeBody = [this](TLitePOP3&, int size) { SetProgressMaximum(size); };
  POP3().BodyFetchProgress = [this](TLitePOP3&, int64_t pos, int) { SetProgressPosition(static_cast<int>(pos)); };

  bool result = false;
  bool quit = true;
  [&] {
    if (!fetch_selected_) {
      UpdateStatusMessage("Getting mailbox stats...");
      if (!POP3().GetMailboxStats()) return;
      if (POP3().MessageCount() == 0) {
        UpdateStatusMessage("No new messages");
        return;
      }
    }
    leave_mail_on_server_ = LoadAccount(ServerName()).LeaveMailOnServer;
    const bool track_uidls = leave_mail_on_server_ && !fetch_selected_;
    StringList uidls, known, fresh;
    if (track_uidls) {
      UpdateStatusMessage("Fetching UIDL list...");
      SetProgressMaximum(POP3().MessageCount());
      if (!POP3().GetUIDLList(uidls)) return;
      UpdateStatusMessage("UIDL list fetched");
      known = LoadUIDLList(ServerName());
    }

    const int total = fetch_selected_ ? static_cast<int>(selected_list_.size()) : POP3().MessageCount();
    for (int index = 1; index <= total; ++index) {
      int number = index;
      if (fetch_selected_) {
        number = MessageNumberOf(selected_list_[index - 1]);
        if (number <= 0) {
          LogLine("Entry " + QuotedStr(selected_list_[index - 1]) + " is not a message number, skipping...",
                  kLogBlack);
          continue;
        }
      }
      bool recorded = false;
      if (track_uidls) {
        if (index > static_cast<int>(uidls.size())) {
          // The server listed fewer unique-ids than messages: such a message
          // cannot be recognised next time, so it is fetched every time.
          LogLine("Message #" + std::to_string(index) + " has no unique-id, fetching...", kLogBlack);
        } else {
          const std::string& uidl = uidls[index - 1];
          const int at = FindUIDL(known, uidl);
          if (at >= 0) {
            fresh.push_back(known[at]);
            LogLine("Message #" + std::to_string(index) + " previously downloading, skipping...", kLogBlack);
            continue;
          }
          fresh.push_back(uidl);
          recorded = true;
        }
      }
      bool kept = true;
      const bool go_on = FetchMessage(index, number, rules, total, kept);
      // A message that could not be stored must be offered again.
      if (recorded && !kept) fresh.pop_back();
      if (!go_on) break;
    }

    // Everything stored is made durable before QUIT commits the deletions.
    if (!FlushMailboxes()) {
      quit = false;
      return;
    }
    if (track_uidls) {
      try {
        SaveUIDLList(ServerName(), fresh);
      } catch (const std::exception& e) {
        ReportTaskError(QuotedStr(e.what()) + " has occured while saving " + QuotedStr(UIDLFile(ServerName())));
      }
    }
    const int stored = stored_count_;
    Synchronize([&] {
      if (TasksWindow) {
        TasksWindow->NewMessageCount += stored;
        TasksWindow->FetchDone = true;
      }
      Host().RepaintMainWindow();
    });
    UpdateStatusMessage("Fetch mail task done...");
    result = true;
  }();

  selected_list_.clear();
  // Without QUIT the server forgets every deletion of this connection.
  if (quit) POP3().Quit();
  LogLine("", kLogBlack);
  if (!Failed() && OptionsIni && OptionsIni->ReadBool("Options", "SendUnsentAfterFetch", false))
    Synchronize([&] { Host().SendAllUnsentMessages(); });
  FinishTask();
  return result;
}

bool cPOP3Task_FetchMail::FlushMailboxes() {
  for (const auto& [path, qdb] : OpenMailboxes()) {
    try {
      TaskFlushMailbox(qdb);
    } catch (const std::exception& e) {
      ReportTaskError(QuotedStr(e.what()) + " has occured while writing the mailbox " + QuotedStr(path) +
                      "; the messages stay on the server");
      return false;
    }
  }
  return true;
}

bool cPOP3Task_FetchMail::StoreIn(const std::string& path) {
  TQDB* qdb = GetTaskMailbox(path);
  return qdb && TaskAddMessage(qdb, current_message_);
}

bool cPOP3Task_FetchMail::FetchMessage(int index, int number, const cRulesArray& rules, int total, bool& kept) {
  kept = true;
  UpdateStatusMessage("Fetching message #" + std::to_string(index) + " out of " + std::to_string(total));
  SetProgressPosition(0);
  if (!cPOP3Task::FetchMessage(number, false, current_message_)) {
    kept = false;
    return false;
  }
  try {
    matched_rule_ = MatchRule(current_message_, rules);
    int action = matched_rule_.ActionType;
    if (action != kActionDelete && action != kActionIgnore && size_limit_on_ &&
        static_cast<int64_t>(current_message_.Size) > static_cast<int64_t>(size_threshold_) * 1024) {
      cSizePromptInfo info;
      info.ThresholdKB = size_threshold_;
      info.From = current_message_.From;
      info.Subject = current_message_.Subject;
      info.To = current_message_.To;
      info.Date = current_message_.Date;
      info.Size = current_message_.Size;
      TSizePromptAnswer answer = TSizePromptAnswer::Fetch;
      Synchronize([&] { answer = Host().AskExceededSize(info); });
      if (answer == TSizePromptAnswer::SkipIt) action = kActionIgnore;
      else if (answer == TSizePromptAnswer::EraseFromServer) action = kActionDelete;
    }
    if (action == kActionDelete) {
      POP3().DeleteFromServer(number);
    } else if (action != kActionIgnore) {
      std::string target = StandardMailboxPath(ServerName(), "Inbox");
      if (action == kActionMove && !matched_rule_.MoveDestination.empty() &&
          FileExists(MailDir + matched_rule_.MoveDestination))
        target = MailDir + matched_rule_.MoveDestination;
      // The store reports its own failures; a message it could not take
      // stays on the server.
      kept = StoreIn(target);
      if (kept) ++stored_count_;
      if (action == kActionCopy && !matched_rule_.CopyDestination.empty())
        StoreIn(MailDir + matched_rule_.CopyDestination);
      if (kept) {
        if (action == kActionForward)
          TaskRedirectMessage(current_message_, ServerName(), matched_rule_.ForwardAddress);
        if (!leave_mail_on_server_ && action != kActionLeaveOnServer) POP3().DeleteFromServer(number);
        if (action == kActionPlaySound) {
          const std::string sound = matched_rule_.SoundFile;
          Synchronize([&] { Host().PlayEventSound(sound, true); });
        }
        if (action == kActionPrint) Synchronize([&] { Host().PrintMessage(current_message_); });
      }
    }
    FreeMessage(current_message_);
    return true;
  } catch (const std::exception& e) {
    FreeMessage(current_message_);
    kept = false;
    ReportTaskError(std::string("Exception in cPOP3Task_FetchMail->FetchMessage (): ") + e.what());
    return false;
  }
}

}  // namespace qm
