#include "shell/log_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/file_system.h"
#include "platform/locale_format.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "test_support/recording_error_sink.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

StringList EntryTail(const StringList& lines, size_t n) { return StringList(lines.end() - static_cast<long>(n), lines.end()); }

TEST(LogFile, EntryFormat) {
  class TempDir dir;
  std::string log = dir.path() + "Errors.txt";
  ASSERT_TRUE(AppendToLogFile(log, {"line one", "line two"}));
  std::string text = ReadFileBytes(log);
  StringList lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], std::string(35, '*'));
  EXPECT_EQ(lines[1].rfind("DATE: ", 0), 0u);
  EXPECT_EQ(lines[2], "");  // the DATE line carries its own line end
  EXPECT_EQ(lines[3], "line one");
  EXPECT_EQ(lines[4], "line two");
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  ASSERT_TRUE(AppendToLogFile(log, {"again"}));
  EXPECT_EQ(SplitLines(ReadFileBytes(log)).size(), 9u);
}

TEST(LogFile, SizeRuleIsStrictlyLarger) {
  class TempDir dir;
  std::string log = dir.path() + "Errors.txt";
  for (int64_t size : {kLogSizeLimit, kLogSizeLimit + 1}) {
    std::string old(static_cast<size_t>(size - 2), 'x');
    old += "\r\n";
    WriteFileAtomically(log, old);
    ASSERT_TRUE(AppendToLogFile(log, {"message"}));
    StringList lines = SplitLines(ReadFileBytes(log));
    if (size == kLogSizeLimit) {
      ASSERT_EQ(lines.size(), 5u);
      EXPECT_EQ(lines[0].size(), static_cast<size_t>(size - 2)) << "old text kept";
    } else {
      ASSERT_EQ(lines.size(), 5u);
      EXPECT_EQ(lines[0], FormatShortDate(Now()) + " - Log File Size exceeds - flushed");
      EXPECT_EQ(EntryTail(lines, 4)[0], std::string(35, '*'));
      EXPECT_EQ(lines[4], "message");
    }
  }
}

TEST(LogFile, UnwritableLogReportsOnceAndIsNotLoggedAgain) {
  class TempDir dir;
  InitialisePaths(dir.path());
  // A directory where Errors.txt should be makes every write fail.
  ASSERT_TRUE(CreateDir(dir.path() + "Errors.txt"));
  ScopedErrorRecorder recorder;
  ReportError("'boom' has occured in AddMessage ()");
  auto messages = recorder.messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "'boom' has occured in AddMessage ()");
  EXPECT_NE(messages[1].find(" has occured while appending contents to the logfile: '" + dir.path() + "Errors.txt'"),
            std::string::npos)
      << messages[1];
  ReleaseSettings();
}

TEST(ReportError, LoggingSwitchAndQuoting) {
  class TempDir dir;
  InitialisePaths(dir.path());
  ScopedErrorRecorder recorder;
  OptionsIni->WriteBool("Logging", "Errors", false);
  ReportError("not logged");
  EXPECT_FALSE(FileExists(ErrorLogFile()));
  OptionsIni->WriteBool("Logging", "Errors", true);
  ReportError("first\r\nsecond line");
  ReportError("third");
  StringList lines = SplitLines(ReadFileBytes(ErrorLogFile()));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[3], "first");
  EXPECT_EQ(lines[4], "second line");
  EXPECT_EQ(lines[8], "third");
  EXPECT_EQ(recorder.messages().size(), 3u);
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  ReleaseSettings();
}

}  // namespace
}  // namespace qm
