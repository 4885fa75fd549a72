#pragma once
// A font kept in a settings section of its own.
#include <string>

#include "shell/ini_file.h"

namespace qm {

struct FontDesc {
  std::string name = "MS Sans Serif";
  int size = 8;         // points
  int colour = 0;       // 0x00BBGGRR
  int charset = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

// Reads Name, Size, Colour, Charset and adds the styles that are stored as
// true; a style stored as false does not clear one the font already has.
void LoadFont(const IniFile& ini, FontDesc& font, const std::string& section);
void SaveFont(IniFile& ini, const FontDesc& font, const std::string& section);

}  // namespace qm
