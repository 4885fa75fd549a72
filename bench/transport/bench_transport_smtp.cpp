// Sends 300 messages of mixed size (2 KB to 2 MB) to the loopback aiosmtpd
// sink, with TLiteSMTP (one connection, as the send task does) and with msmtp
// (one run per message, as it is used), and prints the ratio of their times
// (best of three runs each). Both start from the message files on disk.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/text_lines.h"
#include "transport/lite_smtp.h"

namespace qm::bench {
namespace {

constexpr int kMessages = 300;

void EmptyMbox(const std::string& path) {
  if (truncate(path.c_str(), 0) != 0) std::fprintf(stderr, "cannot empty %s\n", path.c_str());
}

int CountMboxMessages(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  int n = 0;
  while (std::getline(in, line))
    if (line.rfind("X-Quill-Mail-From: ", 0) == 0) ++n;
  return n;
}

double SendOurs(const Servers& s, const std::vector<std::string>& files, size_t send_buffer) {
  EmptyMbox(s.smtp_mbox);
  auto start = std::chrono::steady_clock::now();
  TLiteSMTP smtp;
  std::string error;
  smtp.OnError = [&error](TLiteSocket&, ErrorTypes, const std::string& t) { error = t; };
  smtp.SetServer(s.smtp_host);
  smtp.SetPort(s.smtp_port);
  smtp.SetSendBufferSize(send_buffer);
  if (!smtp.Connect()) {
    std::fprintf(stderr, "ours: connect failed: %s\n", error.c_str());
    return -1;
  }
  for (const std::string& f : files) {
    StringList lines = SplitLines(ReadFileBytes(f));
    if (!smtp.SendMessage(lines, "sender@bench.test", {"receiver@bench.test"})) {
      std::fprintf(stderr, "ours: %s failed: %s\n", f.c_str(), error.c_str());
      return -1;
    }
  }
  smtp.Disconnect();
  return Seconds(start);
}

double SendMsmtp(const Servers& s, const std::vector<std::string>& files, const std::string& work) {
  EmptyMbox(s.smtp_mbox);
  std::string conf = work + "msmtprc";
  {
    std::ofstream c(conf);
    c << "defaults\naccount bench\n"
      << "host " << s.smtp_host << "\nport " << s.smtp_port << "\n"
      << "auth off\ntls off\nfrom sender@bench.test\n"
      << "account default : bench\n";
  }
  chmod(conf.c_str(), 0600);
  auto start = std::chrono::steady_clock::now();
  for (const std::string& f : files) {
    std::string cmd = "msmtp -C '" + conf + "' receiver@bench.test < '" + f + "' 2>>'" + work + "msmtp.log'";
    if (std::system(cmd.c_str()) != 0) {
      std::fprintf(stderr, "msmtp failed on %s: %s\n", f.c_str(),
                   TryReadFileBytes(work + "msmtp.log").value_or("").c_str());
      return -1;
    }
  }
  return Seconds(start);
}

}  // namespace
}  // namespace qm::bench

int main() {
  using namespace qm;
  using namespace qm::bench;
  Servers servers;
  if (!FindServers(servers)) {
    std::fprintf(stderr, "bench_transport_smtp: no loopback servers (scripts/test-servers)\n");
    return 1;
  }
  std::string work = SystemTempDir() + "quill-bench-smtp-" + std::to_string(getpid()) + "/";
  ForceDirectories(work);
  // Line ends as the outgoing assembly writes them; lines stay under 998 bytes.
  auto sizes = MixedSizes(kMessages, 2048, 2 * 1024 * 1024, 90ull * 1000 * 1000, 20261211);
  std::vector<std::string> files;
  uint64_t total = 0;
  for (int i = 0; i < kMessages; ++i) {
    std::string text = MakeMessage(i, sizes[i]);
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 70);
    for (char c : text) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    total += crlf.size();
    files.push_back(work + std::to_string(i) + ".eml");
    WriteFileAtomically(files.back(), crlf);
  }
  std::printf("smtp: %d messages, %.1f MB\n", kMessages, total / 1e6);
  SendOurs(servers, files, 65536);  // warm up
  double best_batched = 1e9, best_lines = 1e9, best_msmtp = 1e9;
  bool ok = true;
  for (int run = 0; run < 3 && ok; ++run) {
    double tb = SendOurs(servers, files, 65536);
    int nb = CountMboxMessages(servers.smtp_mbox);
    double tl = SendOurs(servers, files, 0);
    int nl = CountMboxMessages(servers.smtp_mbox);
    double tm = SendMsmtp(servers, files, work);
    int nm = CountMboxMessages(servers.smtp_mbox);
    ok = tb > 0 && tl > 0 && tm > 0 && nb == kMessages && nl == kMessages && nm == kMessages;
    std::printf("run %d: ours batched %.3f s (%d), ours line by line %.3f s (%d), msmtp %.3f s (%d)\n",
                run + 1, tb, nb, tl, nl, tm, nm);
    best_batched = std::min(best_batched, tb);
    best_lines = std::min(best_lines, tl);
    best_msmtp = std::min(best_msmtp, tm);
  }
  EmptyMbox(servers.smtp_mbox);
  RemoveDirectoryTree(work);
  if (!ok) return 1;
  PrintBench("smtp_send_300_mixed", best_batched, best_msmtp, "msmtp", "s", best_msmtp / best_batched,
             ">=1.0");
  PrintBench("smtp_send_300_mixed_line_by_line", best_lines, best_msmtp, "msmtp", "s",
             best_msmtp / best_lines, ">=1.0");
  return 0;
}
