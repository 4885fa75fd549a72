#include "shell/command_line.h"

#include <gtest/gtest.h>

#include "shell/hand_off.h"
#include "platform/file_system.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

struct CmdCase {
  std::vector<std::string> args;
  bool has;
  std::string address, subject, attach;
};

TEST(CommandLine, Table) {
  const CmdCase cases[] = {
      {{}, false, "", "", ""},
      {{"-newmail", "mailto:Ann@Example.COM?subject=Hello World"}, true, "ann@example.com", "hello world", ""},
      {{"-NEWMAIL", "mailto:bob@x.org"}, true, "bob@x.org", "", ""},
      {{"-NewMail", "MAILTO:a@b?Subject=X"}, true, "a@b", "x", ""},
      {{"-newmail"}, true, "", "", ""},                          // nothing to split
      {{"-newmail", "mail"}, true, "", "", ""},                  // shorter than 7 characters
      {{"-newmail", "xxxxxxxa@b?subject=s?subject=t"}, true, "a@b", "s?subject=t", ""},  // first 7 dropped whatever
      {{"-newmail", "mailto:a@b?cc=c@d&subject=s"}, true, "a@b?cc=c@d&subject=s", "", ""},  // only "?subject="
      {{"-newmail", "mailto:a%20b@c"}, true, "a%20b@c", "", ""},  // no percent decoding
      {{"/Home/U/Report.PDF"}, true, "", "", "/home/u/report.pdf"},
      {{"/a/First.txt", "/b/Second.TXT"}, true, "", "", "/b/second.txt"},  // last wins
      {{"--weird"}, true, "", "", "--weird"},
      {{"/f.txt", "-newmail", "mailto:x@y"}, true, "x@y", "", "/f.txt"},
  };
  for (const auto& c : cases) {
    CommandLineInfo info = ParseCommandLine(c.args);
    std::string label = c.args.empty() ? "(none)" : c.args.front();
    EXPECT_EQ(info.has_command_line, c.has) << label;
    EXPECT_EQ(info.address, c.address) << label;
    EXPECT_EQ(info.subject, c.subject) << label;
    EXPECT_EQ(info.attach, c.attach) << label;
  }
}

TEST(HandOff, FileRoundTripDeletesTheFile) {
  class TempDir dir;
  std::string path = dir.path() + "Temp_info.ini";
  CommandLineInfo info;
  info.has_command_line = true;
  info.address = "a@b";
  WriteHandOffFile(path, info);
  EXPECT_EQ(ReadFileBytes(path), "[Msg]\r\nAddress=a@b\r\nSubject=\r\nAttach=\r\n");
  auto back = TakeHandOffFile(path);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->address, "a@b");
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(TakeHandOffFile(path).has_value()) << "a vanished file is no request";
}

}  // namespace
}  // namespace qm
