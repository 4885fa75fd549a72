#include <gtest/gtest.h>

#include <algorithm>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "test_support/temp_dir.h"
#include "ui/default_client_prompt.h"
#include "ui/error_dialog.h"
#include "ui/generic_prompt_dialog.h"
#include "ui/qt_text.h"
#include "ui/test_support_ui.h"

namespace qm {
namespace {

TEST(GenericPrompt, OkFollowsTheTrimmedTextIncludingThePreset) {
  TfrmStartupPasswordPrompt prompt;
  EXPECT_EQ(prompt.windowTitle(), "Startup prompt");
  EXPECT_EQ(prompt.lblTitle->text(), "Startup password");
  EXPECT_EQ(prompt.lblDescription->text(), "You need to enter a password to launch this program.");
  EXPECT_EQ(prompt.edtName->echoMode(), QLineEdit::Password);
  EXPECT_FALSE(prompt.btnOK->isEnabled());
  prompt.edtName->setText("   ");
  EXPECT_FALSE(prompt.btnOK->isEnabled());
  prompt.edtName->setText(" x ");
  EXPECT_TRUE(prompt.btnOK->isEnabled());

  WhenModalOpens([](QWidget* w) {
    auto* d = qobject_cast<TfrmGenericPromptDialog*>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->btnOK->isEnabled()) << "a preset text enables OK";
    QTest::keyClicks(d->edtName, "2");
    d->btnOK->click();
  });
  auto [ok, text] = PromptText<TfrmRenameMailbox>("Inbox");
  EXPECT_TRUE(ok);
  EXPECT_EQ(text, "Inbox2");

  WhenModalOpens([](QWidget* w) { qobject_cast<TfrmGenericPromptDialog*>(w)->btnCancel->click(); });
  auto [ok2, text2] = PromptText<TfrmAddFolder>("kept");
  EXPECT_FALSE(ok2);
  EXPECT_EQ(text2, "kept") << "the text is returned also when cancelled";
}

TEST(GenericPrompt, LongTextsWrapAndTheDialogGrowsToShowThem) {
  TfrmGenericPromptDialog dialog("Caption", "Enter the name of the new account and its server settings",
                                 "A description long enough to need three or four lines at this width, "
                                 "so that nothing fits the fixed height any more.",
                                 false);
  dialog.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(dialog.width(), 258) << "the width stays as drawn";
  for (QLabel* label : {dialog.lblTitle, dialog.lblDescription}) {
    QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 10000), Qt::TextWordWrap,
                                                     label->text());
    EXPECT_LE(needed.height(), label->height()) << S(label->text()) << " is cut off";
  }
}

TEST(DefaultClientPrompt, DontAskAgainIsReportedWithNo) {
  WhenModalOpens([](QWidget* w) {
    auto* d = qobject_cast<TfrmDefaultClientPrompt*>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Quillmar");
    EXPECT_EQ(d->chkDontAskAgain->text(), "&Dont ask me this again");
    EXPECT_EQ(d->size(), QSize(252, 120));
    d->chkDontAskAgain->setChecked(true);
    d->btnNo->click();
  });
  bool dont_ask = false;
  EXPECT_FALSE(AskDefaultClientQuestion(dont_ask));
  EXPECT_TRUE(dont_ask);
}

TEST(ErrorWindow, AReportIsLoggedThenShownAfterTheHandlerReturns) {
  class TempDir dir;
  InitialisePaths(dir.path());
  auto previous = SetErrorSink(std::make_shared<QtErrorSink>());
  std::vector<std::string> shown;
  bool log_existed_when_shown = false;
  ReportError("first\nsecond");
  ReportError("third");
  EXPECT_TRUE(shown.empty()) << "nothing is shown before the event loop runs";
  // Close each window as it opens, noting what it shows.
  std::function<void(QWidget*)> close_it = [&](QWidget* w) {
    auto* d = qobject_cast<TfrmErrorDialog*>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Quillmar - Error");
    shown.push_back(d->ErrorLabel->toPlainText().toStdString());
    log_existed_when_shown = FileExists(ErrorLogFile());
    d->btnClose->click();
    if (shown.size() < 2) WhenModalOpens(close_it);
  };
  WhenModalOpens(close_it);
  for (int i = 0; i < 300 && shown.size() < 2; ++i) QTest::qWait(10);
  ASSERT_EQ(shown.size(), 2u);
  // The second window may open on top of the first while it is still open.
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown[0], "first\nsecond");
  EXPECT_EQ(shown[1], "third");
  EXPECT_TRUE(log_existed_when_shown);
  StringList lines = SplitLines(ReadFileBytes(ErrorLogFile()));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[3], "first");
  EXPECT_EQ(lines[8], "third");
  SetErrorSink(previous);
  ReleaseSettings();
}

}  // namespace
}  // namespace qm
