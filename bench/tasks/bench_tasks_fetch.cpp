// Fetches 1,000 messages of mixed size (2 KB to 512 KB, about 50 MB) from the
// loopback Dovecot with the fetch task, end to end: login, unique-id list,
// retrieval, parsing, rules, storing in the Inbox, UIDL.txt. The peer is mpop
// delivering the same messages to a maildir. Both leave the mail on the
// server, so every run fetches everything. Best of three runs each.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "accounts/account_settings.h"
#include "shell/app_paths.h"
#include "store/ref_list.h"
#include "transport/bench_support.h"
#include "transport/fetch_mail_task.h"
#include "transport/task_queue.h"
#include "transport/task_ui_console.h"

namespace qm::bench {
namespace {

constexpr int kMessages = 1000;

void ClearMaildir(const std::string& maildir) {
  for (const char* sub : {"new/", "cur/", "tmp/"})
    for (const DirEntry& e : ListDirectory(maildir + sub))
      if (!e.is_directory) RemoveFile(maildir + sub + e.name);
}

bool FillMaildir(const std::string& maildir, uint64_t& total) {
  ClearMaildir(maildir);
  auto sizes = MixedSizes(kMessages, 2048, 512 * 1024, 50ull * 1000 * 1000, 20261210);
  total = 0;
  for (int i = 0; i < kMessages; ++i) {
    std::string text = MakeMessage(i, sizes[i]);
    total += text.size();
    char name[64];
    std::snprintf(name, sizeof name, "1765000000.M%06d.bench", i);
    std::FILE* f = std::fopen((maildir + "tmp/" + name).c_str(), "wb");
    if (!f) return false;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    if (!RenamePath(maildir + "tmp/" + name, maildir + "new/" + name)) return false;
  }
  return true;
}

// One fetch task into a fresh data directory; seconds, or negative on failure.
double FetchOurs(const Servers& s, const std::string& home, int& stored) {
  RemoveDirectoryTree(home);
  ForceDirectories(home);
  InitialisePaths(home);
  cAccountSettings a;
  a.POP3Addr = s.pop3_host;
  a.POP3Port = std::to_string(s.pop3_port);
  a.POP3UserName = s.pop3_user;
  a.POP3Password = s.pop3_password;
  a.LeaveMailOnServer = true;
  SaveAccount("Bench", a);
  std::ofstream quiet("/dev/null");
  cConsoleTaskHost host(quiet, quiet);
  SetTaskHost(&host);
  auto start = std::chrono::steady_clock::now();
  StartFetchMail("Bench", false, true, true);
  bool ok = host.RunUntilIdle(600000);
  double secs = Seconds(start);
  SetTaskHost(nullptr);
  TQDB* db = nullptr;
  stored = 0;
  if (GetQDBForFile(MailDir + "Bench/Inbox.zqf", db)) {
    stored = db->Count();
    ReleaseQDB(db);
  }
  ReleaseSettings();
  return ok ? secs : -1;
}

double FetchMpop(const Servers& s, const std::string& work, int& files) {
  std::string out = work + "mpop-out/";
  RemoveDirectoryTree(out);
  for (const char* sub : {"new", "cur", "tmp"}) ForceDirectories(out + sub);
  RemoveFile(work + "mpop-uidls");
  std::string conf = work + "mpoprc";
  {
    std::ofstream c(conf);
    c << "defaults\n"
      << "account bench\n"
      << "host " << s.pop3_host << "\nport " << s.pop3_port << "\n"
      << "tls off\nauth user\n"
      << "user " << s.pop3_user << "\npassword " << s.pop3_password << "\n"
      << "delivery maildir " << out << "\n"
      << "keep on\nonly_new on\nreceived_header off\n"
      << "uidls_file " << work << "mpop-uidls\n"
      << "account default : bench\n";
  }
  chmod(conf.c_str(), 0600);
  std::string cmd = "mpop --quiet -C '" + conf + "' bench > '" + work + "mpop.log' 2>&1";
  auto start = std::chrono::steady_clock::now();
  int rc = std::system(cmd.c_str());
  double secs = Seconds(start);
  if (rc != 0) {
    std::fprintf(stderr, "mpop failed (%d): %s\n", rc, TryReadFileBytes(work + "mpop.log").value_or("").c_str());
    return -1;
  }
  files = 0;
  for (const char* sub : {"new/", "cur/"}) files += static_cast<int>(ListDirectory(out + sub).size());
  return secs;
}

}  // namespace
}  // namespace qm::bench

int main() {
  using namespace qm;
  using namespace qm::bench;
  Servers servers;
  if (!FindServers(servers)) {
    std::fprintf(stderr, "bench_tasks_fetch: no loopback servers (scripts/test-servers)\n");
    return 1;
  }
  uint64_t total = 0;
  if (!FillMaildir(servers.pop3_maildir, total)) {
    std::fprintf(stderr, "cannot fill %s\n", servers.pop3_maildir.c_str());
    return 1;
  }
  std::printf("fetch task: %d messages, %.1f MB in the maildir\n", kMessages, total / 1e6);
  std::string work = SystemTempDir() + "quill-bench-tasks-" + std::to_string(getpid()) + "/";
  ForceDirectories(work);
  int stored = 0;
  FetchOurs(servers, work + "home/", stored);  // warm the caches
  double best_ours = 1e9, best_mpop = 1e9;
  bool ok = true;
  for (int run = 0; run < 3 && ok; ++run) {
    double ours = FetchOurs(servers, work + "home/", stored);
    int files = 0;
    double mpop = FetchMpop(servers, work, files);
    ok = ours > 0 && mpop > 0 && stored == kMessages && files == kMessages;
    std::printf("run %d: fetch task %.3f s (%d stored), mpop %.3f s (%d files)\n", run + 1, ours, stored, mpop,
                files);
    best_ours = std::min(best_ours, ours);
    best_mpop = std::min(best_mpop, mpop);
  }
  RemoveDirectoryTree(work);
  ClearMaildir(servers.pop3_maildir);
  if (!ok) return 1;
  PrintBench("tasks_fetch_1000_to_inbox", best_ours, best_mpop, "mpop", "s", best_mpop / best_ours, ">=1.0");
  return 0;
}
