// quillmar-cli parse and import, run as a user runs them on .eml files.
#include <gtest/gtest.h>

#include <string>

#include "message/transfer_encodings.h"
#include "platform/file_system.h"
#include "store/mail_message.h"
#include "store/tqdb.h"
#include "test_support/cli_runner.h"

namespace qm {
namespace {

using Result = CliResult;

const std::string kFixtures = QUILL_FIXTURES_DIR "/message/";

class CliParseImportTest : public CliTest {
 protected:
  std::string Attachments() const { return dir_.path() + "Attachments/"; }
  // Copies a fixture into the test's folder (names with blanks on purpose).
  std::string Fixture(const std::string& name) {
    std::string copy = dir_.path() + "in " + name;
    WriteFileAtomically(copy, ReadFileBytes(kFixtures + name));
    return copy;
  }
};

TEST_F(CliParseImportTest, ParsePrintsTheRecordAndSavesAttachmentsInsideTheDataDirectory) {
  Result r = Run("parse " + ShellQuote(Fixture("rfc2231_names.eml")));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("  \"Subject\": \"names\",\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  \"FromAddress\": \"a@example.org\",\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  \"Body\": [\n    \"Three files.\"\n  ],\n"), std::string::npos) << r.out;
  // The three attachments, decoded, under the data directory's Attachments;
  // the hostile "../../.bashrc" lands there too.
  const std::string euro = Attachments() + "\xE2\x82\xAC rates.pdf";
  const std::string bashrc = Attachments() + ".bashrc";
  for (const std::string& path : {euro, bashrc}) {
    EXPECT_TRUE(FileExists(path)) << path;
    EXPECT_NE(r.out.find("\"" + path + "\""), std::string::npos) << path << "\n" << r.out;
  }
  EXPECT_EQ(ReadFileBytes(bashrc), "echo owned\r\n");
  EXPECT_EQ(ReadFileBytes(euro).substr(0, 8), "%PDF-1.4");
  EXPECT_FALSE(FileExists(dir_.path() + ".bashrc"));
  size_t listed = 0;
  for (size_t p = 0; (p = r.out.find("\"" + Attachments(), p)) != std::string::npos; ++p) ++listed;
  EXPECT_EQ(listed, 3u) << r.out;

  // Parsing the same file again numbers the new copies instead of
  // overwriting the first ones.
  Result again = Run("parse " + ShellQuote(Fixture("rfc2231_names.eml")));
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("\"" + Attachments() + ".bashrc (1)\""), std::string::npos) << again.out;
  EXPECT_EQ(ReadFileBytes(bashrc), "echo owned\r\n");
}

TEST_F(CliParseImportTest, ParseRefusesMissingFilesAndWrongUse) {
  const std::string missing = dir_.path() + "none.eml";
  Result r = Run("parse " + ShellQuote(missing));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "quillmar-cli: Cannot open file \"" + missing + "\". No such file or directory\n");
  EXPECT_EQ(Run("parse").status, 2);
  EXPECT_EQ(Run("parse a.eml b.eml").status, 2);
  // Any bytes parse: an empty file gives an empty, complete record.
  WriteFileAtomically(dir_.path() + "empty.eml", "");
  Result empty = Run("parse " + ShellQuote(dir_.path() + "empty.eml"));
  EXPECT_EQ(empty.status, 0) << empty.err;
  EXPECT_NE(empty.out.find("  \"Complete\": true,\n"), std::string::npos) << empty.out;
}

TEST_F(CliParseImportTest, ImportStoresEachFileAndNamesTheOnesItCouldNotRead) {
  ForceDirectories(dir_.path() + "Mail/Home");
  const std::string box = dir_.path() + "Mail/Home/Inbox.zqf";
  const std::string gmail = Fixture("gmail_mixed.eml"), latin1 = Fixture("latin1_text.eml");
  const std::string missing = dir_.path() + "gone.eml";
  Result r = Run("import " + ShellQuote(box) + " " + ShellQuote(gmail) + " " + ShellQuote(missing) + " " +
                 ShellQuote(latin1));
  EXPECT_EQ(r.status, 1) << "one file failed";
  EXPECT_EQ(r.err, "quillmar-cli: " + missing + ": Cannot open file \"" + missing + "\". No such file or directory\n");
  StringList lines = SplitLines(r.out);
  ASSERT_EQ(lines.size(), 2u) << r.out;
  std::string keys[2];
  const std::string files[2] = {gmail, latin1};
  for (int i = 0; i < 2; ++i) {
    size_t tab = lines[i].find('\t');
    ASSERT_NE(tab, std::string::npos) << lines[i];
    keys[i] = lines[i].substr(0, tab);
    EXPECT_EQ(lines[i].substr(tab + 1), files[i]);
  }
  EXPECT_NE(keys[0], keys[1]);

  TQDB db;
  db.SetFileName(box);
  EXPECT_EQ(db.GetKeys().size(), 2u);
  cMailMessage m;
  ASSERT_TRUE(db.FindKey(keys[0]));
  DecodeMessage(db.Get(), true, m);
  EXPECT_EQ(m.Subject, "Re: Rechnung M\xC3\xA4rz");
  EXPECT_EQ(m.Account, "Home");
  ASSERT_EQ(m.Attachments->size(), 1u);
  EXPECT_EQ(m.Attachments->front(), Attachments() + "Rechnung M\xC3\xA4rz.pdf");
  EXPECT_TRUE(FileExists(m.Attachments->front()));
  FreeMessage(m);
  ASSERT_TRUE(db.FindKey(keys[1]));
  DecodeMessage(db.Get(), true, m);
  EXPECT_EQ(m.Subject, "Gr\xC3\xBC\xC3\x9F" "e und K\xC3\xB6ln!");
  EXPECT_EQ(m.FromName, "J\xC3\xB6rg");
  FreeMessage(m);
}

TEST_F(CliParseImportTest, ImportIntoACorruptMailboxStoresNothingAndLeavesItAlone) {
  const std::string box = dir_.path() + "box.zqf";
  WriteFileAtomically(box, "not a mailbox at all, no");
  Result r = Run("import " + ShellQuote(box) + " " + ShellQuote(Fixture("latin1_text.eml")));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("is not a valid QDB file"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFileBytes(box), "not a mailbox at all, no");
  EXPECT_TRUE(!DirectoryExists(Attachments()) || ListDirectory(Attachments()).empty());
  EXPECT_EQ(Run("import " + ShellQuote(box)).status, 2);
}

}  // namespace
}  // namespace qm
