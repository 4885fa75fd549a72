// The rule editors (presets, action choices in and out) and the rules list
// (ticks, moves, deletes and the rewrite of the file on close).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "accounts/message_rules.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "store/mail_message.h"
#include "test_support/temp_dir.h"
#include "ui/rule_editor.h"
#include "ui/rules_list.h"
#include "ui/test_support_ui.h"
#include "ui/window_entry_points.h"

namespace qm {
namespace {

class RulesEditorTest : public ::testing::Test {
 protected:
  void SetUp() override { InitialisePaths(dir_.path()); }
  void TearDown() override { ReleaseSettings(); }
  class TempDir dir_;
};

TEST_F(RulesEditorTest, PresetsFollowTheFieldUntilSomethingIsTyped) {
  TfrmIncomingRule editor;
  editor.SetPresets({"Ann <ann@example.invalid>", "Quarterly figures", "me@example.invalid", "", ""});
  editor.show();
  EXPECT_EQ(editor.edtCriteria->text(), "Ann <ann@example.invalid>");
  EXPECT_EQ(editor.cboField->currentIndex(), 0);
  EXPECT_EQ(editor.cboCriteriaType->currentIndex(), 0);
  EXPECT_EQ(editor.cboAction->currentText(), "Move to folder");

  editor.cboField->setCurrentIndex(1);
  emit editor.cboField->activated(1);
  EXPECT_EQ(editor.edtCriteria->text(), "Quarterly figures");
  EXPECT_FALSE(editor.criteria_edited());

  QTest::keyClicks(editor.edtCriteria, " 2026");
  EXPECT_TRUE(editor.criteria_edited());
  editor.cboField->setCurrentIndex(2);
  emit editor.cboField->activated(2);
  EXPECT_EQ(editor.edtCriteria->text(), "Quarterly figures 2026");
}

TEST_F(RulesEditorTest, ActionTypesRoundTripThroughTheEditors) {
  struct Case {
    bool incoming;
    uint8_t stored;
    const char* shown;  // "" for no choice
    uint8_t saved;
  } cases[] = {
      {true, kActionNone, "", kActionNone},
      {true, kActionPrint, "Print it", kActionPrint},
      {true, kActionLeaveOnServer, "Don't delete from server", kActionLeaveOnServer},
      {false, kActionDelete, "Move to folder", kActionMove},  // not offered: the first choice stays
      {false, kActionPlaySound, "Play sound", kActionPlaySound},
  };
  for (const Case& c : cases) {
    std::unique_ptr<cRuleEditorForm> editor;
    if (c.incoming)
      editor = std::make_unique<TfrmIncomingRule>();
    else
      editor = std::make_unique<TfrmOutgoingRule>();
    cMessageRule rule;
    rule.Active = false;
    rule.ActionType = c.stored;
    rule.Criteria = "x";
    rule.CriteriaField = kFieldCC;
    rule.CriteriaType = kCriteriaEndsWith;
    rule.MoveDestination = "Home/Work.FLD/Projects.zqf";
    rule.SoundFile = "/sounds/ding.wav";
    editor->SetRule(rule);
    EXPECT_EQ(editor->cboAction->currentText(), c.shown) << int(c.stored);
    EXPECT_EQ(editor->edtMoveLocation->text(), "Projects");
    editor->edtMoveLocation->setText("typed text is ignored");
    cMessageRule out;
    out.ActionType = 99;
    editor->GetRule(out);
    EXPECT_EQ(out.ActionType, c.saved) << int(c.stored);
    EXPECT_FALSE(out.Active);
    EXPECT_EQ(out.CriteriaField, kFieldCC);
    EXPECT_EQ(out.CriteriaType, kCriteriaEndsWith);
    EXPECT_EQ(out.MoveDestination, "Home/Work.FLD/Projects.zqf");
    EXPECT_EQ(out.SoundFile, "/sounds/ding.wav");
  }
}

TEST_F(RulesEditorTest, BrowsedDestinationIsRelativeToTheMailDirectory) {
  TfrmOutgoingRule editor;
  editor.ChooseDestination(false, MailDir + "Home/Archive.zqf");
  EXPECT_EQ(editor.CopyDestination(), "Home/Archive.zqf");
  EXPECT_EQ(editor.edtCopyLocation->text(), "Archive");
}

TEST_F(RulesEditorTest, RuleFromMessageIsAppendedActiveOnOK) {
  ForceDirectories(MailDir + "Home/");
  cMailMessage msg;
  InitMessage(msg);
  msg.From = "Ann <ann@example.invalid>";
  msg.Subject = "Lunch";
  WhenModalOpens([](QWidget* w) {
    auto* editor = qobject_cast<cRuleEditorForm*>(w);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->windowTitle(), "Outgoing rule editor");
    EXPECT_EQ(editor->edtCriteria->text(), "Ann <ann@example.invalid>");
    editor->cboAction->setCurrentIndex(2);
    editor->btnOK->click();
  });
  CreateRuleFromMessage("Home", msg, false);
  cRulesArray rules = LoadRules(OutgoingRulesFile("Home"));
  ASSERT_EQ(rules.size(), 1u);
  EXPECT_TRUE(rules[0].Active);
  EXPECT_EQ(rules[0].Criteria, "Ann <ann@example.invalid>");
  EXPECT_EQ(rules[0].ActionType, kActionPlaySound);
  FreeMessage(msg);
}

class RulesListTest : public RulesEditorTest {
 protected:
  std::string WriteRules(std::initializer_list<const char*> criteria) {
    std::string path = MailDir + "Home/Incoming rules.ini";
    ForceDirectories(MailDir + "Home/");
    cRulesArray rules;
    for (const char* c : criteria) {
      cMessageRule r;
      r.Criteria = c;
      r.ActionType = kActionDelete;
      rules.push_back(r);
    }
    SaveRules(path, rules);
    return path;
  }
  static std::vector<std::string> Criteria(const std::string& path) {
    std::vector<std::string> out;
    for (const cMessageRule& r : LoadRules(path)) out.push_back(r.Criteria + (r.Active ? "" : " (off)"));
    return out;
  }
};

TEST_F(RulesListTest, DeletingSelectedRowsAndClosingRenumbersTheSections) {
  std::string path = WriteRules({"a", "b", "c", "d"});
  {
    TfrmMessageRulesList list;
    list.LoadRulesList(path, true);
    ASSERT_EQ(list.lstRules->count(), 4);
    EXPECT_EQ(list.lstRules->currentRow(), 0);
    list.lstRules->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
    list.lstRules->item(3)->setSelected(true);
    list.btnDelete->click();
    EXPECT_EQ(list.lstRules->count(), 2);
    list.btnClose->click();
  }
  IniFile ini(path);
  EXPECT_EQ(ini.ReadSections(), (StringList{"1", "2"}));
  EXPECT_EQ(Criteria(path), (std::vector<std::string>{"a", "c"}));
}

TEST_F(RulesListTest, UntickingAndMovingAreWrittenOnClose) {
  std::string path = WriteRules({"a", "b", "c"});
  TfrmMessageRulesList list;
  list.LoadRulesList(path, true);
  list.lstRules->item(0)->setCheckState(Qt::Unchecked);
  list.lstRules->setCurrentRow(0);
  list.btnMoveDown->click();
  // The focus stays at the place the row left.
  EXPECT_EQ(list.lstRules->currentRow(), 0);
  list.lstRules->setCurrentRow(2);
  list.btnMoveDown->click();  // beyond the last row: nothing
  list.lstRules->setFocus();
  QTest::keyClick(list.lstRules, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(list.lstRules->currentRow(), 2);
  list.reject();  // closing in any way saves
  EXPECT_EQ(Criteria(path), (std::vector<std::string>{"b", "c", "a (off)"}));
  EXPECT_GT(OptionsIni->ReadInteger("RulesListWindow", "Width", 0), 0);
}

TEST_F(RulesListTest, NewAndPropertiesGoThroughTheEditor) {
  std::string path = MailDir + "Home/Incoming rules.ini";  // not there yet
  ForceDirectories(MailDir + "Home/");
  TfrmMessageRulesList list;
  list.LoadRulesList(path, true);
  EXPECT_EQ(list.lstRules->count(), 0);
  WhenModalOpens([](QWidget* w) {
    auto* editor = qobject_cast<cRuleEditorForm*>(w);
    ASSERT_NE(editor, nullptr);
    editor->edtCriteria->setText("spam");
    editor->cboAction->setCurrentIndex(2);  // Delete right away
    editor->btnOK->click();
  });
  list.btnNew->click();
  ASSERT_EQ(list.lstRules->count(), 1);
  EXPECT_EQ(list.lstRules->item(0)->checkState(), Qt::Checked);
  list.lstRules->item(0)->setCheckState(Qt::Unchecked);
  WhenModalOpens([](QWidget* w) {
    auto* editor = qobject_cast<cRuleEditorForm*>(w);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->edtCriteria->text(), "spam");
    editor->edtCriteria->setText("junk");
    editor->btnOK->click();
  });
  list.btnPropertiesClick();
  EXPECT_EQ(list.Rows()[0].texts.Criteria, "junk");
  EXPECT_FALSE(list.Rows()[0].rule.Active);  // Properties keeps the tick
  list.btnClose->click();
  cRulesArray rules = LoadRules(path);
  ASSERT_EQ(rules.size(), 1u);
  EXPECT_EQ(rules[0].ActionType, kActionDelete);
  EXPECT_FALSE(rules[0].Active);
}

}  // namespace
}  // namespace qm
