#include "shell/font_settings.h"

namespace qm {

void LoadFont(const IniFile& ini, FontDesc& font, const std::string& section) {
  font.name = ini.ReadString(section, "Name", "MS Sans Serif");
  font.size = ini.ReadInteger(section, "Size", 8);
  font.colour = ini.ReadInteger(section, "Colour", 0);
  font.charset = ini.ReadInteger(section, "Charset", 0);
  if (ini.ReadBool(section, "Bold", font.bold)) font.bold = true;
  if (ini.ReadBool(section, "Italic", font.italic)) font.italic = true;
  if (ini.ReadBool(section, "Underline", font.underline)) font.underline = true;
}

void SaveFont(IniFile& ini, const FontDesc& font, const std::string& section) {
  IniFile::UpdateScope batch(ini);
  ini.WriteString(section, "Name", font.name);
  ini.WriteInteger(section, "Size", font.size);
  ini.WriteInteger(section, "Colour", font.colour);
  ini.WriteInteger(section, "Charset", font.charset);
  ini.WriteBool(section, "Bold", font.bold);
  ini.WriteBool(section, "Italic", font.italic);
  ini.WriteBool(section, "Underline", font.underline);
}

}  // namespace qm
