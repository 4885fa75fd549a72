// Fetches 1,000 messages of mixed size (2 KB to 2 MB, about 300 MB) from the
// loopback Dovecot into files, with TLitePOP3 and with mpop, and prints the
// ratio of their times (best of three runs each). Ours runs twice: with its
// default receives for message data and with 1 KB receives throughout. Then
// both again over implicit TLS from the TLS Dovecot on the same maildir.
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "transport/lite_pop3.h"

namespace qm::bench {
namespace {

constexpr int kMessages = 1000;

// Our client: log in, count, list the unique-ids, retrieve each message into
// its own file, quit. Returns seconds, or a negative value on failure.
double FetchOurs(const Servers& s, const std::string& out_dir, size_t receive_size, uint64_t& bytes,
                 int port, const cTlsSettings& tls = {}) {
  RemoveDirectoryTree(out_dir);
  ForceDirectories(out_dir);
  auto start = std::chrono::steady_clock::now();
  TLitePOP3 pop;
  std::string error;
  pop.OnError = [&error](TLiteSocket&, ErrorTypes, const std::string& t) { error = t; };
  pop.SetServer(s.pop3_host);
  pop.SetPort(port);
  pop.SetTls(tls);
  pop.SetDataReceiveSize(receive_size);
  if (!pop.Connect() || !pop.Login(s.pop3_user, s.pop3_password) || !pop.GetMailboxStats()) {
    std::fprintf(stderr, "ours: login failed: %s\n", error.c_str());
    return -1;
  }
  StringList ids;
  if (!pop.GetUIDLList(ids) || pop.MessageCount() != kMessages) {
    std::fprintf(stderr, "ours: %d messages, %zu ids\n", pop.MessageCount(), ids.size());
    return -1;
  }
  for (int i = 1; i <= pop.MessageCount(); ++i) {
    std::ofstream file(out_dir + std::to_string(i) + ".eml", std::ios::binary);
    if (!pop.RetrieveMessage(i, false, file)) {
      std::fprintf(stderr, "ours: message %d failed: %s\n", i, error.c_str());
      return -1;
    }
  }
  pop.Quit();
  pop.Disconnect();
  double secs = Seconds(start);
  bytes = 0;
  for (const DirEntry& e : ListDirectory(out_dir)) bytes += static_cast<uint64_t>(FileSizeOf(out_dir + e.name));
  return secs;
}

}  // namespace
}  // namespace qm::bench

int main() {
  using namespace qm;
  using namespace qm::bench;
  Servers servers;
  if (!FindServersFor("bench_transport_pop3", servers)) return 1;
  uint64_t total = 0;
  if (!FillMaildir(servers.pop3_maildir, kMessages, 2 * 1024 * 1024, 300ull * 1000 * 1000, total)) return 1;
  std::printf("pop3: %d messages, %.1f MB in the maildir\n", kMessages, total / 1e6);
  const std::string work = BenchWorkDir("pop3");
  const TlsServers tls = FindTlsServers();
  const cTlsSettings implicit{kSecurityImplicitTls, "", tls.ca_file};
  const int port = servers.pop3_port;
  uint64_t bytes = 0;
  FetchOurs(servers, work + "ours/", TLitePOP3::kDefaultDataReceiveSize, bytes, port);  // warm the caches
  double best_1k = 1e9, best_64k = 1e9, best_mpop = 1e9, best_tls = 1e9, best_mpop_tls = 1e9;
  bool ok = true;
  for (int run = 0; run < 3 && ok; ++run) {
    double t1 = FetchOurs(servers, work + "ours/", 1024, bytes, port);
    double t64 = FetchOurs(servers, work + "ours/", TLitePOP3::kDefaultDataReceiveSize, bytes, port);
    uint64_t mpop_bytes = 0;
    int mpop_files = 0;
    double tm = FetchMpop(servers, work, {port, false, "", false}, mpop_bytes, mpop_files);
    ok = t1 > 0 && t64 > 0 && tm > 0 && mpop_files == kMessages;
    std::printf("run %d: ours 1 KB receives %.3f s, ours default receives %.3f s, mpop %.3f s "
                "(ours %.1f MB, mpop %d files %.1f MB)\n",
                run + 1, t1, t64, tm, bytes / 1e6, mpop_files, mpop_bytes / 1e6);
    best_1k = std::min(best_1k, t1);
    best_64k = std::min(best_64k, t64);
    best_mpop = std::min(best_mpop, tm);
    if (!tls.ok || !ok) continue;
    // The same messages over implicit TLS (the TLS Dovecot serves the same maildir).
    double tt = FetchOurs(servers, work + "ours/", TLitePOP3::kDefaultDataReceiveSize, bytes, tls.pop3s_port,
                          implicit);
    double tmt = FetchMpop(servers, work, {tls.pop3s_port, true, tls.ca_file, false}, mpop_bytes, mpop_files);
    ok = tt > 0 && tmt > 0 && mpop_files == kMessages;
    std::printf("run %d over TLS: ours %.3f s (%.1f MB), mpop %.3f s (%d files %.1f MB)\n", run + 1, tt,
                bytes / 1e6, tmt, mpop_files, mpop_bytes / 1e6);
    best_tls = std::min(best_tls, tt);
    best_mpop_tls = std::min(best_mpop_tls, tmt);
  }
  RemoveDirectoryTree(work);
  ClearMaildir(servers.pop3_maildir);
  if (!ok) return 1;
  PrintBench("pop3_fetch_1000_mixed", best_64k, best_mpop, "mpop", "s", best_mpop / best_64k, ">=1.0");
  PrintBench("pop3_fetch_1000_mixed_1k_receives", best_1k, best_mpop, "mpop", "s", best_mpop / best_1k,
             ">=1.0");
  if (tls.ok)
    PrintBench("pop3_fetch_1000_mixed_tls", best_tls, best_mpop_tls, "mpop", "s", best_mpop_tls / best_tls,
               ">=1.0");
  else
    std::printf("no TLS servers in servers.env: the TLS comparison is left out\n");
  return 0;
}
