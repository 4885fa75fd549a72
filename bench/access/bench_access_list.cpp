// Opening a mailbox of 25,000 messages into message list rows (the first
// part of every record), against SQLite selecting the same fields of the
// same records from a table.
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/text_lines.h"
#include "store/bench_store_support.h"
#include "store/folder_tree.h"
#include "store/mail_message.h"
#include "store/ref_list.h"
#include "store/tqdb.h"
#include "store/tree_operations.h"

namespace qm {
namespace {

using bench::BenchLine;
using bench::MailMessage;
using bench::SecondsOf;

void Check(int rc, sqlite3* db, int want = SQLITE_OK) {
  if (rc != want) throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(db));
}

struct Stored {
  std::vector<std::string> keys;
  std::vector<cMailMessage> records;
};

Stored MakeRecords(size_t n) {
  Stored s;
  std::mt19937 rng(11);
  for (size_t i = 0; i < n; ++i) {
    s.keys.push_back(std::to_string(i));
    std::string text = MailMessage(rng, 2048 + rng() % 6144);
    StringList lines = SplitLines(text);
    cMailMessage m;
    InitMessage(m);
    size_t blank = 0;
    while (blank < lines.size() && !lines[blank].empty()) ++blank;
    m.Headers->assign(lines.begin(), lines.begin() + blank);
    if (blank < lines.size()) m.Body->assign(lines.begin() + blank + 1, lines.end());
    for (const std::string& h : *m.Headers) {
      if (h.rfind("Subject: ", 0) == 0) m.Subject = h.substr(9);
      if (h.rfind("From: ", 0) == 0) m.From = h.substr(6);
      if (h.rfind("To: ", 0) == 0) m.To = h.substr(4);
      if (h.rfind("Message-ID: ", 0) == 0) m.MessageID = h.substr(12);
    }
    m.FromName = m.From.substr(0, m.From.find('<'));
    m.FromAddress = m.From.substr(m.From.find('<') + 1);
    m.Account = "Home";
    m.Read = rng() % 3 != 0;
    m.Complete = true;
    m.Size = static_cast<int32_t>(text.size());
    m.Date = 45000 + static_cast<double>(i) / 100;
    if (rng() % 10 == 0) AddAttachment(m, "/home/user/Attachments/file" + std::to_string(i) + ".pdf");
    s.records.push_back(m);
  }
  return s;
}

// One list row as the SQLite side builds it.
struct Row {
  std::string key;
  cMailMessage msg;
};

std::string Text(sqlite3_stmt* st, int col) {
  const unsigned char* p = sqlite3_column_text(st, col);
  return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(sqlite3_column_bytes(st, col))) : "";
}

void FillSqlite(const Stored& s, const std::string& path) {
  sqlite3* db = nullptr;
  Check(sqlite3_open(path.c_str(), &db), db);
  Check(sqlite3_exec(db,
                     "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
                     "CREATE TABLE messages (key TEXT PRIMARY KEY, Subject TEXT, \"From\" TEXT, FromName TEXT,"
                     " FromAddress TEXT, ReplyTo TEXT, \"To\" TEXT, CC TEXT, BCC TEXT, MessageID TEXT, Account TEXT,"
                     " IsHTML INT, Read INT, Complete INT, HasAttachments INT, Answered INT, ReservedFlag INT,"
                     " SourceRef TEXT, Organization TEXT, Date REAL, Reserved INT, Size INT,"
                     " Headers BLOB, Body BLOB, Attachments BLOB); BEGIN;",
                     nullptr, nullptr, nullptr),
        db);
  sqlite3_stmt* ins = nullptr;
  Check(sqlite3_prepare_v2(db, "INSERT INTO messages VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", -1,
                           &ins, nullptr),
        db);
  for (size_t i = 0; i < s.keys.size(); ++i) {
    const cMailMessage& m = s.records[i];
    int c = 1;
    auto text = [&](const std::string& v) { sqlite3_bind_text(ins, c++, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT); };
    auto flag = [&](bool v) { sqlite3_bind_int(ins, c++, v ? 1 : 0); };
    text(s.keys[i]);
    for (const std::string* f : {&m.Subject, &m.From, &m.FromName, &m.FromAddress, &m.ReplyTo, &m.To, &m.CC, &m.BCC,
                                 &m.MessageID, &m.Account})
      text(*f);
    for (bool f : {m.IsHTML, m.Read, m.Complete, m.HasAttachments, m.Answered, m.ReservedFlag}) flag(f);
    text(m.SourceRef);
    text(m.Organization);
    sqlite3_bind_double(ins, c++, m.Date);
    sqlite3_bind_int(ins, c++, m.Reserved);
    sqlite3_bind_int(ins, c++, m.Size);
    for (const auto& list : {m.Headers, m.Body, m.Attachments}) {
      std::string joined = JoinLines(*list);
      sqlite3_bind_blob(ins, c++, joined.data(), static_cast<int>(joined.size()), SQLITE_TRANSIENT);
    }
    Check(sqlite3_step(ins), db, SQLITE_DONE);
    sqlite3_reset(ins);
  }
  sqlite3_finalize(ins);
  Check(sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr), db);
  sqlite3_close(db);
}

size_t ListSqlite(const std::string& path, std::vector<Row>& rows) {
  rows.clear();
  sqlite3* db = nullptr;
  Check(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), db);
  sqlite3_stmt* st = nullptr;
  Check(sqlite3_prepare_v2(db,
                           "SELECT key, Subject, \"From\", FromName, FromAddress, ReplyTo, \"To\", CC, BCC, MessageID,"
                           " Account, IsHTML, Read, Complete, HasAttachments, Answered, ReservedFlag, SourceRef,"
                           " Organization, Date, Reserved, Size FROM messages",
                           -1, &st, nullptr),
        db);
  while (sqlite3_step(st) == SQLITE_ROW) {
    Row r;
    r.key = Text(st, 0);
    cMailMessage& m = r.msg;
    int c = 1;
    for (std::string* f : {&m.Subject, &m.From, &m.FromName, &m.FromAddress, &m.ReplyTo, &m.To, &m.CC, &m.BCC,
                           &m.MessageID, &m.Account})
      *f = Text(st, c++);
    for (bool* f : {&m.IsHTML, &m.Read, &m.Complete, &m.HasAttachments, &m.Answered, &m.ReservedFlag})
      *f = sqlite3_column_int(st, c++) != 0;
    m.SourceRef = Text(st, c++);
    m.Organization = Text(st, c++);
    m.Date = sqlite3_column_double(st, c++);
    m.Reserved = sqlite3_column_int(st, c++);
    m.Size = sqlite3_column_int(st, c++);
    rows.push_back(std::move(r));
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rows.size();
}

}  // namespace
}  // namespace qm

int main() {
  using namespace qm;
  constexpr size_t kMessages = 25000;
  Stored s = MakeRecords(kMessages);

  std::string tmpl = SystemTempDir() + "bench-access-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  const std::string dir = IncludeTrailingSlash(mkdtemp(buf.data()));
  const std::string box = dir + "Inbox.zqf", table = dir + "inbox.sqlite";
  {
    TQDB db;
    db.SetFileName(box);
    db.BeginUpdate();
    for (size_t i = 0; i < kMessages; ++i) db.Add(EncodeMessage(s.records[i]), s.keys[i]);
    db.EndUpdate();
    db.SetFileName("");
  }
  FillSqlite(s, table);
  std::printf("%zu messages; mailbox %.1f MB, table %.1f MB\n", kMessages, FileSizeOf(box) / 1e6,
              FileSizeOf(table) / 1e6);

  // The message list opens the mailbox through the shared engines and a
  // tree node, as the main window does.
  cFolderNode* node = FolderTree().AddChild(FolderTree().SetRoot(dir, "Quillmar"), fnkMailbox, "Inbox", box, 6);
  FolderTree().Select(node);
  size_t ours_rows = 0, peer_rows = 0;
  double ours = 1e30, release = 1e30;
  for (int round = 0; round < 5; ++round) {
    auto t0 = std::chrono::steady_clock::now();
    cMailboxListing listing = OpenMailboxInList(node);
    auto t1 = std::chrono::steady_clock::now();
    if (!listing.ok) throw std::runtime_error("mailbox did not open");
    ours_rows = listing.rows.size();
    // Giving the mailbox back writes the file back: timed apart.
    ReleaseCurrentMailbox();
    auto t2 = std::chrono::steady_clock::now();
    ours = std::min(ours, std::chrono::duration<double>(t1 - t0).count());
    release = std::min(release, std::chrono::duration<double>(t2 - t1).count());
  }
  std::vector<Row> rows;
  double peer = SecondsOf([&] { peer_rows = ListSqlite(table, rows); }, 5);
  if (ours_rows != kMessages || peer_rows != kMessages) throw std::runtime_error("wrong number of rows");
  std::printf("ours: open + list %.3fs, release (file written back) %.3fs; sqlite open + select %.3fs\n", ours,
              release, peer);
  BenchLine("access.open_mailbox_list_rows", ours, peer, "SQLite", "s", peer / ours, ">=0.67");
  RemoveFile(box);
  RemoveFile(table);
  RemoveDirectory(dir);
  return 0;
}
