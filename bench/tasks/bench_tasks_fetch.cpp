// Fetches 1,000 messages of mixed size (2 KB to 512 KB, about 50 MB) from the
// loopback Dovecot with the fetch task, end to end: login, unique-id list,
// retrieval, parsing, rules, storing in the Inbox, UIDL.txt. The peer is mpop
// delivering the same messages to a maildir. Both leave the mail on the
// server, so every run fetches everything. Best of three runs each; then both
// again over implicit TLS from the TLS Dovecot on the same maildir.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "accounts/account_settings.h"
#include "platform/tls_channel.h"
#include "shell/app_paths.h"
#include "store/ref_list.h"
#include "transport/bench_support.h"
#include "transport/fetch_mail_task.h"
#include "transport/task_queue.h"
#include "transport/task_ui_console.h"

namespace qm::bench {
namespace {

constexpr int kMessages = 1000;

// One fetch task into a fresh data directory; seconds, or negative on failure.
// With `tls_port`, over implicit TLS to that port.
double FetchOurs(const Servers& s, const std::string& home, int& stored, int tls_port = 0) {
  RemoveDirectoryTree(home);
  ForceDirectories(home);
  InitialisePaths(home);
  cAccountSettings a;
  a.POP3Addr = s.pop3_host;
  a.POP3Port = std::to_string(tls_port ? tls_port : s.pop3_port);
  a.POP3Security = tls_port ? kSecurityImplicitTls : kSecurityNone;
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

}  // namespace
}  // namespace qm::bench

int main() {
  using namespace qm;
  using namespace qm::bench;
  Servers servers;
  if (!FindServersFor("bench_tasks_fetch", servers)) return 1;
  uint64_t total = 0;
  if (!FillMaildir(servers.pop3_maildir, kMessages, 512 * 1024, 50ull * 1000 * 1000, total)) return 1;
  std::printf("fetch task: %d messages, %.1f MB in the maildir\n", kMessages, total / 1e6);
  const std::string work = BenchWorkDir("tasks");
  const TlsServers tls = FindTlsServers();
  // The task trusts the test CA the way the tests do.
  if (tls.ok) setenv(kExtraCaFileVariable, tls.ca_file.c_str(), 1);
  int stored = 0;
  FetchOurs(servers, work + "home/", stored);  // warm the caches
  double best_ours = 1e9, best_mpop = 1e9, best_tls = 1e9, best_mpop_tls = 1e9;
  bool ok = true;
  for (int run = 0; run < 3 && ok; ++run) {
    double ours = FetchOurs(servers, work + "home/", stored);
    int files = 0;
    uint64_t bytes = 0;
    double mpop = FetchMpop(servers, work, {servers.pop3_port, false, "", true}, bytes, files);
    ok = ours > 0 && mpop > 0 && stored == kMessages && files == kMessages;
    std::printf("run %d: fetch task %.3f s (%d stored), mpop %.3f s (%d files)\n", run + 1, ours, stored, mpop,
                files);
    best_ours = std::min(best_ours, ours);
    best_mpop = std::min(best_mpop, mpop);
    if (!tls.ok || !ok) continue;
    double ours_tls = FetchOurs(servers, work + "home/", stored, tls.pop3s_port);
    double mpop_tls = FetchMpop(servers, work, {tls.pop3s_port, true, tls.ca_file, true}, bytes, files);
    ok = ours_tls > 0 && mpop_tls > 0 && stored == kMessages && files == kMessages;
    std::printf("run %d over TLS: fetch task %.3f s (%d stored), mpop %.3f s (%d files)\n", run + 1, ours_tls,
                stored, mpop_tls, files);
    best_tls = std::min(best_tls, ours_tls);
    best_mpop_tls = std::min(best_mpop_tls, mpop_tls);
  }
  RemoveDirectoryTree(work);
  ClearMaildir(servers.pop3_maildir);
  if (!ok) return 1;
  PrintBench("tasks_fetch_1000_to_inbox", best_ours, best_mpop, "mpop", "s", best_mpop / best_ours, ">=1.0");
  if (tls.ok)
    PrintBench("tasks_fetch_1000_to_inbox_tls", best_tls, best_mpop_tls, "mpop", "s", best_mpop_tls / best_tls,
               ">=1.0");
  else
    std::printf("no TLS servers in servers.env: the TLS comparison is left out\n");
  return 0;
}
