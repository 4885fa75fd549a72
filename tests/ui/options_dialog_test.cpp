// The Options dialog over a real Options.ini: what OK and Cancel write, the
// quote string, colours, the password box and what OK applies.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include "shell/app_paths.h"
#include "shell/password_encoding.h"
#include "test_support/temp_dir.h"
#include "ui/options_dialog.h"

namespace qm {
namespace {

class OptionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { InitialisePaths(dir_.path()); }
  void TearDown() override { ReleaseSettings(); }
  class TempDir dir_;
};

TEST_F(OptionsDialogTest, OKWithoutChangesWritesEveryKeyWithTheDialogDefaults) {
  ASSERT_FALSE(OptionsIni->ValueExists("Options", "MarkMsgReadTimeout"));
  {
    TfrmOptions dialog;
    dialog.btnOK->click();
  }
  struct Key {
    const char* section;
    const char* key;
    const char* value;
  } keys[] = {
      {"Options", "TrashPrompt", "1"},         {"Options", "SendUnsentAfterFetch", "0"},
      {"Options", "ShowTrayIcon", "1"},        {"Options", "VerifyMail", "0"},
      {"Options", "VerifyMailInterval", "5"},  {"Options", "MarkMsgRead", "1"},
      {"Options", "MarkMsgReadTimeout", "5"},  {"Options", "HangUpAfterOp", "0"},
      {"Options", "WaitBeforeHangup", "1"},    {"Options", "PromptSizeThreshold", "100"},
      {"Options", "PromptStartupPwd", "0"},    {"Options", "StartupPwd", ""},
      {"Options", "DeleteAttachmentsBehavior", "0"}, {"Options", "DontDeleteOutsideAttachsFolder", "1"},
      {"Message", "SpellCheckBeforeSend", "0"}, {"Message", "InsertDefSig", "1"},
      {"Message", "WrapColumnSize", "72"},     {"Message", "PlaceReplyAtBottom", "1"},
      {"Message", "MsgQuoteChar", ">"},        {"Message", "QuoteReplies", "1"},
      {"Message", "QuoteForwards", "1"},       {"Replying", "ReplyFormat", "$FROM wrote on $DATE:"},
      {"Replying", "ReplyPrefix", "Re:"},      {"Replying", "ForwardPrefix", "FW:"},
      {"Replying", "ColourQuotedText", "1"},   {"Sounds", "NewMailSound", ""},
      {"Logging", "POP3", "0"},                {"Logging", "Errors", "1"},
      {"Browser", "UseCustom", "0"},           {"Browser", "Path", ""},
      {"Printing", "TopMargin", "1"},          {"Printing", "LeftMargin", "1"},
      {"Printing", "UseCustomFont", "0"},      {"Colours", "SingleQuote", "3827653"},
      {"Colours", "DoubleQuote", "10485760"},  {"Colours", "SubjectField", "8388736"},
      {"Colours", "FromField", "8388608"},     {"Colours", "ToField", "0"},
      {"Colours", "URL", "16711680"},          {"Colours", "HeaderPaneBackground", "15724527"},
      {"MainWindowFont", "Name", "MS Sans Serif"}, {"PrintingFont", "Size", "8"},
      {"MainWnd", "OptionsPageIndex", "0"},
  };
  for (const Key& k : keys) {
    EXPECT_TRUE(OptionsIni->ValueExists(k.section, k.key)) << k.section << "/" << k.key;
    EXPECT_EQ(OptionsIni->ReadString(k.section, k.key, "?"), k.value) << k.section << "/" << k.key;
  }
  // Locations are written without their trailing slash.
  std::string mail = OptionsIni->ReadString("Locations", "Mail", "");
  EXPECT_EQ(mail + "/", MailDir);
}

TEST_F(OptionsDialogTest, QuoteStringWithASpaceKeepsItThroughTheFile) {
  {
    TfrmOptions dialog;
    dialog.edtMsgQuoteChar->setText("> ");
    dialog.btnOK->click();
    EXPECT_EQ(dialog.edtMsgQuoteChar->text(), "\"> \"");
  }
  EXPECT_EQ(OptionsIni->ReadString("Message", "MsgQuoteChar", ""), "> ");
  // Opening and OK again does not wrap it a second time.
  {
    TfrmOptions dialog;
    EXPECT_EQ(dialog.edtMsgQuoteChar->text(), "> ");
    dialog.btnOK->click();
  }
  EXPECT_EQ(OptionsIni->ReadString("Message", "MsgQuoteChar", ""), "> ");
}

TEST_F(OptionsDialogTest, CancelWritesOnlyThePageShown) {
  {
    TfrmOptions dialog;
    dialog.PageControl->setCurrentIndex(5);
    dialog.ColourChosen(dialog.LinkColour, QColor(1, 2, 3));
    dialog.btnCancel->click();
  }
  EXPECT_EQ(OptionsIni->ReadSections(), (StringList{"MainWnd"}));
  EXPECT_EQ(OptionsIni->ReadInteger("MainWnd", "OptionsPageIndex", -1), 5);
  TfrmOptions again;
  EXPECT_EQ(again.PageControl->currentIndex(), 5);
}

TEST_F(OptionsDialogTest, ColourDialogCancelledStillCountsAsAChange) {
  TfrmOptions dialog;
  int before = dialog.LinkColour->Colour();
  dialog.ColourChosen(dialog.LinkColour, QColor());
  EXPECT_TRUE(dialog.colours_changed);
  EXPECT_EQ(dialog.LinkColour->Colour(), before);
  dialog.ColourChosen(dialog.pnlSingleQuote, QColor(0x11, 0x22, 0x33));
  dialog.btnOK->click();
  EXPECT_EQ(OptionsIni->ReadInteger("Colours", "SingleQuote", 0), 0x332211);
}

TEST_F(OptionsDialogTest, StoredValuesAreShownAndPasswordIsDecoded) {
  OptionsIni->WriteString("Options", "StartupPwd", EncodePassword("s3cret, too"));
  OptionsIni->WriteInteger("Options", "VerifyMailInterval", 17);
  OptionsIni->WriteBool("Browser", "UseCustom", false);
  OptionsIni->WriteString("Message", "WrapColumnSize", "seventy");
  TfrmOptions dialog;
  EXPECT_EQ(dialog.edtStartupPwd->text(), "s3cret, too");
  EXPECT_EQ(dialog.edtStartupPwd->echoMode(), QLineEdit::Password);
  EXPECT_EQ(dialog.findChild<QSpinBox*>("UD_VerifyMailInterval")->value(), 17);
  EXPECT_FALSE(dialog.edtPath->isEnabled());
  dialog.chkUseCustom->click();
  EXPECT_TRUE(dialog.edtPath->isEnabled());
  dialog.edtStartupPwd->clear();
  dialog.btnOK->click();
  EXPECT_EQ(OptionsIni->ReadString("Options", "StartupPwd", "?"), "");
  EXPECT_EQ(OptionsIni->ReadString("Message", "WrapColumnSize", ""), "seventy");  // stored as typed
  EXPECT_TRUE(OptionsIni->ReadBool("Browser", "UseCustom", false));
}

TEST_F(OptionsDialogTest, FontSamplesNameTheFont) {
  OptionsIni->WriteString("MsgCompFont", "Name", "DejaVu Sans");
  OptionsIni->WriteInteger("MsgCompFont", "Size", 11);
  TfrmOptions dialog;
  EXPECT_EQ(dialog.fontSample[2]->text(), "DejaVu Sans 11pt");
  EXPECT_EQ(dialog.fontSample[0]->text(), "MS Sans Serif 8pt");
  FontDesc chosen;
  chosen.name = "DejaVu Serif";
  chosen.size = 14;
  chosen.bold = true;
  dialog.FontChosen(3, chosen);
  EXPECT_TRUE(dialog.fonts_changed);
  dialog.btnOK->click();
  EXPECT_EQ(OptionsIni->ReadString("PrintingFont", "Name", ""), "DejaVu Serif");
  EXPECT_TRUE(OptionsIni->ReadBool("PrintingFont", "Bold", false));
}

}  // namespace
}  // namespace qm
