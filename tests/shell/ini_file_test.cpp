#include "shell/ini_file.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

TEST(IniFile, MissingFileYieldsDefaultsAndCreatesNothing) {
  TempDir dir;
  IniFile ini(dir.path() + "Options.ini");
  EXPECT_EQ(ini.ReadString("Options", "X", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("Options", "X", 5), 5);
  EXPECT_TRUE(ini.ReadBool("Options", "X", true));
  EXPECT_FALSE(FileExists(dir.path() + "Options.ini"));
}

}  // namespace
}  // namespace qm
