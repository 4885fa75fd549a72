// A mailbox of 25,000 messages of 2-8 KB: the engine against SQLite (one
// table, key primary key, one transaction per writing phase) doing the same
// work: add all, close, open, list the keys, read every item, change 10% with
// longer bodies, pack, close.
//   read path:  open, list the keys, read every item
//   write path: the rest
#include <sqlite3.h>

#include <cstdio>
#include <stdexcept>

#include "bench_store_support.h"
#include "platform/file_system.h"
#include "store/tqdb.h"

using namespace qm;
using namespace qm::bench;

namespace {

struct Data {
  std::vector<std::string> keys;  // in the order they are added
  std::vector<std::string> bodies;
  std::vector<size_t> changed;  // indices into keys
  std::vector<std::string> longer;
};

void Check(int rc, sqlite3* db, int want = SQLITE_OK) {
  if (rc != want) throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(db));
}

void Exec(sqlite3* db, const char* sql) { Check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db); }

struct Timings {
  double add = 0, read = 0, change = 0;
};

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// The sequence: add all, close; open, list keys, read all (the read path);
// change 10%, pack, close.
Timings RunOurs(const Data& d, const std::string& path, size_t& read_bytes) {
  Timings t;
  RemoveFile(path);
  double t0 = Now();
  {
    TQDB db;
    db.SetFileName(path);
    for (size_t i = 0; i < d.keys.size(); ++i) db.Add(d.bodies[i], d.keys[i]);
    db.SetFileName("");
  }
  double t1 = Now();
  TQDB db;
  db.SetFileName(path);
  StringList keys = db.GetKeys();
  read_bytes = 0;
  std::string body;
  for (const auto& k : keys) {
    db.FindKey(k);
    db.Get(body);
    read_bytes += body.size();
  }
  double t2 = Now();
  for (size_t j = 0; j < d.changed.size(); ++j) {
    db.FindKey(d.keys[d.changed[j]]);
    db.Change(d.longer[j]);
  }
  db.Pack();
  db.SetFileName("");
  double t3 = Now();
  return {t1 - t0, t2 - t1, t3 - t2};
}

Timings RunSqlite(const Data& d, const std::string& path, size_t& read_bytes) {
  RemoveFile(path);
  double t0 = Now();
  sqlite3* db;
  Check(sqlite3_open(path.c_str(), &db), db);
  Exec(db, "CREATE TABLE items (key TEXT PRIMARY KEY, body BLOB)");
  Exec(db, "BEGIN");
  sqlite3_stmt* ins;
  Check(sqlite3_prepare_v2(db, "INSERT INTO items VALUES (?, ?)", -1, &ins, nullptr), db);
  for (size_t i = 0; i < d.keys.size(); ++i) {
    sqlite3_bind_text(ins, 1, d.keys[i].data(), static_cast<int>(d.keys[i].size()), SQLITE_STATIC);
    sqlite3_bind_blob(ins, 2, d.bodies[i].data(), static_cast<int>(d.bodies[i].size()), SQLITE_STATIC);
    Check(sqlite3_step(ins), db, SQLITE_DONE);
    sqlite3_reset(ins);
  }
  sqlite3_finalize(ins);
  Exec(db, "COMMIT");
  sqlite3_close(db);
  double t1 = Now();

  Check(sqlite3_open(path.c_str(), &db), db);
  std::vector<std::string> keys;
  sqlite3_stmt* list;
  Check(sqlite3_prepare_v2(db, "SELECT key FROM items ORDER BY key", -1, &list, nullptr), db);
  while (sqlite3_step(list) == SQLITE_ROW)
    keys.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
  sqlite3_finalize(list);
  sqlite3_stmt* get;
  Check(sqlite3_prepare_v2(db, "SELECT body FROM items WHERE key = ?", -1, &get, nullptr), db);
  read_bytes = 0;
  std::string body;
  for (const auto& k : keys) {
    sqlite3_bind_text(get, 1, k.data(), static_cast<int>(k.size()), SQLITE_STATIC);
    Check(sqlite3_step(get), db, SQLITE_ROW);
    const char* p = static_cast<const char*>(sqlite3_column_blob(get, 0));
    body.assign(p, static_cast<size_t>(sqlite3_column_bytes(get, 0)));
    read_bytes += body.size();
    sqlite3_reset(get);
  }
  sqlite3_finalize(get);
  double t2 = Now();

  Exec(db, "BEGIN");
  sqlite3_stmt* up;
  Check(sqlite3_prepare_v2(db, "UPDATE items SET body = ? WHERE key = ?", -1, &up, nullptr), db);
  for (size_t j = 0; j < d.changed.size(); ++j) {
    const std::string& k = d.keys[d.changed[j]];
    sqlite3_bind_blob(up, 1, d.longer[j].data(), static_cast<int>(d.longer[j].size()), SQLITE_STATIC);
    sqlite3_bind_text(up, 2, k.data(), static_cast<int>(k.size()), SQLITE_STATIC);
    Check(sqlite3_step(up), db, SQLITE_DONE);
    sqlite3_reset(up);
  }
  sqlite3_finalize(up);
  Exec(db, "COMMIT");
  Exec(db, "VACUUM");  // the counterpart of Pack
  sqlite3_close(db);
  double t3 = Now();
  return {t1 - t0, t2 - t1, t3 - t2};
}

}  // namespace

int main() {
  const size_t n = 25000;
  Data d;
  std::mt19937 rng(3);
  for (size_t i = 0; i < n; ++i) d.keys.push_back(std::to_string(i));
  std::shuffle(d.keys.begin(), d.keys.end(), rng);
  size_t total = 0;
  for (size_t i = 0; i < n; ++i) {
    d.bodies.push_back(MailMessage(rng, 2048 + rng() % 6144));
    total += d.bodies.back().size();
  }
  for (size_t i = 0; i < n; i += 10) {
    d.changed.push_back((i * 7919) % n);
    d.longer.push_back(d.bodies[d.changed.back()] + std::string(200 + rng() % 800, 'x'));
  }

  std::string tmpl = SystemTempDir() + "bench-store-XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  const std::string dir = IncludeTrailingSlash(mkdtemp(buf.data()));

  // Best of several rounds of the whole sequence.
  Timings ours{1e30, 1e30, 1e30}, peer{1e30, 1e30, 1e30};
  size_t ours_read = 0, peer_read = 0;
  for (int round = 0; round < 3; ++round) {
    Timings o = RunOurs(d, dir + "box.zqf", ours_read);
    Timings p = RunSqlite(d, dir + "box.sqlite", peer_read);
    ours = {std::min(ours.add, o.add), std::min(ours.read, o.read), std::min(ours.change, o.change)};
    peer = {std::min(peer.add, p.add), std::min(peer.read, p.read), std::min(peer.change, p.change)};
  }
  if (ours_read != total || peer_read != total) throw std::runtime_error("read back the wrong amount");
  std::printf("%zu items, %.1f MB; ours add %.3fs, change+pack %.3fs; sqlite add %.3fs, change+vacuum %.3fs\n", n,
              total / 1e6, ours.add, ours.change, peer.add, peer.change);
  const double ours_write = ours.add + ours.change, peer_write = peer.add + peer.change;
  BenchLine("store.mailbox_open_read_all", ours.read, peer.read, "SQLite", "s", peer.read / ours.read, ">=1.0");
  BenchLine("store.mailbox_write_path", ours_write, peer_write, "SQLite", "s", peer_write / ours_write, ">=0.67");
  RemoveFile(dir + "box.zqf");
  RemoveFile(dir + "box.sqlite");
  RemoveDirectory(dir);
  return 0;
}
