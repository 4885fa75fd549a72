// The About window.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include "shell/app_paths.h"
#include "test_support/temp_dir.h"
#include "test_support_ui.h"
#include "ui/about_dialog.h"
#include "ui/window_entry_points.h"

namespace qm {
namespace {

TEST(AboutDialogTest, ShowsVersionHomePageAndTheSystemInfoMessage) {
  class TempDir dir;
  InitialisePaths(dir.path());
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  TfrmAbout about;
  EXPECT_EQ(about.VersionLabel->text(), "3,61 (Final)");
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(VersionText(), "3.61 (Final)");
  EXPECT_TRUE(about.HomePageLink->text().contains(".example."));
  EXPECT_EQ(about.HomePageLink->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(about.size(), QSize(305, 251));
  EXPECT_TRUE(about.windowFlags() & Qt::FramelessWindowHint);

  QString message;
  WhenModalOpens([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_TRUE(box);
    message = box->text();
    box->accept();
  });
  about.btnSystemInfo->click();
  EXPECT_EQ(message,
            "The Microsoft Information tool is not installed on your computer. System info is therefor unavaliable.");

  // ShowAbout is modal; OK closes it.
  bool shown = false;
  WhenModalOpens([&](QWidget* w) {
    shown = w->objectName() == "TfrmAbout";
    w->findChild<QPushButton*>("btnOK")->click();
  });
  ShowAbout(nullptr);
  EXPECT_TRUE(shown);
  ReleaseSettings();
}

}  // namespace
}  // namespace qm
