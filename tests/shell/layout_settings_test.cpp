#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "shell/column_settings.h"
#include "shell/font_settings.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

TEST(FontSettings, LoadAddsTrueStylesOnly) {
  TempDir dir;
  std::string path = dir.path() + "Options.ini";
  WriteFileAtomically(path, "[MsgPreviewFont]\r\nName=DejaVu Sans\r\nSize=11\r\nColour=0xFF\r\nBold=1\r\nItalic=0\r\n");
  IniFile ini(path);
  FontDesc font;
  font.italic = true;  // already italic: a stored 0 does not clear it
  LoadFont(ini, font, "MsgPreviewFont");
  EXPECT_EQ(font.name, "DejaVu Sans");
  EXPECT_EQ(font.size, 11);
  EXPECT_EQ(font.colour, 255);
  EXPECT_TRUE(font.bold);
  EXPECT_TRUE(font.italic);
  EXPECT_FALSE(font.underline);

  FontDesc missing;
  LoadFont(ini, missing, "NoSuchFont");
  EXPECT_EQ(missing.name, "MS Sans Serif");
  EXPECT_EQ(missing.size, 8);

  SaveFont(ini, font, "Copy");
  FontDesc copy;
  LoadFont(ini, copy, "Copy");
  EXPECT_EQ(copy.name, font.name);
  EXPECT_TRUE(copy.italic);
}

std::vector<ColumnDesc> Designed() {
  return {{"Subject", true, 200, 0}, {"From", true, 150, 1}, {"Date", true, 120, 2}, {"Size", true, 60, 3}};
}

std::vector<std::string> DisplayOrder(std::vector<ColumnDesc> cols) {
  std::sort(cols.begin(), cols.end(), [](auto& a, auto& b) { return a.position < b.position; });
  std::vector<std::string> out;
  for (auto& c : cols) out.push_back(c.name);
  return out;
}

TEST(ColumnSettings, RoundTripKeepsOrderWidthVisibilityAndSort) {
  TempDir dir;
  IniFile ini(dir.path() + "Options.ini");
  auto cols = Designed();
  cols[0].position = 2;
  cols[2].position = 0;
  cols[1].visible = false;
  cols[3].width = 77;
  cols[2].sort = ColumnSort::Ascending;
  SaveColumns(ini, cols, "MainWndColumns");
  EXPECT_EQ(ini.ReadString("MainWndColumns", "Column0_Name", ""), "Date");
  EXPECT_EQ(ini.ReadInteger("MainWndColumns", "Column0_Sort", -1), 2);
  auto loaded = Designed();
  LoadColumns(ini, loaded, "MainWndColumns");
  EXPECT_EQ(DisplayOrder(loaded), (std::vector<std::string>{"Date", "From", "Subject", "Size"}));
  EXPECT_FALSE(loaded[1].visible);
  EXPECT_EQ(loaded[3].width, 77);
  EXPECT_EQ(loaded[2].sort, ColumnSort::Ascending);
}

TEST(ColumnSettings, UnknownNamesAndBadSortsAreSkipped) {
  TempDir dir;
  std::string path = dir.path() + "Options.ini";
  WriteFileAtomically(path,
                      "[MainWndColumns]\r\nColumn0_Name=Gone\r\nColumn0_Width=5\r\n"
                      "Column1_Name=Size\r\nColumn1_Sort=9\r\nColumn1_Width=wide\r\n");
  IniFile ini(path);
  auto cols = Designed();
  LoadColumns(ini, cols, "MainWndColumns");
  EXPECT_EQ(DisplayOrder(cols), (std::vector<std::string>{"Subject", "Size", "From", "Date"}));
  EXPECT_EQ(cols[3].sort, ColumnSort::None);
  EXPECT_EQ(cols[3].width, 60) << "a width that is not a number keeps the current one";
  EXPECT_EQ(cols[0].width, 200);
}

}  // namespace
}  // namespace qm
