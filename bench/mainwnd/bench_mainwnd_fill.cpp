// Opening a mailbox of 25,000 messages in the main window's list against the
// store reading the first part of every message of the same file, both
// opening the file afresh. Goal: the list adds at most half on top of the
// read, so the list takes at most 1.5 times as long and the ratio (read time
// over list time) is at least 1 / 1.5. Also prints the longest time the event
// loop waited while the list filled (the median over the rounds).
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "store/folder_tree.h"
#include "store/folder_tree_scan.h"
#include "store/mail_message.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "store/store_lock.h"
#include "store/tqdb.h"
#include "ui/main_message_list.h"
#include "ui/main_window.h"

using namespace qm;

namespace {

constexpr int kMessages = 25000;
constexpr int kRounds = 5;
// The list may take this many times as long as the read.
constexpr double kMostTimesTheRead = 1.5;

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void MakeMailbox(const std::string& path) {
  TQDB db;
  db.SetFileName(path);
  db.BeginUpdate();
  for (int i = 0; i < kMessages; ++i) {
    cMailMessage msg;
    InitMessage(msg);
    msg.Subject = "Quarterly figures, part " + std::to_string(i);
    msg.From = "Person " + std::to_string(i % 97) + " <person" + std::to_string(i % 97) + "@example.invalid>";
    msg.FromName = "Person " + std::to_string(i % 97);
    msg.FromAddress = "person" + std::to_string(i % 97) + "@example.invalid";
    msg.To = "me@example.invalid";
    msg.Account = "Home";
    msg.Size = 1000 + (i * 37) % 90000;
    msg.Date = 45000 + i / 100.0;
    msg.Read = i % 3 != 0;
    msg.Body->push_back("Hello,");
    msg.Body->push_back("the figures are attached.");
    db.Add(EncodeMessage(msg), std::to_string(i));
    FreeMessage(msg);
  }
  db.EndUpdate();
  db.SetFileName("");
}

double CoreRead(const std::string& path) {
  auto start = std::chrono::steady_clock::now();
  TQDB* db = nullptr;
  if (!GetQDBForFile(path, db)) return -1;
  int count;
  {
    StoreLock lock;
    count = db->Count();
  }
  cMailMessage msg;
  std::vector<std::string> keys;
  keys.reserve(count);
  for (int i = 0; i < count; ++i) {
    StoreLock lock;
    if (!GetMessage(*db, msg, false, "", i)) break;
    keys.push_back(db->Key());
  }
  FreeMessage(msg);
  double ms = Ms(std::chrono::steady_clock::now() - start);
  ReleaseQDB(db);
  if (static_cast<int>(keys.size()) != kMessages) std::printf("core read stopped at %zu\n", keys.size());
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::string tmpl = SystemTempDir() + "bench-mainwnd-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) return 1;
  const std::string dir = IncludeTrailingSlash(buf.data());
  InitialisePaths(dir);
  OptionsIni->WriteBool("Options", "OpenDefaultInbox", false);
  OptionsIni->WriteBool("Options", "MarkMsgRead", false);
  OptionsIni->WriteBool("Options", "ShowTrayIcon", false);
  ForceDirectories(MailDir + "Home/");
  const std::string inbox = MailDir + "Home/Inbox.zqf";
  MakeMailbox(inbox);

  std::vector<double> core, list, pauses;
  {
    TfrmMain win;
    win.show();
    cFolderNode* node = FindStandardMailbox("Home", "Inbox");
    for (int round = 0; round < kRounds; ++round) {
      core.push_back(CoreRead(inbox));

      win.SelectNode(FolderTree().Root());
      // The event loop's pauses while the list fills, seen by a fast timer.
      QElapsedTimer since_tick;
      double pause = 0;
      QTimer tick;
      QObject::connect(&tick, &QTimer::timeout, [&] {
        pause = std::max(pause, static_cast<double>(since_tick.restart()));
      });
      tick.start(5);
      since_tick.start();
      auto start = std::chrono::steady_clock::now();
      win.SelectNode(node);
      list.push_back(Ms(std::chrono::steady_clock::now() - start));
      pause = std::max(pause, static_cast<double>(since_tick.elapsed()));
      tick.stop();
      pauses.push_back(pause);
      if (win.msgModel->Count() != kMessages) std::printf("list holds %d rows\n", win.msgModel->Count());
    }
    win.SelectNode(FolderTree().Root());
    win.close();
  }
  ReleaseCurrentMailbox();
  CloseAllMailboxes();
  FolderTree().Clear();
  ReleaseSettings();
  RemoveDirectoryTree(dir);

  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  double ours = median(list), peer = median(core);
  std::printf("list fill of %d messages: median %.1f ms (core read %.1f ms, list/read %.2f, at most %.2f);"
              " longest event-loop pause %.0f ms\n",
              kMessages, ours, peer, ours / peer, kMostTimesTheRead, median(pauses));
  std::printf("list fill rounds (ms):");
  for (double ms : list) std::printf(" %.1f", ms);
  std::printf("; read rounds (ms):");
  for (double ms : core) std::printf(" %.1f", ms);
  std::printf("\n");
  std::printf("BENCH|mainwnd_list_fill_25000|%.1f|%.1f|store first-part read|ms|%.3f|>=%.3f\n", ours, peer,
              peer / ours, 1.0 / kMostTimesTheRead);
  return 0;
}
