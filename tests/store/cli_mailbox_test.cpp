#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "store/tqdb.h"
#include "test_support/cli_runner.h"

namespace qm {
namespace {

using Result = CliResult;

class CliMailboxTest : public CliTest {
 protected:
  std::string Box() const { return ShellQuote(dir_.path() + "box.zqf"); }
};

TEST_F(CliMailboxTest, PutGetKeysDeleteRoundTrip) {
  const std::string binary("line one\r\n\0\x01\xff tail", 17);
  EXPECT_EQ(Run("mailbox put " + Box() + " 42", binary).status, 0);
  EXPECT_EQ(Run("mailbox put " + Box() + " 7", "seven").status, 0);
  Result keys = Run("mailbox keys " + Box());
  EXPECT_EQ(keys.status, 0);
  EXPECT_EQ(keys.out, "42\n7\n");
  Result got = Run("mailbox get " + Box() + " 42");
  EXPECT_EQ(got.status, 0);
  EXPECT_EQ(got.out, binary);
  // put on an existing key replaces the body.
  EXPECT_EQ(Run("mailbox put " + Box() + " 7", "SEVEN!").status, 0);
  EXPECT_EQ(Run("mailbox get " + Box() + " 7").out, "SEVEN!");
  EXPECT_EQ(Run("mailbox compress " + Box()).status, 0);
  EXPECT_EQ(Run("mailbox pack " + Box()).status, 0);
  EXPECT_EQ(Run("mailbox get " + Box() + " 42").out, binary);
  EXPECT_EQ(Run("mailbox delete " + Box() + " 42").status, 0);
  EXPECT_EQ(Run("mailbox keys " + Box()).out, "7\n");
  // The file is an ordinary mailbox for the engine.
  TQDB db;
  db.SetFileName(dir_.path() + "box.zqf");
  EXPECT_EQ(db.GetKeys(), (StringList{"7"}));
  EXPECT_EQ(db.Get(), "SEVEN!");
}

TEST_F(CliMailboxTest, ProtectedFilesNeedThePassword) {
  EXPECT_EQ(Run("mailbox put " + Box() + " 1 --password s3cret", "hidden").status, 0);
  EXPECT_EQ(ReadFileBytes(dir_.path() + "box.zqf").find("hidden"), std::string::npos);
  EXPECT_EQ(Run("mailbox get --password s3cret " + Box() + " 1").out, "hidden");
  for (const std::string& extra : {std::string(), std::string(" --password wrong")}) {
    Result r = Run("mailbox get " + Box() + " 1" + extra);
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.err, "quillmar-cli: The password you have provided is invalid\n");
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(CliMailboxTest, ErrorsCarryTheEngineText) {
  const std::string missing = dir_.path() + "none.zqf";
  struct Case {
    std::string args;
    std::string err;
  } cases[] = {
      {"mailbox keys " + ShellQuote(missing), "quillmar-cli: Could not find the file " + missing + "\n"},
      {"mailbox get " + Box() + " 99", "quillmar-cli: The key '99' does not exist\n"},
      {"mailbox delete " + Box() + " 99", "quillmar-cli: The key '99' does not exist\n"},
  };
  ASSERT_EQ(Run("mailbox put " + Box() + " 1", "x").status, 0);
  for (const auto& c : cases) {
    Result r = Run(c.args);
    EXPECT_NE(r.status, 0) << c.args;
    EXPECT_EQ(r.err, c.err) << c.args;
  }
  EXPECT_FALSE(FileExists(missing));
  WriteFileAtomically(dir_.path() + "junk.zqf", "not a mailbox");
  Result junk = Run("mailbox keys " + ShellQuote(dir_.path() + "junk.zqf"));
  EXPECT_NE(junk.status, 0);
  EXPECT_EQ(junk.err, "quillmar-cli: The file " + dir_.path() + "junk.zqf is not a valid QDB file\n");
  EXPECT_EQ(ReadFileBytes(dir_.path() + "junk.zqf"), "not a mailbox");
  for (const char* bad : {"mailbox", "mailbox keys", "mailbox frob x.zqf", "mailbox get x.zqf"})
    EXPECT_EQ(Run(bad).status, 2) << bad;
}

}  // namespace
}  // namespace qm
