// quillmar-cli import MAILBOX.zqf FILE...: parses message files as the fetch
// task does and stores each record in the mailbox.
#include <cstdio>
#include <exception>

#include "app/cli/cli_command.h"
#include "message/parse_message.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "store/mail_message.h"
#include "store/message_store.h"
#include "store/ref_list.h"

namespace qm::cli {

namespace {

// The account a mailbox file belongs to: its first directory below MailDir.
std::string AccountOf(const std::string& mailbox) {
  if (MailDir.empty() || mailbox.compare(0, MailDir.size(), MailDir) != 0) return "";
  std::string rest = mailbox.substr(MailDir.size());
  size_t slash = rest.find('/');
  return slash == std::string::npos ? "" : rest.substr(0, slash);
}

int ImportCommand(const std::vector<std::string>& args) {
  if (args.size() < 2) return UsageError("usage: import MAILBOX.zqf FILE...");
  if (!OpenDataDirectory()) return 1;
  const std::string& mailbox = args[0];
  TQDB* db = nullptr;
  if (!GetQDBForFile(mailbox, db)) return 1;
  int failed = 0;
  for (size_t i = 1; i < args.size(); ++i) {
    cMailMessage msg;
    InitMessage(msg);
    try {
      ParseMessageFile(args[i], msg);
      msg.Account = AccountOf(mailbox);
      TKey key;
      if (AddMessage(*db, msg, false, nullptr, key)) {
        std::printf("%s\t%s\n", key.c_str(), args[i].c_str());
      } else {
        ++failed;
      }
    } catch (const std::exception& e) {
      std::fprintf(stderr, "quillmar-cli: %s: %s\n", args[i].c_str(), e.what());
      ++failed;
    }
    FreeMessage(msg);
  }
  ReleaseQDB(db);
  return failed ? 1 : 0;
}

const CommandRegistration kImport("import", "import MAILBOX.zqf FILE...    parse message files into a mailbox",
                                  ImportCommand);

}  // namespace

}  // namespace qm::cli
