#include "transport/task_sound.h"

#include "shell/app_paths.h"

namespace qm {

std::string EventSoundFile(const std::string& name, bool is_file) {
  if (is_file) return name;
  if (!OptionsIni) return "";
  return ExpandAppDir(OptionsIni->ReadString("Sounds", name, ""));
}

}  // namespace qm
