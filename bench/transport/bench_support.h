#pragma once
// Shared parts of the transport benchmarks: the loopback servers (those named
// by servers.env variables, or a pair started for the run), timing, and
// deterministic test messages of mixed size.
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

inline void PrintBench(const std::string& name, double ours, double peer, const std::string& peer_name,
                       const std::string& unit, double ratio, const std::string& goal) {
  std::printf("BENCH|%s|%.3f|%.3f|%s|%s|%.3f|%s\n", name.c_str(), ours, peer, peer_name.c_str(),
              unit.c_str(), ratio, goal.c_str());
  std::fflush(stdout);
}

}  // namespace qm::bench
