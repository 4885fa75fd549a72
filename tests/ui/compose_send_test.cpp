// "Send now" from the compose window, end to end: the message goes through
// the send task to the aiosmtpd sink of the test servers, lands in Sent
// Items, and the message it answers is marked.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTextEdit>

#include "compose_test_support.h"
#include "tasks/recording_task_host.h"
#include "test_support/test_servers.h"
#include "transport/task_starter.h"

namespace qm {
namespace {

class ComposeSendTest : public ComposeTest {
 protected:
  void SetUp() override {
    ComposeTest::SetUp();
    ASSERT_TRUE(GetSmtpTestServer(smtp_));
    lock_ = std::make_unique<ServerLock>(smtp_.mbox + ".quill-tests.lock");
    sink_before_ = ReadSinkMbox(smtp_.mbox).size();
    cAccountSettings s = LoadAccount("Home");
    s.SMTPAddr = smtp_.host;
    s.SMTPPort = std::to_string(smtp_.port);
    s.SMTPTimeout = "10";
    SaveAccount("Home", s);
    host_ = std::make_unique<RecordingTaskHost>();
    previous_ = SetMailTaskStarter(std::make_shared<cTaskStarter>());
  }
  void TearDown() override {
    host_.reset();
    SetMailTaskStarter(previous_);
    ComposeTest::TearDown();
  }
  std::vector<SinkMessage> NewlySent() {
    auto all = ReadSinkMbox(smtp_.mbox);
    return std::vector<SinkMessage>(all.begin() + std::min(all.size(), sink_before_), all.end());
  }

  SmtpTestServer smtp_;
  std::unique_ptr<ServerLock> lock_;
  size_t sink_before_ = 0;
  std::unique_ptr<RecordingTaskHost> host_;
  std::shared_ptr<MailTaskStarter> previous_;
};

TEST_F(ComposeSendTest, SendNowReachesTheServerAndMarksTheAnsweredMessage) {
  std::string ref = StoreSource("Hello");
  std::string file = dir.path() + "notes.txt";
  WriteFileAtomically(file, "abc");
  QPointer<TfrmCompose> w = Reply(ref);
  w->edtTo->setText("carl@example.org, dan@example.org");
  w->Command("mnuViewBCC")->setChecked(true);
  w->edtBCC->setText("hidden@example.org");
  w->RichEdit->insertPlainText("My answer");
  w->AddAttachmentFile(file);
  w->Command("mnuSendNow")->trigger();
  Pump(20);
  EXPECT_TRUE(w.isNull()) << "Send now closes the window";
  ASSERT_TRUE(host_->RunQueued());

  const auto sent = NewlySent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].mail_from, "bob@example.org");
  EXPECT_EQ(sent[0].rcpt_to, "carl@example.org, dan@example.org, hidden@example.org");
  const std::string& text = sent[0].content;
  EXPECT_NE(text.find("From: Bob Jones <bob@example.org>\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Subject: Re: Hello\r\n"), std::string::npos);
  EXPECT_NE(text.find("Organization: Acme\r\n"), std::string::npos);
  EXPECT_NE(text.find("My answer"), std::string::npos);
  EXPECT_NE(text.find("> line one"), std::string::npos);
  EXPECT_NE(text.find("name=\"notes.txt\""), std::string::npos);
  EXPECT_NE(text.find("YWJj"), std::string::npos) << "the attachment in Base64";
  EXPECT_EQ(text.find("hidden@example.org"), std::string::npos) << "BCC stays in the envelope";

  EXPECT_TRUE(StoredMessages(Mailbox("Unsent")).empty());
  auto sent_items = StoredMessages(Mailbox("Sent Items"));
  ASSERT_EQ(sent_items.size(), 1u);
  EXPECT_EQ(sent_items[0].msg.Subject, "Re: Hello");
  auto inbox = StoredMessages(Mailbox("Inbox"));
  ASSERT_EQ(inbox.size(), 1u);
  EXPECT_TRUE(inbox[0].msg.Answered);
}

}  // namespace
}  // namespace qm
