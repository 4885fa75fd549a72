#include "shell/ini_file.h"

#include <gtest/gtest.h>

#include "platform/file_error.h"
#include "platform/file_system.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

TEST(IniFile, MissingFileYieldsDefaultsAndCreatesNothing) {
  class TempDir dir;
  IniFile ini(dir.path() + "Options.ini");
  EXPECT_EQ(ini.ReadString("Options", "X", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("Options", "X", 5), 5);
  EXPECT_TRUE(ini.ReadBool("Options", "X", true));
  EXPECT_TRUE(ini.ReadSections().empty());
  EXPECT_FALSE(FileExists(dir.path() + "Options.ini"));
  ini.WriteBool("Options", "X", false);
  EXPECT_TRUE(FileExists(dir.path() + "Options.ini"));
}

struct ValueCase {
  const char* stored;
  int int_default;
  int as_int;
  bool as_bool;  // read with default false
  const char* as_string;
};

TEST(IniFile, ValueConventions) {
  const ValueCase cases[] = {
      {"0xFF", 7, 255, true, "0xFF"},
      {"0Xff", 7, 255, true, "0Xff"},
      {"0x", 7, 7, false, "0x"},          // too short to be hexadecimal
      {"0x3A67C5", 7, 0x3A67C5, true, "0x3A67C5"},
      {"2", 7, 2, true, "2"},
      {"-12", 7, -12, true, "-12"},
      {"0", 7, 0, false, "0"},
      {"word", 7, 7, false, "word"},      // not a number: the default
      {"12abc", 7, 7, false, "12abc"},
      {"", 7, 7, false, ""},
      {"\"> \"", 7, 7, false, "> "},      // one pair of quotes removed
      {"\"\"x\"\"", 7, 7, false, "\"x\""},
      {"\"open", 7, 7, false, "\"open"},
      {"99999999999", 7, 7, false, "99999999999"},  // out of range
  };
  class TempDir dir;
  std::string path = dir.path() + "v.ini";
  for (const auto& c : cases) {
    WriteFileAtomically(path, std::string("[S]\r\nK=") + c.stored + "\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("S", "K", c.int_default), c.as_int) << c.stored;
    EXPECT_EQ(ini.ReadBool("S", "K", false), c.as_bool) << c.stored;
    EXPECT_EQ(ini.ReadString("S", "K", "?"), c.as_string) << c.stored;
  }
}

TEST(IniFile, NamesIgnoreCaseAndWritesAreSeenByEveryObject) {
  class TempDir dir;
  std::string path = dir.path() + "Options.ini";
  IniFile a(path), b(path);
  a.WriteString("Options", "TrashPrompt", "1");
  EXPECT_TRUE(b.ReadBool("OPTIONS", "trashprompt", false));
  b.WriteInteger("options", "TRASHPROMPT", 0);
  EXPECT_FALSE(a.ReadBool("Options", "TrashPrompt", true));
  EXPECT_EQ(a.ReadSections(), StringList{"Options"});
  EXPECT_EQ(a.ReadSection("Options"), StringList{"TrashPrompt"});
  // A change made by another program is seen too.
  WriteFileAtomically(path, "[Options]\r\nTrashPrompt=7\r\nOther=x\r\n");
  EXPECT_EQ(a.ReadInteger("Options", "TrashPrompt", 0), 7);
}

TEST(IniFile, EraseDeleteAndListKeepOrder) {
  class TempDir dir;
  IniFile ini(dir.path() + "x.ini");
  ini.WriteString("B", "k2", "v");
  ini.WriteString("A", "k1", "v");
  ini.WriteString("B", "k1", "w");
  EXPECT_EQ(ini.ReadSections(), (StringList{"B", "A"}));
  EXPECT_EQ(ini.ReadSection("b"), (StringList{"k2", "k1"}));
  ini.DeleteKey("B", "K2");
  EXPECT_FALSE(ini.ValueExists("B", "k2"));
  ini.EraseSection("b");
  EXPECT_FALSE(ini.SectionExists("B"));
  EXPECT_EQ(ini.ReadString("A", "k1", ""), "v");
}

TEST(IniFile, ASectionNamedTwiceReadsFromTheFirstUntilBothAreErased) {
  class TempDir dir;
  const std::string path = dir.path() + "book.ini";
  WriteFileAtomically(path, "[Ann]\r\nEmail=first\r\n[Bob]\r\nEmail=b\r\n[ANN]\r\nEmail=second\r\n");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("ann", "Email", ""), "first");
  ini.WriteString("Cy", "Email", "c");  // a section added behind the others
  EXPECT_EQ(ini.ReadString("CY", "Email", ""), "c");
  EXPECT_EQ(ini.ReadString("Ann", "Email", ""), "first");
  ini.EraseSection("Ann");
  EXPECT_FALSE(ini.SectionExists("ann"));
  EXPECT_EQ(ini.ReadString("Bob", "Email", ""), "b");
  EXPECT_EQ(ini.ReadString("Cy", "Email", ""), "c");
  EXPECT_EQ(ini.ReadSections(), (StringList{"Bob", "Cy"}));
}

TEST(IniFile, GarbageReadsAsDefaultsAndSurvivesAWrite) {
  class TempDir dir;
  std::string path = dir.path() + "g.ini";
  std::string garbage = "\x01\x02=\xff[[[\r\nno section=1\r\n[Ok]\r\n=empty key\r\n;comment\r\nnoequals\r\nK = spaced value \r\n";
  garbage += std::string("\0[Hidden]\r\nH=1\r\n", 16);
  WriteFileAtomically(path, garbage);
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("Ok", "K", ""), "spaced value");
  EXPECT_FALSE(ini.SectionExists("Hidden"));  // reading stops at NUL
  EXPECT_EQ(ini.ReadInteger("Ok", "noequals", 3), 3);
  ini.WriteString("Ok", "New", "1");
  EXPECT_EQ(ini.ReadString("Ok", "K", ""), "spaced value");
  EXPECT_EQ(ini.ReadString("Ok", "New", ""), "1");
}

TEST(IniFile, LineBreaksInAValueCannotCreateKeys) {
  class TempDir dir;
  IniFile ini(dir.path() + "x.ini");
  ini.WriteString("S", "Name", "evil\r\n[Options]\r\nStartupPwd=1");
  EXPECT_FALSE(ini.SectionExists("Options"));
  EXPECT_EQ(ini.ReadSection("S"), StringList{"Name"});
}

TEST(IniFile, UpdateScopeWritesOnceAndReadsSeePendingValues) {
  class TempDir dir;
  std::string path = dir.path() + "x.ini";
  IniFile ini(path), other(path);
  {
    IniFile::UpdateScope batch(ini);
    ini.WriteString("S", "a", "1");
    ini.WriteString("S", "b", "2");
    EXPECT_EQ(other.ReadString("S", "a", ""), "1");
    EXPECT_FALSE(FileExists(path));
  }
  EXPECT_EQ(ReadFileBytes(path), "[S]\r\na=1\r\nb=2\r\n");
}

}  // namespace
}  // namespace qm

namespace qm {
namespace {

TEST(IniFile, AFailedWriteRaisesAndIsNotSeenByLaterReads) {
  TempDir dir;
  std::string path = dir.path() + "Settings.ini";
  ASSERT_TRUE(CreateDir(path));  // a directory stands where the file should be
  IniFile ini(path);
  EXPECT_THROW(ini.WriteString("S", "K", "lost"), FileError);
  EXPECT_EQ(ini.ReadString("S", "K", "default"), "default");
}

}  // namespace
}  // namespace qm
