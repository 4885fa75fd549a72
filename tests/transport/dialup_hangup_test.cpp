// Dropping the dial-up line through a fake nmcli put first on the PATH: what
// it is asked to do for each state of the active connections.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

#include "platform/file_system.h"
#include "platform/text_lines.h"
#include "shell/app_paths.h"
#include "test_support/recording_error_sink.h"
#include "test_support/temp_dir.h"
#include "transport/dialup_hangup.h"

namespace qm {

// Installs a fake nmcli that logs its arguments and prints `active` for
// "connection show", exiting with the given statuses; restores PATH after.
class FakeNmcli {
 public:
  FakeNmcli(const std::string& dir, const std::string& active, int show_status = 0, int down_status = 0)
      : log_(dir + "nmcli.log"), old_path_(std::getenv("PATH") ? std::getenv("PATH") : "") {
    WriteFileAtomically(dir + "active.txt", active);
    std::string script = "#!/bin/sh\necho \"$*\" >> '" + log_ + "'\n" +
                         "case \"$*\" in\n"
                         "  *'connection show'*) cat '" + dir + "active.txt'; exit " + std::to_string(show_status) +
                         ";;\n"
                         "  *'connection down'*) exit " + std::to_string(down_status) + ";;\n"
                         "esac\nexit 0\n";
    WriteFileAtomically(dir + "nmcli", script);
    chmod((dir + "nmcli").c_str(), 0755);
    setenv("PATH", (dir + ":" + old_path_).c_str(), 1);
  }
  ~FakeNmcli() { setenv("PATH", old_path_.c_str(), 1); }
  StringList Calls() const { return LoadLinesFromFile(log_); }

 private:
  std::string log_;
  std::string old_path_;
};

namespace {

const char kShow[] = "-t -f UUID,TYPE,NAME connection show --active";

TEST(DialUpTest, HangUpAsksForTheOneDialUpConnection) {
  struct Case {
    const char* name;
    std::string active;
    int show_status;
    StringList expected_calls;
  } cases[] = {
      {"one modem line", "1111-aa:gsm:My Provider\n0000-ee:802-3-ethernet:Wired\n", 0,
       {kShow, "connection down uuid 1111-aa"}},
      {"pppoe line with an escaped colon in its name", "2222-bb:pppoe:DSL\\: home\n", 0,
       {kShow, "connection down uuid 2222-bb"}},
      {"no dial-up line", "0000-ee:802-3-ethernet:Wired\n3333-cc:loopback:lo\n", 0, {kShow}},
      {"two dial-up lines: which one is not known", "1111-aa:gsm:A\n2222-bb:cdma:B\n", 0, {kShow}},
      {"listing fails", "", 10, {kShow}},
  };
  for (const Case& c : cases) {
    class TempDir dir;
    FakeNmcli fake(dir.path(), c.active, c.show_status);
    ASSERT_TRUE(LoadRasLibrary()) << c.name;
    ScopedErrorRecorder errors;
    HangUpNow();
    EXPECT_EQ(fake.Calls(), c.expected_calls) << c.name;
    EXPECT_TRUE(errors.messages().empty()) << c.name;
  }
}

TEST(DialUpTest, FailedHangUpIsReported) {
  class TempDir dir;
  FakeNmcli fake(dir.path(), "1111-aa:gsm:My Provider\n", 0, 4);
  ASSERT_TRUE(LoadRasLibrary());
  ScopedErrorRecorder errors;
  HangUpNow();
  ASSERT_EQ(errors.messages().size(), 1u);
  EXPECT_NE(errors.messages()[0].find("My Provider"), std::string::npos);
  EXPECT_NE(errors.messages()[0].find("' has occured while going offline."), std::string::npos);
}

TEST(DialUpTest, WithoutNmcliNothingIsAvailable) {
  class TempDir dir;
  std::string old_path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", dir.path().c_str(), 1);
  EXPECT_FALSE(LoadRasLibrary());
  EXPECT_FALSE(RasAvailable());
  ScopedErrorRecorder errors;
  HangUpNow();
  std::vector<cDialUpConnection> lines;
  EXPECT_FALSE(EnumDialUpConnections(lines));
  setenv("PATH", old_path.c_str(), 1);
  EXPECT_TRUE(errors.messages().empty());
}

TEST(DialUpTest, TerseFieldsUnescape) {
  EXPECT_EQ(SplitTerseLine("a\\:b:c\\\\d:"), (std::vector<std::string>{"a:b", "c\\d", ""}));
}

}  // namespace
}  // namespace qm
