#include "contacts/signatures.h"

#include <gtest/gtest.h>

#include <regex>

#include "accounts/test_paths.h"
#include "contacts/recording_contacts_ui.h"
#include "platform/file_system.h"

namespace qm {
namespace {

using SignaturesTest = DataDirTest;

const char kExists[] = "A signature with this name already exists!";

TEST_F(SignaturesTest, FirstSignatureBecomesTheDefaultTheSecondDoesNot) {
  ASSERT_TRUE(CreateSignature("Work", {"Ann Example", "Example Ltd"}));
  EXPECT_EQ(GetDefaultSignature(), "Work");
  ASSERT_TRUE(CreateSignature("Home", {"Ann"}));
  EXPECT_EQ(GetDefaultSignature(), "Work");
  EXPECT_EQ(ListSignatures(), (StringList{"Work", "Home"}));

  const std::string stored = SignaturesIni->ReadString("Work", "FileName", "");
  EXPECT_TRUE(std::regex_match(stored, std::regex("Signature[0-9]{1,4}\\.sig"))) << stored;
  EXPECT_EQ(GetSignatureFile("work"), SignaturesDir + stored) << "names are looked up ignoring case";
  EXPECT_NE(GetSignatureFile("Home"), GetSignatureFile("Work"));
  EXPECT_EQ(ReadFileBytes(GetSignatureFile("Work")), "Ann Example\r\nExample Ltd\r\n");

  StringList lines;
  ASSERT_TRUE(LoadSignature("Work", lines));
  EXPECT_EQ(lines, (StringList{"Ann Example", "Example Ltd"}));
  EXPECT_TRUE(Errors().empty());
}

TEST_F(SignaturesTest, ASignatureMadeWhileThereIsNoDefaultBecomesIt) {
  ASSERT_TRUE(CreateSignature("Work", {"w"}));
  SetDefaultSignature("");
  ASSERT_TRUE(CreateSignature("Home", {"h"}));
  EXPECT_EQ(GetDefaultSignature(), "Home");
}

TEST_F(SignaturesTest, CreatingATakenNameInAnyCaseIsReported) {
  ASSERT_TRUE(CreateSignature("Work", {"original"}));
  EXPECT_FALSE(CreateSignature("work", {"other"}));
  EXPECT_EQ(Errors(), std::vector<std::string>{kExists});
  EXPECT_EQ(ListSignatures(), StringList{"Work"});
  EXPECT_EQ(SignaturePreview("Work"), StringList{"original"});
  EXPECT_EQ(ListDirectory(SignaturesDir).size(), 1u);
}

TEST_F(SignaturesTest, RenamingTheDefaultMovesTheDefaultAndKeepsTheFile) {
  ASSERT_TRUE(CreateSignature("Work", {"text"}));
  const std::string file = GetSignatureFile("Work");
  ASSERT_TRUE(ChangeSignatureName("Work", "Office"));
  EXPECT_EQ(GetDefaultSignature(), "Office");
  EXPECT_EQ(ListSignatures(), StringList{"Office"});
  EXPECT_EQ(GetSignatureFile("Office"), file);
  EXPECT_EQ(SignaturePreview("Office"), StringList{"text"});
}

TEST_F(SignaturesTest, RenamingAnotherSignatureLeavesTheDefault) {
  ASSERT_TRUE(CreateSignature("Work", {"w"}));
  ASSERT_TRUE(CreateSignature("Home", {"h"}));
  ASSERT_TRUE(ChangeSignatureName("Home", "House"));
  EXPECT_EQ(GetDefaultSignature(), "Work");
  EXPECT_EQ(ListSignatures(), (StringList{"Work", "House"}));
  // The default is recognised by exact name: "work" is not "Work".
  ASSERT_TRUE(ChangeSignatureName("Work", "work"));
  EXPECT_EQ(GetDefaultSignature(), "work");
}

TEST_F(SignaturesTest, RenamingOntoAnotherSignatureIsRefused) {
  ASSERT_TRUE(CreateSignature("Work", {"w"}));
  ASSERT_TRUE(CreateSignature("Home", {"h"}));
  EXPECT_FALSE(ChangeSignatureName("Home", "WORK"));
  EXPECT_FALSE(UpdateSignature("Home", "Work", {"changed"}));
  EXPECT_EQ(Errors(), (std::vector<std::string>{kExists, kExists}));
  EXPECT_EQ(ListSignatures(), (StringList{"Work", "Home"}));
  EXPECT_EQ(SignaturePreview("Home"), StringList{"h"});
  EXPECT_FALSE(RenameSignature("Missing", "Other"));
}

TEST_F(SignaturesTest, EditingWritesBackIntoTheSameFile) {
  ASSERT_TRUE(CreateSignature("Work", {"old"}));
  const std::string file = GetSignatureFile("Work");
  ASSERT_TRUE(UpdateSignature("Work", "Office", {"new", "text"}));
  EXPECT_EQ(GetSignatureFile("Office"), file);
  EXPECT_EQ(ReadFileBytes(file), "new\r\ntext\r\n");
  EXPECT_EQ(GetDefaultSignature(), "Office");
  EXPECT_EQ(ListDirectory(SignaturesDir).size(), 1u);
}

TEST_F(SignaturesTest, DeletingTheDefaultClearsIt) {
  ASSERT_TRUE(CreateSignature("Work", {"w"}));
  ASSERT_TRUE(CreateSignature("Home", {"h"}));
  const std::string work_file = GetSignatureFile("Work");
  DeleteSignature("Home");
  EXPECT_EQ(GetDefaultSignature(), "Work");
  DeleteSignature("Work");
  EXPECT_EQ(GetDefaultSignature(), "");
  EXPECT_TRUE(ListSignatures().empty());
  EXPECT_FALSE(FileExists(work_file));
  EXPECT_TRUE(ListDirectory(SignaturesDir).empty());
}

TEST_F(SignaturesTest, DeleteAsksFirst) {
  ASSERT_TRUE(CreateSignature("Work", {"w"}));
  RecordingContactsUi ui;
  ui.answer = false;
  EXPECT_FALSE(ConfirmAndDeleteSignature("Work", ui));
  EXPECT_EQ(ListSignatures(), StringList{"Work"});
  ui.answer = true;
  EXPECT_TRUE(ConfirmAndDeleteSignature("Work", ui));
  EXPECT_TRUE(ListSignatures().empty());
  const std::string ask = "ask Confirmation: Are you certain you wish to delete this signature? (?)";
  EXPECT_EQ(ui.calls, (std::vector<std::string>{ask, ask}));
}

TEST_F(SignaturesTest, AMissingTextFileCannotBeLoadedAndShowsNothing) {
  ASSERT_TRUE(CreateSignature("Work", {"w"}));
  ASSERT_TRUE(RemoveFile(GetSignatureFile("Work")));
  StringList lines{"stale"};
  EXPECT_FALSE(LoadSignature("Work", lines));
  EXPECT_TRUE(lines.empty());
  EXPECT_TRUE(SignaturePreview("Work").empty());
  EXPECT_FALSE(LoadSignature("Unknown", lines));
  EXPECT_TRUE(Errors().empty());
}

TEST_F(SignaturesTest, AFileThatCannotBeReadIsReported) {
  // /proc/self/mem opens but cannot be read at its start.
  const std::string saved = SignaturesDir;
  SignaturesDir = "/proc/self/";
  SignaturesIni->WriteString("Odd", "FileName", "mem");
  StringList lines{"stale"};
  EXPECT_FALSE(LoadSignature("Odd", lines));
  SignaturesDir = saved;
  EXPECT_TRUE(lines.empty());
  const std::vector<std::string> errors = Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].front(), '\'');
  EXPECT_NE(errors[0].find("' has occured while loading the signature 'Odd'"), std::string::npos) << errors[0];
}

TEST_F(SignaturesTest, AFailedWriteIsReportedAndTheFileNameKeptAllTheSame) {
  const std::string path = dir_.path() + "gone/Signature1.sig";
  EXPECT_FALSE(SaveSignature("Work", {"w"}, path));
  const std::vector<std::string> errors = Errors();
  ASSERT_EQ(errors.size(), 1u);
  const std::string& e = errors[0];
  EXPECT_EQ(e.front(), '\'');
  EXPECT_NE(e.find("' has occured while saving a signature to " + path), std::string::npos) << e;
  EXPECT_EQ(SignaturesIni->ReadString("Work", "FileName", ""), "Signature1.sig");
}

TEST_F(SignaturesTest, AHandEditedFileNameStaysInTheSignaturesDirectory) {
  WriteFileAtomically(dir_.path() + "secret.txt", "do not delete");
  SignaturesIni->WriteString("Evil", "FileName", "../secret.txt");
  EXPECT_EQ(GetSignatureFile("Evil"), SignaturesDir + "secret.txt");
  DeleteSignature("Evil");
  EXPECT_TRUE(FileExists(dir_.path() + "secret.txt"));
  EXPECT_EQ(GetSignatureFile("NoSuch"), "");
}

}  // namespace
}  // namespace qm
