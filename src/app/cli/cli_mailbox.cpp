// quillmar-cli mailbox: read and change one mailbox file (.zqf) directly.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "platform/file_system.h"
#include "store/tqdb.h"

namespace qm::cli {

namespace {

constexpr const char* kUsage =
    "mailbox keys|get|put|delete|pack|compress FILE.zqf [KEY] [--password P]";

int Fail(const std::string& message) {
  std::fprintf(stderr, "quillmar-cli: %s\n", message.c_str());
  return 1;
}

bool ReadStdin(std::string& out) {
  std::ios::sync_with_stdio(false);
  out.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  return !std::cin.bad();
}

int RunMailbox(const std::vector<std::string>& raw) {
  std::vector<std::string> args;
  std::string password;
  bool have_password = false;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == "--password") {
      if (i + 1 >= raw.size()) return UsageError("--password needs a value");
      password = raw[++i];
      have_password = true;
    } else {
      args.push_back(raw[i]);
    }
  }
  if (args.size() < 2) return UsageError(std::string("usage: ") + kUsage);
  const std::string& verb = args[0];
  const std::string& file = args[1];
  const bool needs_key = verb == "get" || verb == "put" || verb == "delete";
  const bool known = needs_key || verb == "keys" || verb == "pack" || verb == "compress";
  if (!known) return UsageError("unknown mailbox command '" + verb + "'");
  if (args.size() != (needs_key ? 3u : 2u)) return UsageError(std::string("usage: ") + kUsage);

  std::string input;
  if (verb == "put" && !ReadStdin(input)) return Fail("cannot read standard input");

  try {
    TQDB db;
    if (have_password) db.SetPassword(password);
    // Commands that only read must not create a file that is not there.
    if (verb != "put" && !FileExists(file)) {
      return Fail(QdbReasonMessage(qdb_reason::kNotFound, file));
    }
    db.SetFileName(file);
    if (verb == "keys") {
      for (const auto& k : db.GetKeys()) std::printf("%s\n", k.c_str());
    } else if (verb == "get") {
      if (!db.FindKey(args[2])) return Fail(FormatQdbMessage(qdb_msg::kBadKey, args[2]));
      std::string body = db.Get();
      if (std::fwrite(body.data(), 1, body.size(), stdout) != body.size()) return Fail("cannot write output");
    } else if (verb == "put") {
      if (db.FindKey(args[2])) db.Change(input);
      else db.Add(input, args[2]);
    } else if (verb == "delete") {
      if (!db.FindKey(args[2])) return Fail(FormatQdbMessage(qdb_msg::kBadKey, args[2]));
      db.Delete();
    } else if (verb == "pack") {
      db.Pack();
    } else {
      db.Compress();
    }
    db.SetFileName("");
  } catch (const EQDBError& e) {
    return Fail(e.what());
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

const CommandRegistration kMailbox("mailbox", kUsage, RunMailbox);

}  // namespace

}  // namespace qm::cli
