// A body search over many stored messages against `grep -r -i -l` over the
// same messages kept as one plain file each (a maildir copy).
//
// QUILL_BENCH_FIND_COUNT sets the number of messages (default 100000, about
// 1 GB of bodies); QUILL_BENCH_FIND_DIR the scratch directory (default: the
// system temp dir); QUILL_BENCH_FIND_ROUNDS the timed rounds (default 3; more
// when profiling). The data is removed afterwards.
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "message/message_search.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "store/folder_tree.h"
#include "store/folder_tree_scan.h"
#include "store/message_store.h"
#include "store/ref_list.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

const char* const kWords[] = {"meeting", "report", "figures", "tomorrow", "project", "budget", "please",
                              "attached", "review", "schedule", "thanks", "regards", "update", "office",
                              "customer", "invoice", "delivery", "question", "answer", "morning"};

// Scratch data removed at the end: no need for the atomic, synced write.
void WritePlainFile(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
}

}  // namespace

int main() {
  using namespace qm;
  const int count = std::getenv("QUILL_BENCH_FIND_COUNT") ? std::atoi(std::getenv("QUILL_BENCH_FIND_COUNT")) : 100000;
  const int rounds = std::getenv("QUILL_BENCH_FIND_ROUNDS") ? std::atoi(std::getenv("QUILL_BENCH_FIND_ROUNDS")) : 3;
  std::string base = std::getenv("QUILL_BENCH_FIND_DIR") ? std::getenv("QUILL_BENCH_FIND_DIR") : SystemTempDir();
  base = IncludeTrailingSlash(base) + "quill-bench-find-" + std::to_string(::getpid()) + "/";
  ForceDirectories(base + "app/");
  ForceDirectories(base + "maildir/cur/");
  InitialisePaths(base + "app/");
  ForceDirectories(MailDir + "Bench/");

  // Bodies of about 10 KB; one message in 97 holds the needle.
  std::mt19937 rng(42);
  const int per_box = 20000;
  auto gen_start = Clock::now();
  long long bytes = 0;
  int planted = 0;
  for (int box = 0; box * per_box < count; ++box) {
    const std::string path = MailDir + "Bench/Box" + std::to_string(box) + ".zqf";
    CreateEmptyMailbox(path);
    TQDB* db = nullptr;
    if (!GetQDBForFile(path, db)) return 1;
    for (int i = box * per_box; i < count && i < (box + 1) * per_box; ++i) {
      cMailMessage msg;
      InitMessage(msg);
      msg.Subject = "Message " + std::to_string(i);
      msg.From = "Sender " + std::to_string(i % 50) + " <s" + std::to_string(i % 50) + "@example.invalid>";
      msg.FromName = "Sender";
      std::string file_text = "From: " + msg.From + "\r\nSubject: " + msg.Subject + "\r\n\r\n";
      size_t body_bytes = 0;
      while (body_bytes < 10000) {
        std::string line;
        while (line.size() < 70) {
          line += kWords[rng() % 20];
          line += ' ';
        }
        if (i % 97 == 0 && body_bytes > 5000 && body_bytes < 5100) line += "Zanzibar ";
        body_bytes += line.size() + 2;
        file_text += line + "\r\n";
        msg.Body->push_back(std::move(line));
      }
      if (i % 97 == 0) ++planted;
      bytes += static_cast<long long>(file_text.size());
      TKey key;
      if (!AddMessage(*db, msg, false, nullptr, key)) return 1;
      WritePlainFile(base + "maildir/cur/" + std::to_string(i) + ".eml", file_text);
      FreeMessage(msg);
    }
    ReleaseQDB(db);
  }
  std::printf("generated %d messages (%.0f MB of text) in %.1f s; %d hold the needle\n", count, bytes / 1e6,
              Seconds(gen_start), planted);
  BuildFolderTree();

  auto ours = [&] {
    int hits = 0;
    cMessageSearch search({"zanzibar", false, false, true}, [&](const cSearchHit&) { ++hits; });
    auto t = Clock::now();
    search.SearchFolder(MailDir);
    double s = Seconds(t);
    if (hits != planted) std::printf("our search found %d of %d\n", hits, planted);
    return s;
  };
  const std::string grep_cmd = "grep -r -i -l zanzibar '" + base + "maildir' > /dev/null";
  auto grep = [&] {
    auto t = Clock::now();
    int rc = std::system(grep_cmd.c_str());
    double s = Seconds(t);
    if (rc != 0) std::printf("grep failed (%d)\n", rc);
    return s;
  };
  // Warm both caches once, then take the best of the rounds.
  ours();
  grep();
  double best_ours = 1e9, best_grep = 1e9;
  for (int round = 0; round < rounds; ++round) {
    best_ours = std::min(best_ours, ours());
    best_grep = std::min(best_grep, grep());
  }
  std::printf("our body search %.3f s, grep -r -i -l %.3f s\n", best_ours, best_grep);
  std::printf("BENCH|find_body_%d|%.3f|%.3f|grep -r -i -l|s|%.2f|>=0.5\n", count, best_ours, best_grep,
              best_grep / best_ours);

  CloseAllMailboxes();
  FolderTree().Clear();
  ReleaseSettings();
  RemoveDirectoryTree(base);
  return 0;
}
