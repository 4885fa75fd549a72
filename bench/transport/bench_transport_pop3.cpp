// Fetches 1,000 messages of mixed size (2 KB to 2 MB, about 300 MB) from the
// loopback Dovecot into files, with TLitePOP3 and with mpop, and prints the
// ratio of their times (best of three runs each). Ours runs twice: with its
// default receives for message data and with 1 KB receives throughout.
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

void ClearMaildir(const std::string& maildir) {
  for (const char* sub : {"new/", "cur/", "tmp/"})
    for (const DirEntry& e : ListDirectory(maildir + sub))
      if (!e.is_directory) RemoveFile(maildir + sub + e.name);
}

bool FillMaildir(const std::string& maildir, uint64_t& total) {
  ClearMaildir(maildir);
  auto sizes = MixedSizes(kMessages, 2048, 2 * 1024 * 1024, 300ull * 1000 * 1000, 20261210);
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

// Our client: log in, count, list the unique-ids, retrieve each message into
// its own file, quit. Returns seconds, or a negative value on failure.
double FetchOurs(const Servers& s, const std::string& out_dir, size_t receive_size, uint64_t& bytes) {
  RemoveDirectoryTree(out_dir);
  ForceDirectories(out_dir);
  auto start = std::chrono::steady_clock::now();
  TLitePOP3 pop;
  std::string error;
  pop.OnError = [&error](TLiteSocket&, ErrorTypes, const std::string& t) { error = t; };
  pop.SetServer(s.pop3_host);
  pop.SetPort(s.pop3_port);
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

double FetchMpop(const Servers& s, const std::string& work, uint64_t& bytes, int& files) {
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
      << "keep on\nonly_new off\nreceived_header off\n"
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
  bytes = 0;
  files = 0;
  for (const char* sub : {"new/", "cur/"})
    for (const DirEntry& e : ListDirectory(out + sub)) {
      bytes += static_cast<uint64_t>(FileSizeOf(out + sub + e.name));
      ++files;
    }
  return secs;
}

}  // namespace
}  // namespace qm::bench

int main() {
  using namespace qm;
  using namespace qm::bench;
  Servers servers;
  if (!FindServers(servers)) {
    std::fprintf(stderr, "bench_transport_pop3: no loopback servers (scripts/test-servers)\n");
    return 1;
  }
  uint64_t total = 0;
  if (!FillMaildir(servers.pop3_maildir, total)) {
    std::fprintf(stderr, "cannot fill %s\n", servers.pop3_maildir.c_str());
    return 1;
  }
  std::printf("pop3: %d messages, %.1f MB in the maildir\n", kMessages, total / 1e6);
  std::string work = SystemTempDir() + "quill-bench-pop3-" + std::to_string(getpid()) + "/";
  ForceDirectories(work);
  uint64_t bytes = 0;
  FetchOurs(servers, work + "ours/", TLitePOP3::kDefaultDataReceiveSize, bytes);  // warm the caches
  double best_1k = 1e9, best_64k = 1e9, best_mpop = 1e9;
  bool ok = true;
  for (int run = 0; run < 3 && ok; ++run) {
    double t1 = FetchOurs(servers, work + "ours/", 1024, bytes);
    double t64 = FetchOurs(servers, work + "ours/", TLitePOP3::kDefaultDataReceiveSize, bytes);
    uint64_t mpop_bytes = 0;
    int mpop_files = 0;
    double tm = FetchMpop(servers, work, mpop_bytes, mpop_files);
    ok = t1 > 0 && t64 > 0 && tm > 0 && mpop_files == kMessages;
    std::printf("run %d: ours 1 KB receives %.3f s, ours default receives %.3f s, mpop %.3f s "
                "(ours %.1f MB, mpop %d files %.1f MB)\n",
                run + 1, t1, t64, tm, bytes / 1e6, mpop_files, mpop_bytes / 1e6);
    best_1k = std::min(best_1k, t1);
    best_64k = std::min(best_64k, t64);
    best_mpop = std::min(best_mpop, tm);
  }
  RemoveDirectoryTree(work);
  ClearMaildir(servers.pop3_maildir);
  if (!ok) return 1;
  PrintBench("pop3_fetch_1000_mixed", best_64k, best_mpop, "mpop", "s", best_mpop / best_64k, ">=1.0");
  PrintBench("pop3_fetch_1000_mixed_1k_receives", best_1k, best_mpop, "mpop", "s", best_mpop / best_1k,
             ">=1.0");
  return 0;
}
