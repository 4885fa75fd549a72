// An address book of 300 contacts: our INI book against SQLite (one table,
// name primary key, one durable transaction per saved contact) doing the
// same work.
//   save: 60 contacts saved one by one, each as the contact window's OK does
//   list: every contact's name, address, home page and pane flag, as the
//         contact pane and "write to group" read them
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <unistd.h>
#include <stdexcept>
#include <string>
#include <vector>

#include "contacts/contact_actions.h"
#include "contacts/contact_store.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"

using namespace qm;

namespace {

constexpr int kBook = 300;
constexpr int kSaved = 60;

double SecondsOf(const std::function<void()>& work, int repeats) {
  double best = 1e30;
  for (int i = 0; i < repeats; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

void BenchLine(const char* name, double ours, double peer, const char* unit, double ratio, const char* goal) {
  std::printf("BENCH|%s|%.3f|%.3f|SQLite|%s|%.2f|%s\n", name, ours, peer, unit, ratio, goal);
  std::fflush(stdout);
}

cContact MakeContact(std::mt19937& rng, int i) {
  auto word = [&](int n) {
    std::string s;
    for (int j = 0; j < n; ++j) s.push_back(static_cast<char>('a' + rng() % 26));
    return s;
  };
  cContact c;
  c.Name = "Person " + std::to_string(i) + " " + word(6);
  c.NickName = word(5);
  c.Email = word(7) + "@" + word(6) + ".example";
  c.HomePage = "http://" + word(8) + ".example/";
  c.HomeAddress = std::to_string(rng() % 200) + " " + word(9) + " Road";
  c.HomePhone = std::to_string(rng());
  c.WorkCompany = word(10) + " Ltd";
  c.WorkPhone = std::to_string(rng());
  c.Notes = word(30) + "\r\n" + word(20);
  return c;
}

std::vector<std::pair<const char*, std::string cContact::*>> Columns() {
  return {{"NickName", &cContact::NickName},       {"Email", &cContact::Email},
          {"HomePage", &cContact::HomePage},       {"HomeAddress", &cContact::HomeAddress},
          {"HomePhone", &cContact::HomePhone},     {"WorkCompany", &cContact::WorkCompany},
          {"WorkPhone", &cContact::WorkPhone},     {"Notes", &cContact::Notes}};
}

void Check(int rc, sqlite3* db, int want = SQLITE_OK) {
  if (rc != want) throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(db));
}

void SqliteSave(sqlite3* db, sqlite3_stmt* ins, const cContact& c) {
  sqlite3_bind_text(ins, 1, c.Name.data(), static_cast<int>(c.Name.size()), SQLITE_STATIC);
  int i = 2;
  for (const auto& col : Columns()) {
    const std::string& v = c.*col.second;
    sqlite3_bind_text(ins, i++, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
  }
  sqlite3_bind_int(ins, i, c.ShowOnContactPane ? 1 : 0);
  Check(sqlite3_step(ins), db, SQLITE_DONE);
  sqlite3_reset(ins);
}

}  // namespace

int main() {
  std::string dir = SystemTempDir() + "bench-contacts-" + std::to_string(::getpid()) + "/";
  ForceDirectories(dir);
  InitialisePaths(dir);
  std::mt19937 rng(7);
  std::vector<cContact> book, edits;
  for (int i = 0; i < kBook; ++i) book.push_back(MakeContact(rng, i));
  for (int i = 0; i < kSaved; ++i) {
    cContact c = MakeContact(rng, i * 5);
    c.Name = book[static_cast<size_t>(i * 5)].Name;  // edits of existing contacts
    edits.push_back(c);
  }

  // Ours.
  const std::string ini = ContactsFile();
  for (const auto& c : book) WriteContact(ini, c);
  double ours_save = SecondsOf([&] { for (const auto& c : edits) WriteContact(ini, c); }, 1);
  size_t ours_seen = 0;
  double ours_list = SecondsOf([&] {
    ours_seen = 0;
    for (const cContact& c : ReadContactsQuick(ini)) {
      ours_seen += c.Email.size() + c.HomePage.size() + (c.ShowOnContactPane ? 1 : 0);
    }
  }, 3);

  // SQLite.
  const std::string dbpath = dir + "contacts.sqlite";
  sqlite3* db;
  Check(sqlite3_open(dbpath.c_str(), &db), db);
  std::string create = "CREATE TABLE contacts (Name TEXT PRIMARY KEY";
  std::string insert = "INSERT OR REPLACE INTO contacts VALUES (?";
  for (const auto& col : Columns()) {
    create += std::string(", ") + col.first + " TEXT";
    insert += ", ?";
  }
  create += ", ShowOnContactPane INTEGER)";
  insert += ", ?)";
  Check(sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr), db);
  sqlite3_stmt* ins;
  Check(sqlite3_prepare_v2(db, insert.c_str(), -1, &ins, nullptr), db);
  Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
  for (const auto& c : book) SqliteSave(db, ins, c);
  Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
  // Autocommit: every saved contact is one durable transaction, like ours.
  double peer_save = SecondsOf([&] { for (const auto& c : edits) SqliteSave(db, ins, c); }, 1);
  sqlite3_finalize(ins);
  size_t peer_seen = 0;
  double peer_list = SecondsOf([&] {
    peer_seen = 0;
    sqlite3_stmt* sel;
    Check(sqlite3_prepare_v2(db, "SELECT Name, Email, HomePage, ShowOnContactPane FROM contacts ORDER BY rowid", -1,
                             &sel, nullptr),
          db);
    while (sqlite3_step(sel) == SQLITE_ROW)
      peer_seen += static_cast<size_t>(sqlite3_column_bytes(sel, 1) + sqlite3_column_bytes(sel, 2)) +
                   static_cast<size_t>(sqlite3_column_int(sel, 3));
    sqlite3_finalize(sel);
  }, 3);
  sqlite3_close(db);

  std::printf("contacts: %d in the book, %d saved; figures are milliseconds per contact\n", kBook, kSaved);
  if (ours_seen != peer_seen) std::printf("warning: ours read %zu bytes, SQLite %zu\n", ours_seen, peer_seen);
  BenchLine("contacts_save_one", ours_save * 1e3 / kSaved, peer_save * 1e3 / kSaved, "ms/contact",
            peer_save / ours_save, ">=0.5");
  BenchLine("contacts_list_quick", ours_list * 1e3 / kBook, peer_list * 1e3 / kBook, "ms/contact",
            peer_list / ours_list, ">=0.1");
  RemoveDirectoryTree(dir);
  return 0;
}
