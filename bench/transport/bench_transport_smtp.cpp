// Sends 300 messages of mixed size (2 KB to 2 MB) to the loopback aiosmtpd
// sink, with TLiteSMTP (one connection, as the send task does) and with msmtp
// (one run per message, as it is used), and prints the ratio of their times
// (best of three runs each). Both start from the message files on disk. Then
// both again to the TLS sink with STARTTLS and AUTH PLAIN (msmtp shakes hands
// once per message, as it is used).
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

// Where a run sends to: the plain sink, or the TLS sink with STARTTLS and a login.
struct SmtpRun {
  std::string mbox;
  int port = 0;
  bool tls = false;
  std::string ca_file, user, password;
};

double SendOurs(const Servers& s, const SmtpRun& run, const std::vector<std::string>& files, size_t send_buffer) {
  EmptyMbox(run.mbox);
  auto start = std::chrono::steady_clock::now();
  TLiteSMTP smtp;
  std::string error;
  smtp.OnError = [&error](TLiteSocket&, ErrorTypes, const std::string& t) { error = t; };
  smtp.SetServer(s.smtp_host);
  smtp.SetPort(run.port);
  smtp.SetSendBufferSize(send_buffer);
  if (run.tls) {
    smtp.SetTls({kSecurityStartTls, "", run.ca_file});
    smtp.SetAuthentication(true, run.user, run.password);
  }
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

double SendMsmtp(const Servers& s, const SmtpRun& run, const std::vector<std::string>& files,
                 const std::string& work) {
  EmptyMbox(run.mbox);
  std::string conf = work + "msmtprc";
  {
    std::ofstream c(conf);
    c << "defaults\naccount bench\n"
      << "host " << s.smtp_host << "\nport " << run.port << "\n";
    if (run.tls)
      c << "tls on\ntls_starttls on\ntls_trust_file " << run.ca_file << "\nauth plain\nuser " << run.user
        << "\npassword " << run.password << "\n";
    else
      c << "auth off\ntls off\n";
    c << "from sender@bench.test\naccount default : bench\n";
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
  if (!FindServersFor("bench_transport_smtp", servers)) return 1;
  const std::string work = BenchWorkDir("smtp");
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
  const SmtpRun plain{servers.smtp_mbox, servers.smtp_port};
  const TlsServers tls = FindTlsServers();
  const SmtpRun secured{tls.smtp_mbox, tls.smtp_starttls_port, true, tls.ca_file, tls.smtp_user, tls.smtp_password};
  SendOurs(servers, plain, files, 65536);  // warm up
  double best_batched = 1e9, best_lines = 1e9, best_msmtp = 1e9, best_tls = 1e9, best_msmtp_tls = 1e9;
  bool ok = true;
  for (int run = 0; run < 3 && ok; ++run) {
    double tb = SendOurs(servers, plain, files, 65536);
    int nb = CountMboxMessages(plain.mbox);
    double tl = SendOurs(servers, plain, files, 0);
    int nl = CountMboxMessages(plain.mbox);
    double tm = SendMsmtp(servers, plain, files, work);
    int nm = CountMboxMessages(plain.mbox);
    ok = tb > 0 && tl > 0 && tm > 0 && nb == kMessages && nl == kMessages && nm == kMessages;
    std::printf("run %d: ours batched %.3f s (%d), ours line by line %.3f s (%d), msmtp %.3f s (%d)\n",
                run + 1, tb, nb, tl, nl, tm, nm);
    best_batched = std::min(best_batched, tb);
    best_lines = std::min(best_lines, tl);
    best_msmtp = std::min(best_msmtp, tm);
    if (!tls.ok || !ok) continue;
    // STARTTLS and AUTH PLAIN on the TLS sink.
    double tt = SendOurs(servers, secured, files, 65536);
    int nt = CountMboxMessages(secured.mbox);
    double tmt = SendMsmtp(servers, secured, files, work);
    int nmt = CountMboxMessages(secured.mbox);
    ok = tt > 0 && tmt > 0 && nt == kMessages && nmt == kMessages;
    std::printf("run %d with STARTTLS and a login: ours %.3f s (%d), msmtp %.3f s (%d)\n", run + 1, tt, nt, tmt,
                nmt);
    best_tls = std::min(best_tls, tt);
    best_msmtp_tls = std::min(best_msmtp_tls, tmt);
  }
  EmptyMbox(plain.mbox);
  if (tls.ok) EmptyMbox(secured.mbox);
  RemoveDirectoryTree(work);
  if (!ok) return 1;
  PrintBench("smtp_send_300_mixed", best_batched, best_msmtp, "msmtp", "s", best_msmtp / best_batched,
             ">=1.0");
  PrintBench("smtp_send_300_mixed_line_by_line", best_lines, best_msmtp, "msmtp", "s",
             best_msmtp / best_lines, ">=1.0");
  if (tls.ok)
    PrintBench("smtp_send_300_mixed_starttls_auth", best_tls, best_msmtp_tls, "msmtp", "s",
               best_msmtp_tls / best_tls, ">=1.0");
  else
    std::printf("no TLS servers in servers.env: the TLS comparison is left out\n");
  return 0;
}
