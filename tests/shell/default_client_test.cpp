#include "shell/default_client.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/desktop_integration.h"
#include "platform/file_system.h"
#include "test_support/recording_error_sink.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

// Points the desktop's config and data folders at a scratch directory.
class DefaultClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", (dir_.path() + "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir_.path() + "share").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
  }
  TempDir dir_;
  const std::string exe_ = "/opt/q/quillmar";
};

TEST_F(DefaultClientTest, YesWritesTheEntriesInOrderAndRegistersTheDesktopEntry) {
  IniFile options(dir_.path() + "Options.ini");
  RegistryStore store(dir_.path() + "registry.ini");
  int asked = 0;
  CheckDefaultClient(options, store, exe_, [&](bool& dont) { ++asked; dont = false; return true; },
                     [&] { RegisterDesktopEntry(exe_); });
  EXPECT_EQ(asked, 1);
  RegistryStore reread(dir_.path() + "registry.ini");
  EXPECT_EQ(reread.Keys(), (std::vector<std::string>{
                               "HKEY_CLASSES_ROOT\\mailto\\shell\\open\\command",
                               "HKEY_CLASSES_ROOT\\mailto\\DefaultIcon",
                               "HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients\\Mail",
                               "HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients\\Mail\\Torvane Quillmar",
                               "HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients\\Mail\\Torvane Quillmar\\Protocols\\mailto",
                               "HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients\\Mail\\Torvane Quillmar\\Protocols\\mailto\\DefaultIcon",
                               "HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients\\Mail\\Torvane Quillmar\\Protocols\\mailto\\shell\\open\\command",
                               "HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients\\Mail\\Torvane Quillmar\\shell\\open\\command"}));
  EXPECT_EQ(reread.ReadString("HKEY_CLASSES_ROOT\\mailto\\shell\\open\\command", ""),
            "\"/opt/q/quillmar\" -NewMail \"%1\"");
  EXPECT_EQ(reread.ReadString("HKEY_CLASSES_ROOT\\mailto\\DefaultIcon", ""), "\"/opt/q/quillmar\",0");
  const std::string proto = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients\\Mail\\Torvane Quillmar\\Protocols\\mailto";
  EXPECT_EQ(reread.ReadString(proto, "edit flags"), std::string("\x02\0\0\0", 4));
  EXPECT_EQ(reread.ReadString(proto, "URL Protocol"), "");
  EXPECT_EQ(reread.ReadString("HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients\\Mail", ""), "Torvane Quillmar 3");
  EXPECT_TRUE(options.ReadBool("Options", "VerifyDefClient", false));

  // The desktop now names us, so a second start does not ask.
  EXPECT_TRUE(IsDefaultMailtoHandler());
  std::string entry = ReadFileBytes(DesktopEntryPath());
  EXPECT_NE(entry.find("Exec=\"/opt/q/quillmar\" -newmail %u"), std::string::npos);
  EXPECT_NE(entry.find("MimeType=x-scheme-handler/mailto;"), std::string::npos);
  CheckDefaultClient(options, reread, exe_, [&](bool&) { ++asked; return false; }, nullptr);
  EXPECT_EQ(asked, 1);
}

TEST_F(DefaultClientTest, DontAskAgainWithNoLeavesTheRegistryAloneAndIsNotAskedAgain) {
  IniFile options(dir_.path() + "Options.ini");
  RegistryStore store(dir_.path() + "registry.ini");
  int asked = 0;
  auto no_and_tick = [&](bool& dont) { ++asked; dont = true; return false; };
  CheckDefaultClient(options, store, exe_, no_and_tick, nullptr);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(FileExists(dir_.path() + "registry.ini"));
  EXPECT_FALSE(options.ReadBool("Options", "VerifyDefClient", true));
  CheckDefaultClient(options, store, exe_, no_and_tick, nullptr);
  EXPECT_EQ(asked, 1);
}

TEST_F(DefaultClientTest, MimeAppsListKeepsOtherEntries) {
  ForceDirectories(dir_.path() + "config");
  WriteFileAtomically(MimeAppsListPath(),
                      "[Added Associations]\ntext/plain=gedit.desktop\n[Default Applications]\n"
                      "x-scheme-handler/mailto=other.desktop\ntext/html=firefox.desktop\n");
  EXPECT_FALSE(IsDefaultMailtoHandler());
  RegisterDesktopEntry(exe_);
  EXPECT_TRUE(IsDefaultMailtoHandler());
  std::string list = ReadFileBytes(MimeAppsListPath());
  EXPECT_NE(list.find("text/plain=gedit.desktop"), std::string::npos);
  EXPECT_NE(list.find("text/html=firefox.desktop"), std::string::npos);
  EXPECT_EQ(list.find("other.desktop"), std::string::npos);
}

TEST_F(DefaultClientTest, AFailureIsReportedAndStartUpGoesOn) {
  IniFile options(dir_.path() + "Options.ini");
  // The store's folder is a file: saving must fail.
  WriteFileAtomically(dir_.path() + "blocked", "x");
  RegistryStore store(dir_.path() + "blocked/registry.ini");
  ScopedErrorRecorder recorder;
  CheckDefaultClient(options, store, exe_, [](bool&) { return true; }, nullptr);
  auto messages = recorder.messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(" has occured while registering QM in the registry."), std::string::npos);
  EXPECT_EQ(messages[0].front(), '\'');
}

}  // namespace
}  // namespace qm
