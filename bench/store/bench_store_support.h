#pragma once
// Shared pieces of the store benchmarks: mail-like test data, a timer and the
// BENCH line.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace qm::bench {

inline double SecondsOf(const std::function<void()>& work, int repeats = 3) {
  double best = 1e30;
  for (int i = 0; i < repeats; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    work();
    auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
  }
  return best;
}

// ratio: ours against the peer, >= 1 meaning at least as good.
inline void BenchLine(const char* name, double ours, double peer, const char* peer_name, const char* unit,
                      double ratio, const char* goal) {
  std::printf("BENCH|%s|%.3f|%.3f|%s|%s|%.2f|%s\n", name, ours, peer, peer_name, unit, ratio, goal);
  std::fflush(stdout);
}

// One message of roughly `size` bytes: header block and a wrapped body of
// words drawn with a skewed frequency, some quoted lines and a signature.
inline std::string MailMessage(std::mt19937& rng, size_t size) {
  static const std::vector<std::string> words = [] {
    const char* base[] = {"the", "of", "and", "to", "a", "in", "is", "that", "for", "it", "as", "was", "with",
                          "be", "by", "on", "not", "he", "this", "are", "or", "his", "from", "at", "which",
                          "but", "have", "an", "had", "they", "you", "were", "their", "one", "all", "we",
                          "can", "her", "has", "there", "been", "if", "more", "when", "will", "would", "who",
                          "so", "no", "meeting", "project", "tomorrow", "attached", "please", "thanks",
                          "regards", "schedule", "report", "budget", "review", "update", "customer", "order",
                          "invoice", "delivery", "question", "answer", "server", "account", "message",
                          "Monday", "Friday", "week", "month", "office", "team", "release", "version"};
    std::vector<std::string> w(std::begin(base), std::end(base));
    std::mt19937 r(99);
    for (int i = 0; i < 400; ++i) {
      std::string s;
      int n = 3 + static_cast<int>(r() % 8);
      for (int j = 0; j < n; ++j) s.push_back(static_cast<char>('a' + r() % 26));
      w.push_back(s);
    }
    return w;
  }();
  auto word = [&] {
    // Skewed: small indices far more often.
    double u = std::uniform_real_distribution<double>(0, 1)(rng);
    size_t i = static_cast<size_t>(u * u * u * static_cast<double>(words.size()));
    return words[std::min(i, words.size() - 1)];
  };
  std::string m;
  m += "Received: from mx" + std::to_string(rng() % 50) + ".example.net (mx.example.net [192.0.2." +
       std::to_string(rng() % 255) + "])\r\n\tby mail.example.org with ESMTP id " + std::to_string(rng()) +
       "\r\n";
  m += "From: \"" + word() + " " + word() + "\" <" + word() + "@example.com>\r\n";
  m += "To: " + word() + "@example.org\r\n";
  m += "Subject: Re: " + word() + " " + word() + " " + word() + "\r\n";
  m += "Date: Thu, 10 Dec 2026 14:" + std::to_string(10 + rng() % 50) + ":00 +0100\r\n";
  m += "Message-ID: <" + std::to_string(rng()) + "." + std::to_string(rng()) + "@example.com>\r\n";
  m += "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=\"us-ascii\"\r\n\r\n";
  std::string line;
  bool quoted = false;
  while (m.size() < size) {
    if (line.empty() && rng() % 12 == 0) quoted = !quoted;
    if (line.empty() && quoted) line = "> ";
    line += word();
    if (rng() % 9 == 0) line += ",";
    if (line.size() > 68) {
      m += line + "\r\n";
      line.clear();
    } else {
      line += " ";
    }
  }
  m += "\r\n-- \r\nregards\r\n";
  return m;
}

}  // namespace qm::bench
