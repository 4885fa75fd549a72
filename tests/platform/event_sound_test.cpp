// Sounds play through the first player found on PATH, without waiting.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/event_sound.h"
#include "platform/file_system.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

class EventSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* path = std::getenv("PATH");
    saved_path_ = path ? path : "";
    ForceDirectories(dir.path() + "a");
    ForceDirectories(dir.path() + "b");
    sound_ = dir.path() + "ding.wav";
    WriteFileAtomically(sound_, "RIFF");
  }
  void TearDown() override { ::setenv("PATH", saved_path_.c_str(), 1); }

  // A player that records its name and argument, then sleeps to show we do not wait.
  std::string Player(const std::string& sub, const std::string& name, int sleep_s = 0) {
    std::string path = dir.path() + sub + "/" + name;
    WriteFileAtomically(path, "#!/bin/sh\nprintf '%s %s' \"${0##*/}\" \"$1\" > '" + dir.path() +
                                  "played.part'\n/bin/mv '" + dir.path() + "played.part' '" + dir.path() +
                                  "played'\n/bin/sleep " + std::to_string(sleep_s) + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
  }
  std::string WaitPlayed() {
    for (int i = 0; i < 300 && !FileExists(dir.path() + "played"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    auto text = TryReadFileBytes(dir.path() + "played");
    return text ? *text : "";
  }

  TempDir dir;
  std::string saved_path_;
  std::string sound_;
};

TEST_F(EventSoundTest, PlayerPreferenceFollowsNamesThenPath) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> players;  // dir, name
    std::string expected;                                      // dir/name, "" for none
  } cases[] = {
      {{}, ""},
      {{{"a", "aplay"}}, "a/aplay"},
      {{{"a", "aplay"}, {"b", "paplay"}}, "b/paplay"},
      {{{"a", "paplay"}, {"b", "pw-play"}, {"b", "aplay"}}, "b/pw-play"},
      {{{"a", "pw-play"}, {"b", "pw-play"}}, "a/pw-play"},
  };
  for (const Case& c : cases) {
    RemoveDirectoryTree(dir.path() + "a");
    RemoveDirectoryTree(dir.path() + "b");
    ForceDirectories(dir.path() + "a");
    ForceDirectories(dir.path() + "b");
    for (const auto& [sub, name] : c.players) Player(sub, name);
    std::string found = FindSoundPlayer(dir.path() + "a:" + dir.path() + "b");
    EXPECT_EQ(found, c.expected.empty() ? "" : dir.path() + c.expected) << c.expected;
  }
  // A file that is not executable is no player.
  WriteFileAtomically(dir.path() + "a/pw-play", "not a program");
  ::chmod((dir.path() + "a/pw-play").c_str(), 0644);
  EXPECT_EQ(FindSoundPlayer(dir.path() + "a"), "");
}

TEST_F(EventSoundTest, PlaysWithoutWaitingAndSkipsWhatIsMissing) {
  Player("a", "paplay", 5);
  ::setenv("PATH", (dir.path() + "a").c_str(), 1);
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(PlayEventSound(sound_, true));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(WaitPlayed(), "paplay " + sound_);

  RemoveFile(dir.path() + "played");
  // A key resolved to a file.
  EXPECT_TRUE(PlayEventSound("NewMailSound", false, [&](const std::string& key) {
    return key == "NewMailSound" ? sound_ : std::string();
  }));
  EXPECT_EQ(WaitPlayed(), "paplay " + sound_);

  EXPECT_FALSE(PlayEventSound("", true));
  EXPECT_FALSE(PlayEventSound(dir.path() + "missing.wav", true));
  EXPECT_FALSE(PlayEventSound("MailErrorSound", false, [](const std::string&) { return std::string(); }));
  EXPECT_FALSE(PlayEventSound("MailErrorSound", false));
  ::setenv("PATH", (dir.path() + "b").c_str(), 1);
  EXPECT_FALSE(PlayEventSound(sound_, true));
}

}  // namespace
}  // namespace qm
