#pragma once
// A list's column layout kept in a settings section of its own.
#include <string>
#include <vector>

#include "shell/ini_file.h"

namespace qm {

enum class ColumnSort { None = 0, Descending = 1, Ascending = 2 };

struct ColumnDesc {
  std::string name;       // internal name
  bool visible = true;
  int width = 100;        // pixels
  int position = 0;       // display position
  ColumnSort sort = ColumnSort::None;
};

// Gives each column named by "ColumnN_Name" its visibility, width, display
// position N and sort state; positions naming no column are skipped. Columns
// not named keep their order after the named ones.
void LoadColumns(const IniFile& ini, std::vector<ColumnDesc>& columns, const std::string& section);
// Erases the section and writes the four keys of every column in display order.
void SaveColumns(IniFile& ini, const std::vector<ColumnDesc>& columns, const std::string& section);

}  // namespace qm
