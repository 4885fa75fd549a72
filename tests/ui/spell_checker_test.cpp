// The spell checker: finding misspelt words with the system's en_US
// dictionary, the user's word list, the settings, and the check dialog
// driving the compose window's editor.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>

#include "compose_test_support.h"
#include "platform/file_system.h"
#include "store/store_ui.h"
#include "ui/spell_checker.h"
#include "ui/spell_dialog.h"

namespace qm {
namespace {

class SpellCheckerTest : public ComposeTest {
 protected:
  void SetUp() override {
    ComposeTest::SetUp();
    if (FindDictionary("en_US", "").empty()) GTEST_SKIP() << "hunspell-en-us is not installed";
  }
  // Every misspelt word of a text, in order.
  static std::vector<QString> Misspelt(const TSpellChecker& checker, const QString& text) {
    std::vector<QString> out;
    int from = 0, start = 0, length = 0;
    while (checker.FindNextMisspelling(text, from, start, length)) {
      out.push_back(text.mid(start, length));
      from = start + length;
    }
    return out;
  }
};

TEST_F(SpellCheckerTest, FindsMisspeltWordsOnly) {
  TSpellChecker checker;
  ASSERT_TRUE(checker.LoadConfiguration());
  EXPECT_EQ(Misspelt(checker, "Thsi is a tset of the 'quoted' word, isn't it?"),
            (std::vector<QString>{"Thsi", "tset"}));
  // Words in capitals and words with digits are left alone by default.
  EXPECT_TRUE(Misspelt(checker, "QWZX abc123 x86").empty());
  EXPECT_TRUE(Misspelt(checker, "").empty());
  // Accented letters belong to their word; the en_US list spells these
  // without accents, so each is reported whole, and accepted once the user
  // adds it.
  EXPECT_EQ(Misspelt(checker, "naïve cafés zzzqqq"), (std::vector<QString>{"naïve", "cafés", "zzzqqq"}));
  ASSERT_TRUE(checker.AddToUserDictionary("naïve"));
  EXPECT_EQ(Misspelt(checker, "naïve cafés"), std::vector<QString>{"cafés"});
  // After a quoted misspelling the search moves on past its closing quote.
  EXPECT_EQ(Misspelt(checker, "'tsett' and \u2019wrdo\u2019 end"),
            (std::vector<QString>{"tsett", "wrdo"}));
  std::vector<QString> s = checker.Suggest("tset");
  EXPECT_NE(std::find(s.begin(), s.end(), "test"), s.end());

  // A caret inside a word starts the search at the word's beginning.
  int start = 0, length = 0;
  ASSERT_TRUE(checker.FindNextMisspelling("a tset", 4, start, length));
  EXPECT_EQ(start, 2);
  EXPECT_EQ(length, 4);
}

TEST_F(SpellCheckerTest, IgnoreAllAndTheUserDictionary) {
  {
    TSpellChecker checker;
    ASSERT_TRUE(checker.LoadConfiguration());
    checker.IgnoreAll("Quillmar");
    EXPECT_TRUE(checker.IsCorrect("Quillmar"));
    EXPECT_TRUE(checker.AddToUserDictionary("Torvane"));
    EXPECT_TRUE(checker.IsCorrect("Torvane"));
  }
  EXPECT_EQ(LoadLinesFromFile(AppDir + "default.udt"), StringList{"Torvane"});
  TSpellChecker fresh;
  ASSERT_TRUE(fresh.LoadConfiguration());
  EXPECT_TRUE(fresh.IsCorrect("Torvane")) << "kept in default.udt";
  EXPECT_FALSE(fresh.IsCorrect("Quillmar")) << "ignored for one session only";
}

TEST_F(SpellCheckerTest, SettingsChooseTheDictionaryAndTheRules) {
  EXPECT_EQ(DictionaryLanguage("english.dct"), "en_US");
  EXPECT_EQ(DictionaryLanguage("ENGLISH.DCT"), "en_US");
  EXPECT_EQ(DictionaryLanguage("en_GB.dct"), "en_GB");
  EXPECT_EQ(DictionaryLanguage("de_DE"), "de_DE");
  EXPECT_EQ(FindDictionary("../hunspell/en_US", ""), "") << "a name is never a path";

  OptionsIni->WriteBool("Spelling", "IgnoreUpperCase", false);
  TSpellChecker strict;
  ASSERT_TRUE(strict.LoadConfiguration());
  EXPECT_FALSE(strict.IsCorrect("QWZX"));

  // A dictionary that is not installed leaves the checker unusable and the
  // compose window's command disabled.
  OptionsIni->WriteString("Spelling", "Dictionary", "xx_NONE.dct");
  TSpellChecker none;
  EXPECT_FALSE(none.LoadConfiguration());
  EXPECT_TRUE(none.IsCorrect("zzzqqq"));
  TfrmCompose* w = NewTo("x@example.org");
  EXPECT_FALSE(w->SpellCheckAvailable());
  EXPECT_FALSE(w->Command("mnuSpellCheck")->isEnabled());

  // A dictionary in the configured folder is found there.
  std::string own = dir.path() + "dicts/";
  ForceDirectories(own);
  WriteFileAtomically(own + "xx_NONE.aff", "SET UTF-8\n");
  WriteFileAtomically(own + "xx_NONE.dic", "1\nblorp\n");
  OptionsIni->WriteString("Spelling", "DictionaryDir", own);
  TSpellChecker mine;
  ASSERT_TRUE(mine.LoadConfiguration());
  EXPECT_TRUE(mine.IsCorrect("blorp"));
  EXPECT_FALSE(mine.IsCorrect("hello"));
  std::vector<std::string> found = AvailableDictionaries(own);
  EXPECT_NE(std::find(found.begin(), found.end(), "xx_NONE"), found.end());
  EXPECT_NE(std::find(found.begin(), found.end(), "en_US"), found.end());
}

TEST_F(SpellCheckerTest, DialogChangesIgnoresAndCancels) {
  OptionsIni->WriteBool("Message", "InsertDefSig", false);
  TfrmCompose* w = NewTo("x@example.org");
  ASSERT_TRUE(w->SpellCheckAvailable());
  ASSERT_TRUE(w->Command("mnuSpellCheck")->isEnabled());
  w->RichEdit->setPlainText("Thsi is a tset, a tset.");

  // Change the first word to its first suggestion, ignore every "tset".
  std::vector<QString> asked;
  auto answer = [&asked](const char* button) {
    return [&asked, button](QWidget* d) {
      auto* dialog = qobject_cast<TfrmSpellCheck*>(d);
      ASSERT_NE(dialog, nullptr);
      asked.push_back(dialog->lblNotFound->text());
      if (std::string(button) == "btnChange") dialog->edtWord->setText("This");
      dialog->findChild<QPushButton*>(button)->click();
    };
  };
  WhenModalOpens([&](QWidget* d) {
    answer("btnChange")(d);
    WhenModalOpens(answer("btnIgnoreAll"));
  });
  w->Command("mnuSpellCheck")->trigger();
  EXPECT_EQ(w->EditorText(), "This is a tset, a tset.");
  EXPECT_EQ(asked, (std::vector<QString>{"Not in dictionary: Thsi", "Not in dictionary: tset"}));
  EXPECT_FALSE(w->windowFlags() & Qt::WindowStaysOnTopHint) << "back to normal after the check";

  // Cancel stops at the first word and changes nothing.
  w->RichEdit->setPlainText("wrnog wrnog");
  asked.clear();
  WhenModalOpens(answer("btnCancel"));
  EXPECT_FALSE(RunSpellCheck(w->RichEdit, w->SpellChecker(), w));
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_EQ(w->EditorText(), "wrnog wrnog");

  // Suggestions are listed with the first one ready to change to.
  TfrmSpellCheck dialog;
  dialog.SetWord("tset", {"test", "set"});
  EXPECT_EQ(dialog.lstSuggestions->count(), 2);
  EXPECT_EQ(S(dialog.Replacement()), "test");
}

TEST_F(SpellCheckerTest, SendNowChecksFirstWhenAsked) {
  OptionsIni->WriteBool("Message", "SpellCheckBeforeSend", true);
  OptionsIni->WriteBool("Message", "InsertDefSig", false);
  struct NoSend : MailTaskStarter {
    void StartFetchTask(const std::string&, bool, bool) override {}
    void StartSendTask(const std::string&, const std::string&, const StringList& k) override { keys = k; }
    StringList keys;
  };
  auto starter = std::make_shared<NoSend>();
  auto previous = SetMailTaskStarter(starter);
  TfrmCompose* w = NewTo("x@example.org");
  w->RichEdit->setPlainText("wrnog");
  bool asked = false;
  WhenModalOpens([&asked](QWidget* d) {
    asked = qobject_cast<TfrmSpellCheck*>(d) != nullptr;
    d->findChild<QPushButton*>("btnIgnore")->click();
  });
  w->Command("mnuSendNow")->trigger();
  EXPECT_TRUE(asked);
  EXPECT_EQ(starter->keys.size(), 1u);
  SetMailTaskStarter(previous);
}

}  // namespace
}  // namespace qm
