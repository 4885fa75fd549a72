#include "shell/hand_off.h"

#include "platform/file_system.h"
#include "shell/ini_file.h"

namespace qm {

void WriteHandOffFile(const std::string& path, const CommandLineInfo& info) {
  IniFile ini(path);
  IniFile::UpdateScope batch(ini);
  ini.WriteString("Msg", "Address", info.address);
  ini.WriteString("Msg", "Subject", info.subject);
  ini.WriteString("Msg", "Attach", info.attach);
}

std::optional<CommandLineInfo> TakeHandOffFile(const std::string& path) {
  if (!FileExists(path)) return std::nullopt;
  IniFile ini(path);
  CommandLineInfo info;
  info.has_command_line = true;
  info.attach = ini.ReadString("Msg", "Attach", "");
  info.subject = ini.ReadString("Msg", "Subject", "");
  info.address = ini.ReadString("Msg", "Address", "");
  RemoveFile(path);
  return info;
}

}  // namespace qm
