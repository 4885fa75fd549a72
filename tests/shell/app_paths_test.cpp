#include "shell/app_paths.h"

#include <gtest/gtest.h>

#include "platform/file_error.h"
#include "platform/file_system.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

TEST(AppPaths, FirstStartCreatesTheFiveLocationsBesideTheProgram) {
  class TempDir dir;
  InitialisePaths(ExcludeTrailingSlash(dir.path()));
  EXPECT_EQ(AppDir, dir.path());
  EXPECT_EQ(MailDir, dir.path() + "Mail/");
  EXPECT_EQ(ContactsDir, dir.path() + "Contacts/");
  EXPECT_EQ(qm::TempDir, dir.path() + "Temp/");
  EXPECT_EQ(SignaturesDir, dir.path() + "Signatures/");
  EXPECT_EQ(AttachmentsDir, dir.path() + "Attachments/");
  for (const char* d : {"Mail", "Contacts", "Temp", "Signatures", "Attachments"})
    EXPECT_TRUE(DirectoryExists(dir.path() + d)) << d;
  EXPECT_EQ(HandOffFile(), dir.path() + "Temp_info.ini");
  EXPECT_EQ(MainToolbarFile, dir.path() + "MainWindowToolbar.ini");
  EXPECT_FALSE(FileExists(dir.path() + "Options.ini")) << "reading creates nothing";
  ReleaseSettings();
}

TEST(AppPaths, AppDirTokenAndTrailingSeparators) {
  class TempDir dir;
  WriteFileAtomically(dir.path() + "Options.ini",
                      "[Locations]\r\nMail=$APPDIR/MyMail/\r\nTemp=$APPDIR/deep/er/tmp\r\n"
                      "Attachments=\"$APPDIR/Att\"\r\n");
  InitialisePaths(dir.path());
  EXPECT_EQ(MailDir, dir.path() + "MyMail/");
  EXPECT_EQ(qm::TempDir, dir.path() + "deep/er/tmp/") << "missing parents are made too";
  EXPECT_EQ(AttachmentsDir, dir.path() + "Att/");
  EXPECT_TRUE(DirectoryExists(dir.path() + "deep/er/tmp"));
  EXPECT_EQ(ExpandAppDir("$APPDIR/a$APPDIR"), dir.path() + "a" + ExcludeTrailingSlash(dir.path()));
  ReleaseSettings();
}

TEST(AppPaths, UncreatableLocationRaisesNamingThePath) {
  class TempDir dir;
  WriteFileAtomically(dir.path() + "blocker", "a file, not a directory");
  WriteFileAtomically(dir.path() + "Options.ini", "[Locations]\r\nContacts=$APPDIR/blocker/Contacts\r\n");
  try {
    InitialisePaths(dir.path());
    FAIL() << "expected FileError";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(dir.path() + "blocker/Contacts"), std::string::npos) << e.what();
  }
  ReleaseSettings();
}

}  // namespace
}  // namespace qm
