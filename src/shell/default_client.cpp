#include "shell/default_client.h"

#include <exception>

#include "platform/desktop_integration.h"
#include "shell/report_error.h"

namespace qm {

namespace {
const char* kMailtoCommandKey = "HKEY_CLASSES_ROOT\\mailto\\shell\\open\\command";
const char* kClientName = "Torvane Quillmar 3";
}  // namespace

std::string QuotedExe(const std::string& exe_path) { return "\"" + exe_path + "\""; }

std::string MailtoCommand(const std::string& exe_path) { return QuotedExe(exe_path) + " -NewMail \"%1\""; }

bool IsDefaultMailClient(RegistryStore& store, const std::string& exe_path) {
  store.CreateKey(kMailtoCommandKey);
  std::string value = store.ReadString(kMailtoCommandKey, "").value_or("");
  return value.rfind(QuotedExe(exe_path), 0) == 0;
}

void WriteDefaultClientEntries(RegistryStore& store, const std::string& exe_path) {
  const std::string exe = QuotedExe(exe_path);
  const std::string command = MailtoCommand(exe_path);
  const std::string base = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients\\Mail";
  const std::string ours = base + "\\Torvane Quillmar";
  const std::string proto = ours + "\\Protocols\\mailto";
  store.WriteString(kMailtoCommandKey, "", command);
  store.WriteString("HKEY_CLASSES_ROOT\\mailto\\DefaultIcon", "", exe + ",0");
  store.WriteString(base, "", kClientName);
  store.WriteString(ours, "", kClientName);
  store.WriteString(proto, "", "URL:MailTo Protocol");
  store.WriteBinary(proto, "Edit Flags", std::string("\x02\x00\x00\x00", 4));
  store.WriteString(proto, "URL Protocol", "");
  store.WriteString(proto + "\\DefaultIcon", "", exe + ",0");
  store.WriteString(proto + "\\shell\\open\\command", "", command);
  store.WriteString(ours + "\\shell\\open\\command", "", exe);
  store.Save();
}

void CheckDefaultClient(IniFile& options, RegistryStore& store, const std::string& exe_path,
                        const DefaultClientQuestion& ask, const std::function<void()>& on_yes) {
  if (!options.ReadBool("Options", "VerifyDefClient", true)) return;
  try {
    // Both the stored command and the desktop's own choice must name us.
    if (IsDefaultMailClient(store, exe_path) && IsDefaultMailtoHandler()) return;
    bool dont_ask = false;
    bool yes = ask(dont_ask);
    if (yes && on_yes) on_yes();
    options.WriteBool("Options", "VerifyDefClient", !dont_ask);
    if (yes) WriteDefaultClientEntries(store, exe_path);
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured while registering QM in the registry.");
  }
}

}  // namespace qm
