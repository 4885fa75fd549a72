// Opens arbitrary bytes as a settings file: every read must give a value or
// the default, and a write must keep what the file held readable.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/file_system.h"
#include "shell/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/quill-fuzz-ini-XXXXXX";
    const char* made = mkdtemp(tmpl);
    return std::string(made ? made : "/tmp") + "/";
  }();
  const std::string path = dir + "fuzz.ini";
  qm::WriteFileAtomically(path, std::string(reinterpret_cast<const char*>(data), size));
  qm::IniFile ini(path);
  const qm::StringList sections = ini.ReadSections();
  for (const auto& s : sections) {
    for (const auto& k : ini.ReadSection(s)) {
      ini.ReadString(s, k, "");
      ini.ReadInteger(s, k, 0);
      ini.ReadBool(s, k, false);
    }
  }
  ini.WriteString("Fuzz", "Key", "value");
  if (ini.ReadString("Fuzz", "Key", "") != "value") std::abort();
  // Everything that could be read before can still be read after the write.
  for (const auto& s : sections)
    if (!ini.SectionExists(s)) std::abort();
  return 0;
}
