// The summary at the end of a run.
#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "tasks/task_test_support.h"
#include "transport/task_queue.h"

namespace qm {
namespace {

TEST(RunSummaryTest, TextSoundsAndNewMailCount) {
  struct Case {
    const char* what;
    bool fetch, send, errors, suppress;
    int new_messages, sent, count_before;
    std::string text;
    bool new_mail_sound, sent_sound;
    int count_after;
  };
  const Case cases[] = {
      {"fetch of 3 with 2 waiting", true, false, false, false, 3, 0, 2, "5 new message(s)", true, false, 5},
      {"empty fetch and a send of 2", true, true, false, false, 0, 2, 0, "No new messages, 2 messages(s) sent.",
       false, true, 0},
      {"fetch of 1 and a send", true, true, false, false, 1, 1, 0, "1 new message(s), 1 messages(s) sent.", true,
       false, 1},
      {"send only", false, true, false, false, 0, 4, 7, "4 messages(s) sent.", false, true, 7},
      {"preview only", false, false, false, false, 0, 0, 3, "Tasks done", false, false, 3},
      {"errors", true, false, true, false, 2, 0, 3, "Errors occured during task execution!", false, false, 0},
      {"errors suppressed", true, false, true, true, 2, 0, 3, "5 new message(s)", true, false, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cTaskQueue q(nullptr);
    q.FetchDone = c.fetch;
    q.SendDone = c.send;
    q.HasErrors = c.errors;
    q.NewMessageCount = c.new_messages;
    q.SentCount = c.sent;
    const cRunSummary r = BuildRunSummary(q, c.count_before, c.suppress);
    EXPECT_EQ(r.Text, c.text);
    EXPECT_EQ(r.PlayNewMail, c.new_mail_sound);
    EXPECT_EQ(r.PlayMailSent, c.sent_sound);
    EXPECT_EQ(r.NewMailCount, c.count_after);
  }
}

class RunSummaryTrayTest : public TaskTest {};

TEST_F(RunSummaryTrayTest, NewMailSetsTheTrayTipAndTheCount) {
  host_->new_mail = 2;
  Queue("Home", [](ScriptedTask& t) {
    t.Synchronize([] {
      TasksWindow->FetchDone = true;
      TasksWindow->NewMessageCount += 3;
    });
  });
  ASSERT_TRUE(host_->RunQueued());
  EXPECT_EQ(host_->main_status.back(), " 5 new message(s)");
  EXPECT_EQ(host_->new_mail, 5);
  ASSERT_FALSE(host_->tray.empty());
  EXPECT_EQ(host_->tray.back().first, TTrayState::NewMail);
  EXPECT_EQ(host_->tray.back().second, "5 new email(s)");
  EXPECT_TRUE(host_->SoundPlayed("NewMailSound"));
}

}  // namespace
}  // namespace qm

#include "transport/task_sound.h"

namespace qm {
namespace {

TEST_F(RunSummaryTrayTest, EventSoundFiles) {
  OptionsIni->WriteString("Sounds", "NewMailSound", "$APPDIR/sounds/new.wav");
  EXPECT_EQ(EventSoundFile("NewMailSound", false), ExcludeTrailingSlash(AppDir) + "/sounds/new.wav");
  EXPECT_EQ(EventSoundFile("MailSentSound", false), "");
  EXPECT_EQ(EventSoundFile("/usr/share/sounds/ding.wav", true), "/usr/share/sounds/ding.wav");
}

}  // namespace
}  // namespace qm
