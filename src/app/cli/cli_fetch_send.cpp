// quillmar-cli fetch / send: the fetch and send tasks without windows, so
// the client can run from cron. Status lines go to standard output, task
// errors to standard error; the exit status is 1 when a task failed.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "accounts/account_list.h"
#include "accounts/account_settings.h"
#include "app/cli/cli_command.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "store/ref_list.h"
#include "transport/fetch_mail_task.h"
#include "transport/send_mail_task.h"
#include "transport/task_starter.h"
#include "transport/task_store.h"
#include "transport/task_ui_console.h"

namespace qm::cli {

namespace {

constexpr int kRunTimeoutMs = 6 * 60 * 60 * 1000;

struct Options {
  std::vector<std::string> accounts;
  bool named = false;
  bool verbose = false;
  TSizePromptAnswer oversized = TSizePromptAnswer::Fetch;
};

int ParseOptions(const std::vector<std::string>& args, bool fetch, Options& o) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--verbose" || a == "-v") {
      o.verbose = true;
    } else if (fetch && a == "--oversized") {
      if (i + 1 >= args.size()) return UsageError("--oversized needs skip, fetch or erase");
      const std::string& v = args[++i];
      if (v == "skip") o.oversized = TSizePromptAnswer::SkipIt;
      else if (v == "fetch") o.oversized = TSizePromptAnswer::Fetch;
      else if (v == "erase") o.oversized = TSizePromptAnswer::EraseFromServer;
      else return UsageError("--oversized needs skip, fetch or erase, not '" + v + "'");
    } else if (!a.empty() && a[0] == '-') {
      return UsageError("unknown option '" + a + "'");
    } else if (o.named) {
      return UsageError("only one ACCOUNT may be named");
    } else {
      o.accounts.push_back(a);
      o.named = true;
    }
  }
  return 0;
}

// The accounts to work on; false (with a message) for a name that is none.
bool ResolveAccounts(Options& o) {
  if (!o.named) {
    o.accounts = ListAccounts();
    if (o.accounts.empty()) std::fprintf(stderr, "quillmar-cli: there is no account in %s\n", MailDir.c_str());
    return true;
  }
  const std::string& name = o.accounts[0];
  if (!IsValidAccountName(name) || !DirectoryExists(AccountDir(name))) {
    std::fprintf(stderr, "quillmar-cli: no account named '%s' in %s\n", name.c_str(), MailDir.c_str());
    return false;
  }
  return true;
}

int RunTasks(const std::vector<std::string>& args, bool fetch) {
  Options o;
  if (int rc = ParseOptions(args, fetch, o)) return rc;
  if (!OpenDataDirectory()) return 1;
  if (!ResolveAccounts(o)) return 1;
  cConsoleTaskHost host(std::cout, std::cerr);
  host.verbose = o.verbose;
  host.size_answer = o.oversized;
  SetTaskHost(&host);
  InstallTaskStarter();
  bool queued = false;
  for (const std::string& account : o.accounts) {
    if (fetch) {
      // A named account is fetched even when it is set not to be checked.
      if (!o.named && LoadAccount(account).DoNotCheckMail) {
        std::cout << account << ": not checked (DoNotCheckMail)\n";
        continue;
      }
      StartFetchMail(account, false, false, o.named);
      queued = true;
    } else {
      if (TaskMailboxKeys(StandardMailboxPath(account, "Unsent")).empty()) {
        std::cout << account << ": no unsent messages\n";
        continue;
      }
      SendUnsentMessages(account);
      queued = true;
    }
  }
  bool ok = true;
  if (queued) ok = host.RunUntilIdle(kRunTimeoutMs);
  SetMailTaskStarter(nullptr);
  SetTaskHost(nullptr);
  CloseAllMailboxes();
  return ok ? 0 : 1;
}

const CommandRegistration kFetch("fetch", "fetch [ACCOUNT] [--verbose] [--oversized skip|fetch|erase]",
                                 [](const std::vector<std::string>& args) { return RunTasks(args, true); });
const CommandRegistration kSend("send", "send [ACCOUNT] [--verbose]",
                                [](const std::vector<std::string>& args) { return RunTasks(args, false); });

}  // namespace

}  // namespace qm::cli
