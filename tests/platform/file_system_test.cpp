#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/app_dir.h"
#include "platform/file_error.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

TEST(FileSystem, AtomicWriteReplacesWholeFileAndLeavesNoTemporary) {
  class TempDir dir;
  std::string f = dir.path() + "Options.ini";
  WriteFileAtomically(f, "first");
  ::chmod(f.c_str(), 0600);
  WriteFileAtomically(f, "second and longer");
  EXPECT_EQ(ReadFileBytes(f), "second and longer");
  struct stat st;
  ASSERT_EQ(::stat(f.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u) << "permissions of the replaced file are kept";
  auto entries = ListDirectory(dir.path());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "Options.ini");
}

TEST(FileSystem, AtomicWriteIntoMissingDirectoryRaisesAndNamesThePath) {
  class TempDir dir;
  std::string f = dir.path() + "missing/x.txt";
  try {
    WriteFileAtomically(f, "x");
    FAIL() << "expected FileError";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(f), std::string::npos);
    EXPECT_EQ(e.code(), ENOENT);
  }
}

TEST(FileSystem, ForceDirectoriesMakesParents) {
  class TempDir dir;
  EXPECT_TRUE(ForceDirectories(dir.path() + "a/b/c/"));
  EXPECT_TRUE(DirectoryExists(dir.path() + "a/b/c"));
  EXPECT_FALSE(CreateDir(dir.path() + "x/y"));  // one level only
}

TEST(FileSystem, PathPieces) {
  EXPECT_EQ(ExtractFilePath("/a/b/c.txt"), "/a/b/");
  EXPECT_EQ(ExtractFileName("/a/b/c.txt"), "c.txt");
  EXPECT_EQ(ExtractFileExt("/a/b.d/c"), "");
  EXPECT_EQ(ExtractFileExt("/a/b/c.tar.gz"), ".gz");
  EXPECT_EQ(ChangeFileExt("/a/b/c.txt", ".zqf"), "/a/b/c.zqf");
  EXPECT_EQ(IncludeTrailingSlash("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingSlash("/a/"), "/a/");
  EXPECT_EQ(ExcludeTrailingSlash("/a/"), "/a");
  EXPECT_EQ(ExcludeTrailingSlash("/"), "/");
}

TEST(AppDir, ResolutionOrder) {
  class TempDir dir;
  std::string writable = dir.path() + "bin/";
  ForceDirectories(writable);
  // QUILLMAR_HOME wins.
  EXPECT_EQ(ResolveAppDirFrom("/data/q", writable + "quillmar", "", "/home/u"), "/data/q/");
  // Then a writable executable directory.
  EXPECT_EQ(ResolveAppDirFrom("", writable + "quillmar", "", "/home/u"), writable);
  // An installed program falls back to the user's data directory.
  // (A directory that does not exist cannot be written, even by root.)
  EXPECT_EQ(ResolveAppDirFrom("", "/nonexistent-q/bin/quillmar", "", "/home/u"),
            "/home/u/.local/share/torvane-quillmar/");
  EXPECT_EQ(ResolveAppDirFrom("", "/nonexistent-q/bin/quillmar", "/x/share", "/home/u"),
            "/x/share/torvane-quillmar/");
  // The installed program keeps nothing beside itself, even when its folder is writable.
  ASSERT_FALSE(InstalledBinDir().empty());
  EXPECT_EQ(ResolveAppDirFrom("", InstalledBinDir() + "quillmar", "", "/home/u"),
            "/home/u/.local/share/torvane-quillmar/");
}

}  // namespace
}  // namespace qm
