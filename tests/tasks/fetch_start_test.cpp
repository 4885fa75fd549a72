// Which accounts a mail check queues, and a fetch that cannot start.
#include <gtest/gtest.h>

#include "accounts/account_settings.h"
#include "tasks/task_test_support.h"
#include "transport/fetch_mail_task.h"

namespace qm {
namespace {

class FetchStartTest : public TaskTest {};

TEST_F(FetchStartTest, DoNotCheckMailSkipsTheAccountUnlessForced) {
  cAccountSettings s;
  s.DoNotCheckMail = true;  // and no server: a queued fetch fails at once
  SaveAccount("Quiet", s);
  StartFetchMail("Quiet", false, true, /*force=*/false);
  EXPECT_TRUE(host_->windows.empty());

  StartFetchMail("Quiet", false, true, /*force=*/true);
  ASSERT_TRUE(host_->RunQueued());
  ASSERT_EQ(host_->windows.size(), 1u);
  TaskWindowRecord& w = host_->Window();
  ASSERT_EQ(w.rows.size(), 1u);
  EXPECT_EQ(w.rows[0].server, "Quiet");
  EXPECT_EQ(w.rows[0].type, "POP3");
  EXPECT_EQ(w.rows[0].name, "Fetch mail");
  ASSERT_GE(w.errors.size(), 7u);
  EXPECT_EQ(w.errors[6], "Invalid server settings!");
  // Nothing was sent: the settings were refused before connecting.
  EXPECT_TRUE(w.log.empty());
  EXPECT_EQ(w.LastState(0), kTaskFailed);
}

}  // namespace
}  // namespace qm
