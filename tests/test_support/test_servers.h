#pragma once
// The real mail servers started by scripts/test-servers: where they are, a
// lock so that tests in parallel processes take turns, and helpers to fill
// Dovecot's maildir and read back the SMTP sink's mbox.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace qm {

namespace test_servers_detail {
inline bool Env(const char* name, std::string& out) {
  const char* v = std::getenv(name);
  if (!v || !*v) return false;
  out = v;
  return true;
}
inline ::testing::AssertionResult Missing(const char* name) {
  return ::testing::AssertionFailure()
         << name << " is not set: this test needs the loopback mail servers. Run "
         << "'scripts/test-servers start DIR' and 'source DIR/servers.env' first.";
}
}  // namespace test_servers_detail

struct Pop3TestServer {
  std::string host;
  int port = 0;
  std::string user;
  std::string password;
  std::string maildir;  // ends in "/"
};

struct SmtpTestServer {
  std::string host;
  int port = 0;
  std::string mbox;
};

// Use as ASSERT_TRUE(GetPop3TestServer(server)).
inline ::testing::AssertionResult GetPop3TestServer(Pop3TestServer& out) {
  using namespace test_servers_detail;
  std::string port;
  if (!Env("QUILL_POP3_HOST", out.host)) return Missing("QUILL_POP3_HOST");
  if (!Env("QUILL_POP3_PORT", port)) return Missing("QUILL_POP3_PORT");
  if (!Env("QUILL_POP3_USER", out.user)) return Missing("QUILL_POP3_USER");
  if (!Env("QUILL_POP3_PASSWORD", out.password)) return Missing("QUILL_POP3_PASSWORD");
  if (!Env("QUILL_POP3_MAILDIR", out.maildir)) return Missing("QUILL_POP3_MAILDIR");
  out.port = std::atoi(port.c_str());
  out.maildir = IncludeTrailingSlash(out.maildir);
  if (!DirectoryExists(out.maildir + "new"))
    return ::testing::AssertionFailure() << "QUILL_POP3_MAILDIR " << out.maildir << " has no new/";
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult GetSmtpTestServer(SmtpTestServer& out) {
  using namespace test_servers_detail;
  std::string port;
  if (!Env("QUILL_SMTP_HOST", out.host)) return Missing("QUILL_SMTP_HOST");
  if (!Env("QUILL_SMTP_PORT", port)) return Missing("QUILL_SMTP_PORT");
  if (!Env("QUILL_SMTP_MBOX", out.mbox)) return Missing("QUILL_SMTP_MBOX");
  out.port = std::atoi(port.c_str());
  return ::testing::AssertionSuccess();
}

// Held while a test uses a shared server, so test processes run by ctest in
// parallel do not change the maildir or the mbox under each other.
class ServerLock {
 public:
  explicit ServerLock(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ >= 0) flock(fd_, LOCK_EX);
  }
  ~ServerLock() {
    if (fd_ >= 0) {
      flock(fd_, LOCK_UN);
      close(fd_);
    }
  }
  ServerLock(const ServerLock&) = delete;
  ServerLock& operator=(const ServerLock&) = delete;

 private:
  int fd_ = -1;
};

// Removes every message Dovecot could serve (the directories stay, they
// belong to the server's mail user).
inline void ClearMaildir(const std::string& maildir) {
  for (const char* sub : {"new/", "cur/", "tmp/"})
    for (const DirEntry& e : ListDirectory(maildir + sub))
      if (!e.is_directory) RemoveFile(maildir + sub + e.name);
}

// Puts a message into new/; names sort in the order of the calls, so the
// server numbers the messages in that order.
inline void AddMaildirMessage(const std::string& maildir, const std::string& content) {
  static std::atomic<int> counter{0};
  auto now = std::chrono::system_clock::now().time_since_epoch();
  long long stamp = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
  char name[96];
  std::snprintf(name, sizeof name, "%lld.M%06dP%d.quilltest", stamp, counter.fetch_add(1),
                static_cast<int>(getpid()));
  std::string tmp = maildir + "tmp/" + name;
  FILE* f = std::fopen(tmp.c_str(), "wb");
  ASSERT_NE(f, nullptr) << "cannot write " << tmp;
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
  ASSERT_TRUE(RenamePath(tmp, maildir + "new/" + name));
}

struct SinkMessage {
  std::string mail_from;
  std::string rcpt_to;  // recipients joined with ", "
  std::string content;  // the data as received, CR LF line ends
};

// Reads the sink's mbox back (see scripts/servers/smtp_sink.py).
inline std::vector<SinkMessage> ReadSinkMbox(const std::string& path) {
  std::vector<SinkMessage> out;
  std::string data = TryReadFileBytes(path).value_or("");
  size_t pos = 0;
  SinkMessage* cur = nullptr;
  int header_lines = 0;
  while (pos < data.size()) {
    size_t lf = data.find('\n', pos);
    size_t end = lf == std::string::npos ? data.size() : lf + 1;
    std::string line = data.substr(pos, end - pos);
    pos = end;
    if (line.compare(0, 5, "From ") == 0) {
      if (cur && cur->content.size() >= 1 && cur->content.back() == '\n')
        cur->content.pop_back();  // the separating empty line
      out.emplace_back();
      cur = &out.back();
      header_lines = 0;
      continue;
    }
    if (!cur) continue;
    if (header_lines < 2) {
      std::string value = line.substr(0, line.size() - (line.back() == '\n' ? 1 : 0));
      if (value.compare(0, 19, "X-Quill-Mail-From: ") == 0) cur->mail_from = value.substr(19);
      else if (value.compare(0, 17, "X-Quill-Rcpt-To: ") == 0) cur->rcpt_to = value.substr(17);
      ++header_lines;
      continue;
    }
    size_t gt = 0;
    while (gt < line.size() && line[gt] == '>') ++gt;
    if (gt > 0 && line.compare(gt, 5, "From ") == 0) line.erase(0, 1);
    cur->content += line;
  }
  if (cur && !cur->content.empty() && cur->content.back() == '\n') cur->content.pop_back();
  return out;
}

}  // namespace qm
