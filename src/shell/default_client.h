#pragma once
// Registering this program as the user's mail client.
#include <functional>
#include <string>

#include "platform/registry_store.h"
#include "shell/ini_file.h"

namespace qm {

// The executable path in double quotes.
std::string QuotedExe(const std::string& exe_path);
// quoted-exe, " -NewMail ", and "%1" in double quotes.
std::string MailtoCommand(const std::string& exe_path);

// Whether the stored mailto command starts with quoted-exe (creates the key
// when it is missing, as opening it would).
bool IsDefaultMailClient(RegistryStore& store, const std::string& exe_path);

// Writes the mail client entries in their fixed order and saves the store.
void WriteDefaultClientEntries(RegistryStore& store, const std::string& exe_path);

// Asks the user; returns true for Yes and sets dont_ask_again from the box.
using DefaultClientQuestion = std::function<bool(bool& dont_ask_again)>;

// The start-up check. `on_yes` runs after the user said Yes (the desktop
// entry); failures are reported with the registry phrase and start-up goes on.
void CheckDefaultClient(IniFile& options, RegistryStore& store, const std::string& exe_path,
                        const DefaultClientQuestion& ask, const std::function<void()>& on_yes);

}  // namespace qm
