// The hang-up countdown under the main window and the settings that decide
// whether the line is dropped, with a fake nmcli first on the PATH.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <sys/stat.h>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "test_support/temp_dir.h"
#include "transport/dialup_hangup.h"
#include "ui/ras_hangup_countdown.h"

namespace qm {
namespace {

class HangupCountdownTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePaths(dir_.path());
    old_path_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    std::string bin = dir_.path() + "bin/";
    ForceDirectories(bin);
    WriteFileAtomically(bin + "nmcli", "#!/bin/sh\necho \"$*\" >> '" + dir_.path() +
                                           "calls.log'\n"
                                           "case \"$*\" in *'connection show'*) echo 'u-1:gsm:Modem';; esac\n");
    chmod((bin + "nmcli").c_str(), 0755);
    setenv("PATH", (bin + ":" + old_path_).c_str(), 1);
    ASSERT_TRUE(LoadRasLibrary());
    main_.setStatusBar(new QStatusBar);
    main_.resize(600, 400);
  }
  void TearDown() override {
    setenv("PATH", old_path_.c_str(), 1);
    LoadRasLibrary();
    ReleaseSettings();
  }
  bool HungUp() {
    for (const std::string& line : LoadLinesFromFile(dir_.path() + "calls.log"))
      if (line == "connection down uuid u-1") return true;
    return false;
  }
  class TempDir dir_;
  std::string old_path_;
  QMainWindow main_;
};

TEST_F(HangupCountdownTest, CountsDownFromFiveAndHangsUpAtZero) {
  OptionsIni->WriteBool("Options", "HangUpAfterOp", true);
  QPointer<TfraRasHangupCountdown> panel = HangUpAfterRun(&main_);
  ASSERT_TRUE(panel);
  EXPECT_EQ(panel->Timer->interval(), 1000);
  EXPECT_TRUE(panel->Timer->isActive());
  EXPECT_EQ(panel->geometry().bottom() + 1, main_.statusBar()->geometry().top());
  QStringList shown{panel->lblCountDown->text()};
  for (int tick = 0; tick < 4; ++tick) {
    panel->TimerTimer();
    shown << panel->lblCountDown->text();
  }
  EXPECT_EQ(shown, (QStringList{"Hanging up in 5 seconds... (click to preserve connection)",
                                "Hanging up in 4 seconds... (click to preserve connection)",
                                "Hanging up in 3 seconds... (click to preserve connection)",
                                "Hanging up in 2 seconds... (click to preserve connection)",
                                "Hanging up in 1 seconds... (click to preserve connection)"}));
  EXPECT_FALSE(HungUp());
  panel->TimerTimer();
  EXPECT_TRUE(HungUp());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(panel);
}

TEST_F(HangupCountdownTest, ClickKeepsTheLine) {
  OptionsIni->WriteBool("Options", "HangUpAfterOp", true);
  QPointer<TfraRasHangupCountdown> panel = HangUpAfterRun(&main_);
  ASSERT_TRUE(panel);
  main_.show();
  panel->TimerTimer();
  QTest::mouseClick(panel->lblCountDown, Qt::LeftButton);  // the label passes the click on
  EXPECT_EQ(panel->SecondsLeft(), 0);
  panel->TimerTimer();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(panel);
  EXPECT_FALSE(HungUp());
}

TEST_F(HangupCountdownTest, SettingsDecideWhetherAndWhen) {
  struct Case {
    bool hang_up, wait;
    bool panel, hung_up_at_once;
  } cases[] = {{false, true, false, false}, {true, false, false, true}, {false, false, false, false}};
  for (const Case& c : cases) {
    RemoveFile(dir_.path() + "calls.log");
    OptionsIni->WriteBool("Options", "HangUpAfterOp", c.hang_up);
    OptionsIni->WriteBool("Options", "WaitBeforeHangup", c.wait);
    TfraRasHangupCountdown* panel = HangUpAfterRun(&main_);
    EXPECT_EQ(panel != nullptr, c.panel);
    EXPECT_EQ(HungUp(), c.hung_up_at_once);
    delete panel;
  }
}

TEST_F(HangupCountdownTest, WithoutNmcliTheSettingsHaveNoEffect) {
  setenv("PATH", (dir_.path() + "nothing").c_str(), 1);
  ASSERT_FALSE(LoadRasLibrary());
  OptionsIni->WriteBool("Options", "HangUpAfterOp", true);
  OptionsIni->WriteBool("Options", "WaitBeforeHangup", false);
  EXPECT_EQ(HangUpAfterRun(&main_), nullptr);
  EXPECT_FALSE(FileExists(dir_.path() + "calls.log"));
}

}  // namespace
}  // namespace qm
