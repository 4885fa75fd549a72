// Task log files: banner, the size limit and its reset line, which protocols
// log, and a log that cannot be written.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/locale_format.h"
#include "tasks/task_test_support.h"
#include "transport/task_log.h"

namespace qm {
namespace {

class TaskLogTest : public TaskTest {
 protected:
  std::string PopLog() { return AppDir + "POP3.log"; }
};

TEST_F(TaskLogTest, BannerThenTheTaskLinesWithCrLf) {
  OptionsIni->WriteBool("Logging", "POP3", true);
  Queue("Home", [](ScriptedTask& t) {
    t.LogLine("USER quill", kLogBlue);
    t.LogLine("+OK", kLogGreen);
  });
  ASSERT_TRUE(host_->RunQueued());
  const StringList lines = SplitLines(ReadFileBytes(PopLog()));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], std::string(40, '*'));
  EXPECT_EQ(lines[2], "Server: Home");
  EXPECT_EQ(lines[3], "  Type: POP3");
  EXPECT_EQ(lines[4], "  Task: Fetch mail");
  EXPECT_EQ(lines[5], std::string(40, '*'));
  EXPECT_EQ(lines[6], "");
  EXPECT_EQ(lines[7], "USER quill");
  EXPECT_EQ(lines[8], "+OK");
  const std::string raw = ReadFileBytes(PopLog());
  EXPECT_EQ(raw.substr(raw.size() - 5), "+OK\r\n");
}

TEST_F(TaskLogTest, ALogLargerThanTheLimitIsEmptiedAtTheNextStart) {
  OptionsIni->WriteBool("Logging", "POP3", true);
  struct Case {
    size_t size;
    bool emptied;
  };
  for (const Case& c : {Case{102401, true}, Case{102400, false}}) {
    SCOPED_TRACE(c.size);
    WriteFileAtomically(PopLog(), std::string(c.size, 'x'));
    Queue("Home", [](ScriptedTask& t) { t.LogLine("+OK", kLogGreen); });
    ASSERT_TRUE(host_->RunQueued());
    const std::string data = ReadFileBytes(PopLog());
    if (c.emptied) {
      const StringList lines = SplitLines(data);
      ASSERT_GE(lines.size(), 2u);
      EXPECT_EQ(lines[0].rfind(" -= Logfile exceeds maximum size, resetting contents (", 0), 0u);
      EXPECT_EQ(lines[0].substr(lines[0].size() - 4), ") -=");
      EXPECT_EQ(lines[1], std::string(40, '*'));
      EXPECT_LT(data.size(), 1000u);
    } else {
      EXPECT_EQ(data.substr(0, c.size), std::string(c.size, 'x'));
      EXPECT_EQ(data.substr(c.size, 40), std::string(40, '*'));
    }
  }
}

TEST_F(TaskLogTest, OnlyTheProtocolsSwitchedOnWriteTheirLog) {
  OptionsIni->WriteBool("Logging", "POP3", true);
  OptionsIni->WriteBool("Logging", "SMTP", false);
  Queue("Home", [](ScriptedTask& t) { t.LogLine("+OK", kLogGreen); }, "POP3");
  Queue("Home", [](ScriptedTask& t) { t.LogLine("250 OK", kLogGreen); }, "SMTP");
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_TRUE(FileExists(AppDir + "POP3.log"));
  EXPECT_FALSE(FileExists(AppDir + "SMTP.log"));
  // The Communications view gets both.
  EXPECT_TRUE(host_->Window().LogHas("+OK"));
  EXPECT_TRUE(host_->Window().LogHas("250 OK"));
}

TEST_F(TaskLogTest, ALogThatCannotBeOpenedDoesNotStopTheTask) {
  OptionsIni->WriteBool("Logging", "POP3", true);
  ASSERT_TRUE(ForceDirectories(PopLog()));  // a directory where the file should be
  Queue("Home", Note("ran"));
  Queue("Home", Note("next"));
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_THAT(Order(), ::testing::ElementsAre("ran", "next"));
  EXPECT_EQ(host_->Window().LastState(0), kTaskDone);
  EXPECT_TRUE(host_->Window().errors.empty());
  EXPECT_FALSE(errors_->messages().empty());  // the user still learns why
}

}  // namespace
}  // namespace qm
