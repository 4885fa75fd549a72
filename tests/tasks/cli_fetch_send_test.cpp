// quillmar-cli fetch and send against the loopback servers: status lines,
// errors and the exit status a cron job relies on.
#include <gtest/gtest.h>

#include <cstdlib>

#include "shell/password_encoding.h"
#include "tasks/server_task_support.h"
#include "transport/send_mail_task.h"

namespace qm {
namespace {

const std::string kCli = QUILL_BINARY_DIR "/src/app/quillmar-cli";

class CliFetchSendTest : public ServerTaskTest {
 protected:
  void SetUp() override {
    if (!FileExists(kCli)) GTEST_SKIP() << "quillmar-cli is not built";
    ServerTaskTest::SetUp();
  }
  struct Result {
    int rc;
    std::string out, err;
  };
  Result Run(const std::string& args) {
    const std::string out = dir_.path() + "cli.out", err = dir_.path() + "cli.err";
    const std::string cmd = "QUILLMAR_HOME='" + dir_.path() + "' '" + kCli + "' " + args + " >'" + out +
                            "' 2>'" + err + "'";
    const int rc = std::system(cmd.c_str());
    return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, TryReadFileBytes(out).value_or(""),
            TryReadFileBytes(err).value_or("")};
  }
};

TEST_F(CliFetchSendTest, FetchAllAccountsThenSend) {
  MakeAccount("Home");
  PutOnServer({"one", "two"});
  cMailMessage m;
  InitMessage(m);
  m.FromAddress = "home@example.test";
  m.To = "ann@example.test";
  m.Subject = "from cron";
  ASSERT_TRUE(AddMessageToFile(StandardMailboxPath("Home", "Unsent"), m));
  FreeMessage(m);

  Result fetch = Run("fetch");
  EXPECT_EQ(fetch.rc, 0) << fetch.err;
  EXPECT_NE(fetch.out.find("Fetching message #2 out of 2\n"), std::string::npos) << fetch.out;
  EXPECT_NE(fetch.out.find("2 new message(s)\n"), std::string::npos) << fetch.out;
  EXPECT_EQ(Subjects(Inbox()), (std::multiset<std::string>{"one", "two"}));

  Result send = Run("send Home");
  EXPECT_EQ(send.rc, 0) << send.err;
  EXPECT_NE(send.out.find("1 messages(s) sent.\n"), std::string::npos) << send.out;
  EXPECT_EQ(NewlySent().size(), 1u);
  EXPECT_EQ(Subjects(StandardMailboxPath("Home", "Sent Items")), (std::multiset<std::string>{"from cron"}));
}

TEST_F(CliFetchSendTest, FailuresExitNonZeroWithTheErrorBlock) {
  MakeAccount("Home", false, "wrong");
  struct Case {
    std::string args;
    int rc;
    std::string err;
  };
  const Case cases[] = {
      {"fetch Home", 1, "Authentication rejected\n"},
      {"fetch Nobody", 1, "quillmar-cli: no account named 'Nobody'"},
      {"fetch --oversized maybe", 2, "--oversized needs skip, fetch or erase"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    Result r = Run(c.args);
    EXPECT_EQ(r.rc, c.rc);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  // Without a stored password there is nobody to ask: a clear refusal.
  IniFile(AccountSettingsFile("Home")).WriteString("POP3", "Password", "");
  Result r = Run("fetch Home");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.err.find("no stored POP3 password"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Invalid server settings!"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace qm
