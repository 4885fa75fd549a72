#pragma once
// Shared parts of the transport and task benchmarks: the loopback servers
// (those named by servers.env variables, or a set started for the run),
// timing, deterministic test messages of mixed size, a maildir filled with
// them, and mpop fetching them as the peer.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace qm::bench {

struct Servers {
  std::string pop3_host, pop3_user, pop3_password, pop3_maildir;
  int pop3_port = 0;
  std::string smtp_host, smtp_mbox;
  int smtp_port = 0;
  std::string started_state;  // non-empty when this run started them

  ~Servers() {
    if (!started_state.empty()) {
      std::string cmd = std::string("'") + QUILL_SOURCE_DIR + "/scripts/test-servers' stop '" +
                        started_state + "'";
      if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "stopping the servers failed\n");
      RemoveDirectoryTree(started_state);
    }
  }
};

inline std::string EnvOr(const char* name, const std::string& fallback = "") {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

// Reads the servers from the environment, or starts a pair and reads their env file.
inline bool FindServers(Servers& s) {
  if (EnvOr("QUILL_POP3_PORT").empty() || EnvOr("QUILL_SMTP_PORT").empty()) {
    std::string state = SystemTempDir() + "quill-bench-servers-" + std::to_string(getpid());
    std::string cmd = std::string("'") + QUILL_SOURCE_DIR + "/scripts/test-servers' start '" + state + "'";
    if (std::system(cmd.c_str()) != 0) return false;
    s.started_state = state;
    for (const std::string& line : LoadLinesFromFile(state + "/servers.env")) {
      // export NAME=value
      size_t eq = line.find('=');
      if (line.rfind("export ", 0) != 0 || eq == std::string::npos) continue;
      setenv(line.substr(7, eq - 7).c_str(), line.substr(eq + 1).c_str(), 1);
    }
  }
  s.pop3_host = EnvOr("QUILL_POP3_HOST");
  s.pop3_port = std::atoi(EnvOr("QUILL_POP3_PORT").c_str());
  s.pop3_user = EnvOr("QUILL_POP3_USER");
  s.pop3_password = EnvOr("QUILL_POP3_PASSWORD");
  s.pop3_maildir = IncludeTrailingSlash(EnvOr("QUILL_POP3_MAILDIR"));
  s.smtp_host = EnvOr("QUILL_SMTP_HOST");
  s.smtp_port = std::atoi(EnvOr("QUILL_SMTP_PORT").c_str());
  s.smtp_mbox = EnvOr("QUILL_SMTP_MBOX");
  // Never anything but loopback.
  auto loopback = [](const std::string& h) { return h.rfind("127.", 0) == 0 || h == "::1"; };
  return s.pop3_port > 0 && s.smtp_port > 0 && loopback(s.pop3_host) && loopback(s.smtp_host);
}

// The TLS servers of the same run (scripts/test-servers starts them beside
// the plain ones); `ok` is false when servers.env names none.
struct TlsServers {
  bool ok = false;
  std::string ca_file;
  int pop3s_port = 0;
  int smtp_starttls_port = 0;
  std::string smtp_user, smtp_password, smtp_mbox;
};

inline TlsServers FindTlsServers() {
  TlsServers t;
  t.ca_file = EnvOr("QUILL_TLS_CA_FILE");
  t.pop3s_port = std::atoi(EnvOr("QUILL_POP3S_PORT").c_str());
  t.smtp_starttls_port = std::atoi(EnvOr("QUILL_SMTP_STARTTLS_PORT").c_str());
  t.smtp_user = EnvOr("QUILL_SMTP_TLS_USER");
  t.smtp_password = EnvOr("QUILL_SMTP_TLS_PASSWORD");
  t.smtp_mbox = EnvOr("QUILL_SMTP_TLS_MBOX");
  t.ok = !t.ca_file.empty() && t.pop3s_port > 0 && t.smtp_starttls_port > 0 && !t.smtp_user.empty() &&
         !t.smtp_mbox.empty();
  return t;
}

// FindServers, saying on standard error when there are none.
inline bool FindServersFor(const char* bench, Servers& s) {
  if (FindServers(s)) return true;
  std::fprintf(stderr, "%s: no loopback servers (scripts/test-servers)\n", bench);
  return false;
}

// A fresh scratch directory of this process for one benchmark ("pop3").
inline std::string BenchWorkDir(const std::string& topic) {
  std::string work = SystemTempDir() + "quill-bench-" + topic + "-" + std::to_string(getpid()) + "/";
  ForceDirectories(work);
  return work;
}

inline double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// `count` sizes between `lo` and `hi` bytes, log-uniform, scaled so that
// they add up to about `total`.
inline std::vector<size_t> MixedSizes(int count, size_t lo, size_t hi, uint64_t total, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(std::log(double(lo)), std::log(double(hi)));
  std::vector<double> raw(count);
  double sum = 0;
  for (double& r : raw) sum += (r = std::exp(u(rng)));
  std::vector<size_t> sizes(count);
  for (int i = 0; i < count; ++i) {
    double scaled = raw[i] * double(total) / sum;
    sizes[i] = static_cast<size_t>(std::clamp(scaled, double(lo), double(hi)));
  }
  return sizes;
}

// A plain-text message of about `size` bytes, LF line ends, with a period at
// the start of some lines so byte-stuffing is exercised.
inline std::string MakeMessage(int index, size_t size) {
  std::string m;
  m.reserve(size + 200);
  m += "From: Bench Sender <sender@bench.test>\n";
  m += "To: Bench Receiver <receiver@bench.test>\n";
  m += "Subject: Benchmark message " + std::to_string(index) + "\n";
  m += "Date: Thu, 10 Dec 2026 12:00:00 +0000\n";
  m += "Message-ID: <bench-" + std::to_string(index) + "@bench.test>\n";
  m += "MIME-Version: 1.0\nContent-Type: text/plain; charset=us-ascii\n\n";
  static const char kWords[] = "the quick brown fox jumps over the lazy dog and keeps running ";
  int line = 0;
  while (m.size() < size) {
    std::string l = (line % 40 == 7) ? "." : "";
    while (l.size() < 72) l += kWords[(line * 7 + l.size()) % (sizeof kWords - 1)];
    m += l;
    m += '\n';
    ++line;
  }
  return m;
}

inline void ClearMaildir(const std::string& maildir) {
  for (const char* sub : {"new/", "cur/", "tmp/"})
    for (const DirEntry& e : ListDirectory(maildir + sub))
      if (!e.is_directory) RemoveFile(maildir + sub + e.name);
}

// Replaces what the maildir holds with `count` messages of mixed size up to
// `max_size` bytes, about `total_goal` bytes in all; `total` is what it got.
inline bool FillMaildir(const std::string& maildir, int count, size_t max_size, uint64_t total_goal,
                        uint64_t& total) {
  ClearMaildir(maildir);
  auto sizes = MixedSizes(count, 2048, max_size, total_goal, 20261210);
  total = 0;
  for (int i = 0; i < count; ++i) {
    std::string text = MakeMessage(i, sizes[i]);
    total += text.size();
    char name[64];
    std::snprintf(name, sizeof name, "1765000000.M%06d.bench", i);
    std::FILE* f = std::fopen((maildir + "tmp/" + name).c_str(), "wb");
    bool written = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (f) std::fclose(f);
    if (!written || !RenamePath(maildir + "tmp/" + name, maildir + "new/" + name)) {
      std::fprintf(stderr, "cannot fill %s\n", maildir.c_str());
      return false;
    }
  }
  return true;
}

// How mpop reaches the server: plain on the POP3 port, or implicit TLS
// (port and the CA to trust).
struct MpopRun {
  int port = 0;
  bool tls = false;
  std::string ca_file;
  bool only_new = false;  // asks for the unique-id list, as a fetch that keeps mail does
};

// mpop delivering everything on the server to a fresh maildir under `work`,
// keeping the mail there. Seconds, or negative on failure; `bytes` and
// `files` are what it delivered.
inline double FetchMpop(const Servers& s, const std::string& work, const MpopRun& run, uint64_t& bytes,
                        int& files) {
  std::string out = work + "mpop-out/";
  RemoveDirectoryTree(out);
  for (const char* sub : {"new", "cur", "tmp"}) ForceDirectories(out + sub);
  RemoveFile(work + "mpop-uidls");
  std::string conf = work + "mpoprc";
  {
    std::FILE* c = std::fopen(conf.c_str(), "wb");
    if (!c) return -1;
    std::string text = "defaults\naccount bench\nhost " + s.pop3_host + "\nport " + std::to_string(run.port) + "\n";
    text += run.tls ? "tls on\ntls_starttls off\ntls_trust_file " + run.ca_file + "\n" : "tls off\n";
    text += "auth user\nuser " + s.pop3_user + "\npassword " + s.pop3_password + "\n";
    text += "delivery maildir " + out + "\nkeep on\nonly_new " + std::string(run.only_new ? "on" : "off") +
            "\nreceived_header off\nuidls_file " + work + "mpop-uidls\naccount default : bench\n";
    std::fwrite(text.data(), 1, text.size(), c);
    std::fclose(c);
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

inline void PrintBench(const std::string& name, double ours, double peer, const std::string& peer_name,
                       const std::string& unit, double ratio, const std::string& goal) {
  std::printf("BENCH|%s|%.3f|%.3f|%s|%s|%.3f|%s\n", name.c_str(), ours, peer, peer_name.c_str(),
              unit.c_str(), ratio, goal.c_str());
  std::fflush(stdout);
}

}  // namespace qm::bench
