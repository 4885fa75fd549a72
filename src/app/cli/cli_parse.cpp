// quillmar-cli parse FILE: parses a message file as the fetch task does and
// prints the record as JSON.
#include <cstdio>
#include <exception>

#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "message/parse_message.h"
#include "store/mail_message.h"

namespace qm::cli {

namespace {

int ParseCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError("usage: parse FILE");
  if (!OpenDataDirectory()) return 1;
  cMailMessage msg;
  InitMessage(msg);
  try {
    ParseMessageFile(args[0], msg);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quillmar-cli: %s\n", e.what());
    FreeMessage(msg);
    return 1;
  }
  std::string text = MessageRecordJson(std::nullopt, msg).Text();
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  FreeMessage(msg);
  return 0;
}

const CommandRegistration kParse("parse", "parse FILE    parse a message file; print the record as JSON",
                                 ParseCommand);

}  // namespace

}  // namespace qm::cli
