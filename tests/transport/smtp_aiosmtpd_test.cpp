// SMTP client against the real aiosmtpd sink started by scripts/test-servers.
#include <gtest/gtest.h>

#include <memory>

#include "platform/file_system.h"
#include "test_support/test_servers.h"
#include "transport/lite_smtp.h"
#include "transport/socket_events.h"

namespace qm {
namespace {

class AiosmtpdSmtp : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GetSmtpTestServer(server_));
    lock_ = std::make_unique<ServerLock>(server_.mbox + ".quill-tests.lock");
    WriteFileAtomically(server_.mbox, "");
    ev_.Attach(smtp_);
    smtp_.SetServer(server_.host);
    smtp_.SetPort(server_.port);
    smtp_.SetTimeOut(10);
  }
  void TearDown() override {
    if (smtp_.Connected()) smtp_.Disconnect();
  }
  SmtpTestServer server_;
  std::unique_ptr<ServerLock> lock_;
  TLiteSMTP smtp_;
  SocketEvents ev_;
};

TEST_F(AiosmtpdSmtp, DeliversMessagesOnOneConnectionUnchanged) {
  ASSERT_TRUE(smtp_.Connect()) << (ev_.errors.empty() ? "" : ev_.errors[0].second);
  StringList first{"From: me@here.test", "To: a@x.test", "Subject: first", "",
                   "Body line", ".", "..two", ".lead", "From the start", ""};
  StringList second{"Subject: second", "", std::string(990, 'w'), "tail"};
  ASSERT_TRUE(smtp_.SendMessage(first, "me@here.test", {"a@x.test", "b@y.test"}))
      << (ev_.errors.empty() ? "" : ev_.errors[0].second);
  ASSERT_TRUE(smtp_.SendMessage(second, "other@here.test", {"c@z.test"}));
  smtp_.Disconnect();
  EXPECT_TRUE(ev_.errors.empty()) << ev_.errors[0].second;

  auto got = ReadSinkMbox(server_.mbox);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].mail_from, "me@here.test");
  EXPECT_EQ(got[0].rcpt_to, "a@x.test, b@y.test");
  // The text as given, plus the empty line the end of data adds.
  EXPECT_EQ(got[0].content, JoinLines(first) + "\r\n");
  EXPECT_EQ(got[1].mail_from, "other@here.test");
  EXPECT_EQ(got[1].rcpt_to, "c@z.test");
  EXPECT_EQ(got[1].content, JoinLines(second) + "\r\n");
}

TEST_F(AiosmtpdSmtp, NoRecipientsMeansDataIsRefused) {
  ASSERT_TRUE(smtp_.Connect());
  EXPECT_FALSE(smtp_.SendMessage({"Subject: lost"}, "me@here.test", {}));
  ASSERT_EQ(ev_.errors.size(), 1u);
  EXPECT_EQ(ev_.errors[0].first, 8);
  EXPECT_EQ(ev_.errors[0].second.substr(0, 3), "503");
  smtp_.Disconnect();
  EXPECT_TRUE(ReadSinkMbox(server_.mbox).empty());
}

}  // namespace
}  // namespace qm
