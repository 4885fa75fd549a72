// quillmar-cli message and tree commands, run as a user runs them.
#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "store/mail_message.h"
#include "store/tqdb.h"
#include "test_support/cli_runner.h"

namespace qm {
namespace {

using Result = CliResult;

class AccessCliTest : public CliTest {
 protected:
  std::string Box() const { return dir_.path() + "box.zqf"; }
};

TEST_F(AccessCliTest, AddListShowRoundTrip) {
  const std::string record =
      "{\"Key\": \"ignored\", \"Subject\": \"Caf\\u00e9 \\ud83d\\ude00 \\\"q\\\"\", \"From\": \"Ann <a@x.org>\",\n"
      " \"Read\": true, \"IsHTML\": true, \"Date\": 45000.25, \"Size\": 321, \"Reserved\": -4,\n"
      " \"Headers\": [\"Subject: x\"], \"Body\": [\"line 1\", \"\", \"tab\\there\"], \"Attachments\": [\"/tmp/a b.pdf\"]}";
  Result added = Run("message add " + ShellQuote(Box()), record);
  ASSERT_EQ(added.status, 0) << added.err;
  const std::string key = added.out.substr(0, added.out.size() - 1);
  Result second = Run("message add " + ShellQuote(Box()), "{\"Subject\": \"two\"}");
  ASSERT_EQ(second.status, 0) << second.err;

  // The stored item is an ordinary record.
  {
    TQDB db;
    db.SetFileName(Box());
    ASSERT_TRUE(db.FindKey(key));
    cMailMessage m;
    DecodeMessage(db.Get(), true, m);
    EXPECT_EQ(m.Subject, "Caf\xC3\xA9 \xF0\x9F\x98\x80 \"q\"");
    EXPECT_TRUE(m.Read && m.IsHTML && m.HasAttachments);
    EXPECT_EQ(m.Size, 321);
    EXPECT_EQ(m.Reserved, -4);
    EXPECT_EQ(*m.Body, (StringList{"line 1", "", "tab\there"}));
    EXPECT_EQ(*m.Attachments, StringList{"/tmp/a b.pdf"});
  }

  Result list = Run("message list " + ShellQuote(Box()));
  ASSERT_EQ(list.status, 0) << list.err;
  StringList lines = SplitLines(list.out);
  ASSERT_EQ(lines.size(), 2u);
  const std::string& line = lines[0].find("\"two\"") == std::string::npos ? lines[0] : lines[1];
  EXPECT_EQ(line,
            "{\"Key\":\"" + key +
                "\",\"Subject\":\"Caf\xC3\xA9 \xF0\x9F\x98\x80 \\\"q\\\"\",\"From\":\"Ann <a@x.org>\",\"FromName\":\"\","
                "\"FromAddress\":\"\",\"ReplyTo\":\"\",\"To\":\"\",\"CC\":\"\",\"BCC\":\"\",\"MessageID\":\"\","
                "\"Account\":\"\",\"IsHTML\":true,\"Read\":true,\"Complete\":false,\"HasAttachments\":true,"
                "\"Answered\":false,\"ReservedFlag\":false,\"SourceRef\":\"\",\"Organization\":\"\","
                "\"Date\":45000.25,\"Reserved\":-4,\"Size\":321}");

  Result show = Run("message show " + ShellQuote(Box()) + " " + key);
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_NE(show.out.find("  \"Key\": \"" + key + "\",\n"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("  \"Body\": [\n    \"line 1\",\n    \"\",\n    \"tab\\there\"\n  ],\n"), std::string::npos)
      << show.out;
  // What show prints can be added again as it is.
  Result again = Run("message add " + ShellQuote(dir_.path() + "copy.zqf"), show.out);
  ASSERT_EQ(again.status, 0) << again.err;
  const std::string copy_key = again.out.substr(0, again.out.size() - 1);
  Result copy = Run("message show " + ShellQuote(dir_.path() + "copy.zqf") + " " + copy_key);
  auto without_key = [](std::string text, const std::string& k) {
    return text.replace(text.find("\"Key\": \"" + k + "\""), 9 + k.size(), "");
  };
  EXPECT_EQ(without_key(copy.out, copy_key), without_key(show.out, key));
}

TEST_F(AccessCliTest, BadInputIsRefusedWithoutTouchingTheMailbox) {
  struct Case {
    std::string args;
    std::string input;
    std::string err;
  } cases[] = {
      {"message add BOX", "{\"Bogus\": 1}", "quillmar-cli: record.json: unknown member \"Bogus\"\n"},
      {"message add BOX", "{\"Read\": \"yes\"}", "quillmar-cli: record.json: \"Read\" must be true or false\n"},
      {"message add BOX", "{\"Size\": 1.5}", "quillmar-cli: record.json: \"Size\" must be a 32-bit integer\n"},
      {"message add BOX", "{\"Body\": [1]}", "quillmar-cli: record.json: \"Body\" must be an array of strings\n"},
      {"message add BOX", "[\"x\"]", "quillmar-cli: record.json: an object expected\n"},
      {"message add BOX", "{\"Subject\": \"open", "quillmar-cli: record.json: unterminated string at offset 17\n"},
      {"message add BOX", "{} extra", "quillmar-cli: record.json: unexpected text after the value at offset 3\n"},
      {"message list BOX", "", "quillmar-cli: Could not find the file BOX\n"},
      {"message show BOX", "", ""},
      {"message frob BOX", "", "quillmar-cli: unknown message command 'frob'\n"},
  };
  for (Case c : cases) {
    SCOPED_TRACE(c.args + " " + c.input);
    auto put_box = [&](std::string s) {
      for (size_t p; (p = s.find("BOX")) != std::string::npos;) s.replace(p, 3, Box());
      return s;
    };
    Result r = Run(put_box(c.args), c.input);
    EXPECT_NE(r.status, 0);
    if (!c.err.empty()) {
      EXPECT_EQ(r.err, put_box(c.err));
    }
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(FileExists(Box()));
  }
  // A corrupt mailbox is reported with the engine's text.
  WriteFileAtomically(Box(), "not a mailbox at all, no");
  Result r = Run("message list " + ShellQuote(Box()));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("'The file " + Box() + " is not a valid QDB file' has occured in GetQDBForFile ()"),
            std::string::npos)
      << r.err;
}

TEST_F(AccessCliTest, TreeShowsCachedOrRecountedCounters) {
  ForceDirectories(dir_.path() + "Mail/Home/Arch.FLD");
  ForceDirectories(dir_.path() + "Mail/Local.FLD");
  ASSERT_EQ(Run("message add " + ShellQuote(dir_.path() + "Mail/Home/Inbox.zqf"), "{\"Read\": false}").status, 0);
  ASSERT_EQ(Run("message add " + ShellQuote(dir_.path() + "Mail/Home/Inbox.zqf"), "{\"Read\": true}").status, 0);
  SaveLinesToFile(dir_.path() + "Mailboxes.txt", {"Home/Inbox.zqf", "5", "9"});
  Result cached = Run("tree");
  ASSERT_EQ(cached.status, 0) << cached.err;
  EXPECT_EQ(cached.out,
            "Quillmar\n  Local\n  Home\n    Inbox  5/9\n    Unsent  0/0\n    Unfinished  0/0\n"
            "    Sent Items  0/0\n    Trash  0/0\n    Arch\n");
  Result recount = Run("tree --recount");
  EXPECT_NE(recount.out.find("    Inbox  1/2\n"), std::string::npos) << recount.out;
  EXPECT_FALSE(FileExists(dir_.path() + "Mail/Home/Unsent.zqf")) << "listing creates no mailbox";
  EXPECT_EQ(LoadLinesFromFile(dir_.path() + "Mailboxes.txt"), (StringList{"Home/Inbox.zqf", "5", "9"}));
}

}  // namespace
}  // namespace qm
