// A fetch killed at any moment loses no mail: every message is still on the
// server or already in the Inbox (or both), and the mailbox opens cleanly.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>

#include "tasks/server_task_support.h"
#include "transport/task_ui_console.h"

namespace qm {
namespace {

class FetchCrashTest : public ServerTaskTest {
 protected:
  // Runs one fetch of the account in a child process; returns its pid.
  pid_t StartFetchChild() {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // Child: a host of its own, no output.
    std::ofstream sink("/dev/null");
    cConsoleTaskHost host(sink, sink);
    SetTaskHost(&host);
    Fetch();
    host.RunUntilIdle(60000);
    _exit(host.ErrorCount() == 0 ? 0 : 3);
  }
};

TEST_F(FetchCrashTest, KilledFetchesNeverLoseMail) {
  MakeAccount("Home");
  std::set<std::string> expected;
  int next = 0;
  auto refill = [&] {
    for (size_t have = OnServer().size(); have < 15; ++have) {
      const std::string subject = "crash " + std::to_string(next++);
      AddMaildirMessage(pop3_.maildir, TestMessage(subject, "Ann <ann@example.test>", 1500));
      expected.insert(subject);
    }
  };

  // Undisturbed runs tell how long a fetch takes here (the first one is
  // slower: the server builds its indexes).
  std::chrono::microseconds full_run = std::chrono::microseconds::max();
  for (int i = 0; i < 3; ++i) {
    refill();
    auto started = std::chrono::steady_clock::now();
    pid_t pid = StartFetchChild();
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    full_run = std::min(full_run, std::chrono::duration_cast<std::chrono::microseconds>(
                                      std::chrono::steady_clock::now() - started));
    ASSERT_TRUE(OnServer().empty());
  }
  pid_t pid = 0;
  int status = 0;

  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  std::uniform_int_distribution<long> moment(0, full_run.count());
  int killed_while_running = 0;
  for (int round = 0; round < 50; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round << ", seed " << seed);
    refill();
    pid = StartFetchChild();
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    kill(pid, SIGKILL);
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    if (WIFSIGNALED(status)) ++killed_while_running;

    TQDB* db = nullptr;
    ASSERT_TRUE(GetQDBForFile(Inbox(), db));
    ReleaseQDB(db);
    ASSERT_TRUE(errors_->messages().empty()) << errors_->messages()[0];
    const auto inbox = Subjects(Inbox());
    const auto server = OnServer();
    for (const std::string& s : expected)
      ASSERT_TRUE(inbox.count(s) || server.count(s)) << s << " is lost";
  }
  RecordProperty("killed_while_running", killed_while_running);
  // Most kills must land inside a fetch, or the test proves little.
  EXPECT_GE(killed_while_running, 15);
}

}  // namespace
}  // namespace qm
