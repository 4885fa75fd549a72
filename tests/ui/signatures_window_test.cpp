// The signature manager, its edit dialog and the insert picker.
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QThread>

#include "addrbook_test_support.h"
#include "contacts/signatures.h"
#include "test_support_ui.h"
#include "ui/insert_signature.h"
#include "ui/signature_edit.h"
#include "ui/signatures_window.h"

namespace qm {
namespace {

class SignaturesWindowTest : public AddrBookTestBase {
 protected:
  void SetUp() override {
    AddrBookTestBase::SetUp();
    ForceDirectories(SignaturesDir);
  }
  // Answers the next edit dialog with a name and text.
  static void WhenEditOpens(const std::string& name, const std::string& text, bool ok = true) {
    WhenModalOpens([name, text, ok](QWidget* dialog) {
      auto* edit = qobject_cast<TfrmSignature*>(dialog);
      ASSERT_NE(edit, nullptr);
      EXPECT_EQ(edit->windowTitle(), "Create/Edit signature");
      edit->edtDescription->setText(Q(name));
      edit->edtSignature->setPlainText(Q(text));
      if (ok)
        edit->btnOK->click();
      else
        edit->btnCancel->click();
    });
  }
  static void AnswerQuestion(QMessageBox::StandardButton answer, std::string* text = nullptr) {
    WhenModalOpens([answer, text](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      if (text) *text = S(box->windowTitle() + "|" + box->text());
      box->button(answer)->click();
    });
  }
  static StringList Text(const std::string& name) {
    StringList lines;
    LoadSignature(name, lines);
    return lines;
  }
  static std::vector<std::string> Names(const TfrmSignatures& w) { return Column(w.lstSignatures); }
};

TEST_F(SignaturesWindowTest, TheFirstSignatureCreatedBecomesTheDefaultTheSecondDoesNot) {
  TfrmSignatures w;
  EXPECT_EQ(w.windowTitle(), "Manage signatures");
  EXPECT_FALSE(w.btnProperties->isEnabled());
  EXPECT_FALSE(w.btnDelete->isEnabled());
  WhenEditOpens("Work", "Ann Smith\nAcme Ltd");
  w.btnAddClick();
  EXPECT_EQ(GetDefaultSignature(), "Work");
  EXPECT_EQ(Text("Work"), (StringList{"Ann Smith", "Acme Ltd"}));
  WhenEditOpens("Home", "Ann");
  w.btnAddClick();
  EXPECT_EQ(GetDefaultSignature(), "Work");
  EXPECT_EQ(Names(w), (std::vector<std::string>{"Work", "Home"}));
  EXPECT_TRUE(w.btnProperties->isEnabled());

  WhenEditOpens("Never", "text", false);
  w.btnAddClick();
  EXPECT_FALSE(SignatureExists("Never")) << "cancelled";
}

TEST_F(SignaturesWindowTest, ANameThatExistsIgnoringCaseIsRefusedAndTheDialogStaysOpen) {
  ASSERT_TRUE(CreateSignature("Work", {"w"}));
  TfrmSignatures w;
  bool still_open = false;
  WhenModalOpens([&still_open, this](QWidget* dialog) {
    auto* edit = qobject_cast<TfrmSignature*>(dialog);
    edit->edtDescription->setText("work");
    edit->edtSignature->setPlainText("other");
    edit->btnOK->click();
    still_open = edit->isVisible();
    EXPECT_EQ(recorder_->reports, (std::vector<std::string>{"A signature with this name already exists!"}));
    edit->btnCancel->click();
  });
  w.btnAddClick();
  EXPECT_TRUE(still_open);
  EXPECT_EQ(ListSignatures(), (StringList{"Work"}));
  EXPECT_EQ(Text("Work"), (StringList{"w"}));
}

TEST_F(SignaturesWindowTest, OkNeedsBothANameAndAText) {
  struct Case {
    const char* name;
    const char* text;
    bool ok;
  } cases[] = {{"", "", false}, {"Work", "", false}, {"", "text", false}, {"  ", "text", false}, {"Work", "t", true}};
  TfrmSignature edit(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + "|" + c.text);
    edit.edtDescription->setText(c.name);
    edit.edtSignature->setPlainText(c.text);
    EXPECT_EQ(edit.btnOK->isEnabled(), c.ok);
  }
}

TEST_F(SignaturesWindowTest, RenamingTheDefaultInPropertiesMovesTheDefaultAndKeepsTheFile) {
  ASSERT_TRUE(CreateSignature("Work", {"old"}));
  ASSERT_TRUE(CreateSignature("Home", {"home"}));
  const std::string file = GetSignatureFile("Work");
  TfrmSignatures w;
  ASSERT_EQ(w.FocusedSignature(), "Work") << "the first entry is focused";
  WhenModalOpens([](QWidget* dialog) {
    auto* edit = qobject_cast<TfrmSignature*>(dialog);
    EXPECT_EQ(edit->edtDescription->text(), "Work");
    EXPECT_EQ(edit->edtSignature->toPlainText(), "old");
    edit->edtDescription->setText("Office");
    edit->edtSignature->setPlainText("new\ntext");
    edit->btnOK->click();
  });
  w.btnPropertiesClick();
  EXPECT_EQ(GetDefaultSignature(), "Office");
  EXPECT_EQ(GetSignatureFile("Office"), file);
  EXPECT_EQ(Text("Office"), (StringList{"new", "text"}));
  EXPECT_EQ(Names(w), (std::vector<std::string>{"Office", "Home"}));

  // Renaming onto another signature's name is refused before the text is lost.
  bool still_open = false;
  WhenModalOpens([&still_open](QWidget* dialog) {
    auto* edit = qobject_cast<TfrmSignature*>(dialog);
    edit->edtDescription->setText("HOME");
    edit->btnOK->click();
    still_open = edit->isVisible();
    edit->btnCancel->click();
  });
  w.btnPropertiesClick();
  EXPECT_TRUE(still_open);
  EXPECT_EQ(ListSignatures(), (StringList{"Office", "Home"}));
}

TEST_F(SignaturesWindowTest, EditingANameInTheListRenamesItAndTheDefaultFollows) {
  ASSERT_TRUE(CreateSignature("Work", {"w"}));
  TfrmSignatures w;
  w.lstSignatures->topLevelItem(0)->setText(0, "Office");
  QApplication::processEvents();
  EXPECT_EQ(ListSignatures(), (StringList{"Office"}));
  EXPECT_EQ(GetDefaultSignature(), "Office");
  EXPECT_EQ(Text("Office"), (StringList{"w"}));
  EXPECT_EQ(Names(w), (std::vector<std::string>{"Office"}));
}

TEST_F(SignaturesWindowTest, DeleteAsksFirstAndClearsTheDefaultItNamed) {
  ASSERT_TRUE(CreateSignature("Work", {"w"}));
  ASSERT_TRUE(CreateSignature("Home", {"h"}));
  const std::string file = GetSignatureFile("Work");
  TfrmSignatures w;
  std::string question;
  AnswerQuestion(QMessageBox::No, &question);
  w.btnDeleteClick();
  EXPECT_EQ(question, "Confirmation|Are you certain you wish to delete this signature?");
  EXPECT_TRUE(SignatureExists("Work"));

  AnswerQuestion(QMessageBox::Yes);
  w.btnDeleteClick();
  EXPECT_FALSE(SignatureExists("Work"));
  EXPECT_FALSE(FileExists(file));
  EXPECT_EQ(GetDefaultSignature(), "");
  EXPECT_EQ(Names(w), (std::vector<std::string>{"Home"}));

  w.popSetDefaultClick();
  EXPECT_EQ(GetDefaultSignature(), "Home");
}

TEST_F(SignaturesWindowTest, PropertiesOfASignatureWithoutItsFileOpensNothing) {
  ASSERT_TRUE(CreateSignature("Gone", {"g"}));
  RemoveFile(GetSignatureFile("Gone"));
  TfrmSignatures w;
  bool opened = false;
  WhenModalOpens(
      [&opened](QWidget* dialog) {
        opened = true;
        static_cast<QDialog*>(dialog)->reject();
      },
      200);
  w.btnPropertiesClick();
  for (int i = 0; i < 30; ++i) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
  EXPECT_FALSE(opened);
}

TEST_F(SignaturesWindowTest, PickerPreviewsTheFocusedSignatureAndReturnsTheChosenOne) {
  ASSERT_TRUE(CreateSignature("Work", {"Ann Smith", "Acme"}));
  ASSERT_TRUE(CreateSignature("Gone", {"g"}));
  ASSERT_TRUE(CreateSignature("Home", {"Ann"}));
  RemoveFile(GetSignatureFile("Gone"));
  {
    TfrmInsertSignature w;
    EXPECT_EQ(w.windowTitle(), "Insert signature");
    EXPECT_EQ(w.FocusedSignature(), "Work");
    EXPECT_EQ(w.SignaturePreviewMemo->toPlainText(), "Ann Smith\nAcme");
    EXPECT_TRUE(w.btnOK->isEnabled());
    w.lstSignatures->setCurrentRow(1);
    EXPECT_EQ(w.SignaturePreviewMemo->toPlainText(), "") << "a missing file previews as nothing";
  }

  WhenModalOpens([](QWidget* dialog) {
    auto* w = qobject_cast<TfrmInsertSignature*>(dialog);
    w->lstSignatures->setCurrentRow(2);
    w->btnOK->click();
  });
  std::string name;
  StringList lines;
  ASSERT_TRUE(PickSignatureText(name, lines));
  EXPECT_EQ(name, "Home");
  EXPECT_EQ(lines, (StringList{"Ann"}));

  WhenModalOpens([](QWidget* dialog) {
    auto* w = qobject_cast<TfrmInsertSignature*>(dialog);
    w->lstSignatures->setCurrentRow(1);
    w->btnOK->click();
  });
  EXPECT_FALSE(PickSignatureText(name, lines)) << "nothing to insert from a missing file";
  EXPECT_TRUE(lines.empty());

  WhenModalOpens([](QWidget* dialog) { qobject_cast<TfrmInsertSignature*>(dialog)->btnCancel->click(); });
  EXPECT_FALSE(PickSignature(name));
}

TEST_F(SignaturesWindowTest, PickerWithoutSignaturesCannotBeConfirmed) {
  TfrmInsertSignature w;
  EXPECT_EQ(w.lstSignatures->count(), 0);
  EXPECT_FALSE(w.btnOK->isEnabled());
}

}  // namespace
}  // namespace qm
