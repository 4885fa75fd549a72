// POP3 client against the real Dovecot started by scripts/test-servers.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "platform/file_system.h"
#include "test_support/temp_dir.h"
#include "test_support/test_servers.h"
#include "transport/lite_pop3.h"
#include "transport/socket_events.h"

namespace qm {
namespace {

// What the client must store for a message file: the server sends CR LF line
// ends; the stored text ends without the final line end.
std::string StoredForm(const std::string& file_text) {
  std::string crlf;
  crlf.reserve(file_text.size() + file_text.size() / 16);
  for (size_t i = 0; i < file_text.size(); ++i) {
    if (file_text[i] == '\n' && (i == 0 || file_text[i - 1] != '\r')) crlf.push_back('\r');
    crlf.push_back(file_text[i]);
  }
  if (crlf.size() >= 2 && crlf.compare(crlf.size() - 2, 2, "\r\n") == 0) crlf.resize(crlf.size() - 2);
  return crlf;
}

class DovecotPop3 : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GetPop3TestServer(server_));
    lock_ = std::make_unique<ServerLock>(server_.maildir + "../quill-tests.lock");
    ClearMaildir(server_.maildir);
    ev_.Attach(pop_);
    pop_.SetServer(server_.host);
    pop_.SetPort(server_.port);
    pop_.SetTimeOut(10);
  }
  void TearDown() override {
    if (pop_.Connected()) pop_.Disconnect();
    if (lock_) ClearMaildir(server_.maildir);
  }
  std::vector<std::string> AddFixtures() {
    std::vector<std::string> texts;
    for (const DirEntry& e : ListDirectory(std::string(QUILL_FIXTURES_DIR) + "/pop3/")) {
      if (ExtractFileExt(e.name) != ".eml") continue;
      texts.push_back(ReadFileBytes(std::string(QUILL_FIXTURES_DIR) + "/pop3/" + e.name));
      AddMaildirMessage(server_.maildir, texts.back());
    }
    return texts;
  }
  bool ConnectAndLogin() {
    return pop_.Connect() && pop_.Login(server_.user, server_.password);
  }

  Pop3TestServer server_;
  std::unique_ptr<ServerLock> lock_;
  TLitePOP3 pop_;
  SocketEvents ev_;
};

TEST_F(DovecotPop3, FetchesEveryMessageExactlyAsStored) {
  auto texts = AddFixtures();
  ASSERT_EQ(texts.size(), 3u);
  ASSERT_TRUE(ConnectAndLogin()) << (ev_.errors.empty() ? "" : ev_.errors[0].second);
  EXPECT_EQ(pop_.WelcomingMessage().substr(0, 3), "+OK");
  ASSERT_TRUE(pop_.GetMailboxStats());
  EXPECT_EQ(pop_.MessageCount(), 3);
  StringList ids;
  ASSERT_TRUE(pop_.GetUIDLList(ids));
  ASSERT_EQ(ids.size(), 3u);
  EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), 3u);
  for (const std::string& id : ids) EXPECT_FALSE(id.empty());
  for (int i = 0; i < 3; ++i) {
    std::ostringstream out;
    ASSERT_TRUE(pop_.RetrieveMessage(i + 1, false, out)) << "message " << i + 1;
    EXPECT_EQ(out.str(), StoredForm(texts[i])) << "message " << i + 1;
  }
  // Header only: the header lines and the empty line that ends them.
  std::ostringstream head;
  ASSERT_TRUE(pop_.RetrieveMessage(2, true, head));
  std::string expected = StoredForm(texts[1]);
  EXPECT_EQ(head.str(), expected.substr(0, expected.find("\r\n\r\n") + 2));
  EXPECT_TRUE(pop_.Quit());
  EXPECT_TRUE(ev_.errors.empty());
  EXPECT_EQ(ev_.AllTraffic().find(server_.password), std::string::npos);
  EXPECT_EQ(ev_.AllTraffic().find("Lunch on Thursday"), std::string::npos) << "contents not logged";
}

TEST_F(DovecotPop3, WrongPasswordIsRefusedWithoutAnError) {
  ASSERT_TRUE(pop_.Connect());
  EXPECT_FALSE(pop_.Login(server_.user, "not-the-password"));
  EXPECT_TRUE(ev_.errors.empty());
  EXPECT_EQ(ev_.AllTraffic().find("not-the-password"), std::string::npos);
  EXPECT_NE(ev_.AllTraffic().find("PASS ********"), std::string::npos);
}

TEST_F(DovecotPop3, DeletedMessagesAreGoneAfterQuit) {
  AddMaildirMessage(server_.maildir, "Subject: one\n\nfirst\n");
  AddMaildirMessage(server_.maildir, "Subject: two\n\nsecond\n");
  ASSERT_TRUE(ConnectAndLogin());
  StringList before;
  ASSERT_TRUE(pop_.GetUIDLList(before));
  ASSERT_EQ(before.size(), 2u);
  EXPECT_TRUE(pop_.DeleteFromServer(1));
  EXPECT_FALSE(pop_.DeleteFromServer(1)) << "a deleted message cannot be deleted again";
  EXPECT_FALSE(pop_.DeleteFromServer(7));
  EXPECT_TRUE(pop_.Quit());
  pop_.Disconnect();

  ASSERT_TRUE(ConnectAndLogin());
  ASSERT_TRUE(pop_.GetMailboxStats());
  EXPECT_EQ(pop_.MessageCount(), 1);
  StringList after;
  ASSERT_TRUE(pop_.GetUIDLList(after));
  EXPECT_EQ(after, StringList{before[1]});
  std::ostringstream out;
  ASSERT_TRUE(pop_.RetrieveMessage(1, false, out));
  EXPECT_EQ(out.str(), "Subject: two\r\n\r\nsecond");
}

TEST_F(DovecotPop3, LargeMessageStreamsToAFile) {
  // About 6 MB with many period lines.
  std::string text = "Subject: big\n\n";
  for (int i = 0; i < 80000; ++i) {
    text += (i % 7 == 0) ? "." : (i % 11 == 0 ? ".leading period " : "line ");
    text += std::string(60, static_cast<char>('a' + i % 26)) + "\n";
  }
  AddMaildirMessage(server_.maildir, text);
  ASSERT_TRUE(ConnectAndLogin());
  TempDir dir;
  // In 1 KB receives and in the default larger ones.
  for (size_t receive : {size_t{1024}, TLitePOP3::kDefaultDataReceiveSize}) {
    std::string path = dir.path() + "message" + std::to_string(receive) + ".tmp";
    int64_t last_progress = 0;
    int progress_events = 0;
    int listed = -1;
    pop_.SetDataReceiveSize(receive);
    pop_.OnBeforeBody = [&](TLitePOP3&, int size) { listed = size; };
    pop_.BodyFetchProgress = [&](TLitePOP3&, int64_t pos, int) {
      EXPECT_GE(pos, last_progress);
      last_progress = pos;
      ++progress_events;
    };
    {
      std::ofstream file(path, std::ios::binary);
      ASSERT_TRUE(pop_.RetrieveMessage(1, false, file));
    }
    EXPECT_EQ(ReadFileBytes(path), StoredForm(text)) << receive;
    EXPECT_GT(listed, static_cast<int>(text.size()));  // the server counts CR LF
    EXPECT_GE(progress_events, static_cast<int>(text.size() / receive) / 2) << receive;
    EXPECT_EQ(pop_.ReceiveSize(), TLiteSocket::kDefaultReceiveSize) << "replies keep their size";
  }
}

}  // namespace
}  // namespace qm
