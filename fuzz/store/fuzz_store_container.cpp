// Opens arbitrary bytes as a mailbox file and reads every item. A file that
// opens must also survive being written back and opened again unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "store/tqdb.h"

namespace {

std::string WorkDir() {
  static std::string dir = [] {
    std::string tmpl = qm::SystemTempDir() + "fuzz-store-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    return qm::IncludeTrailingSlash(mkdtemp(buf.data()));
  }();
  return dir;
}

struct Snapshot {
  qm::StringList keys;
  std::vector<std::string> bodies;
};

bool ReadAll(qm::TQDB& db, Snapshot& out) {
  out.keys = db.GetKeys();
  for (int i = 0; i < db.Count(); ++i) {
    db.GoTo(i);
    try {
      out.bodies.push_back(db.Get());
    } catch (const qm::EQDBIndexError&) {
      return false;  // a damaged body: the file cannot round-trip as it is
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = WorkDir() + "input.zqf";
  qm::WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(data), size));
  Snapshot first;
  bool intact = false;
  try {
    qm::TQDB db;
    db.OnDemandPassword = [](qm::TQDB&, qm::TPassword& pw) { pw = "fuzz"; };
    db.SetFileName(path);
    intact = ReadAll(db, first);
    db.SetFileName("");
  } catch (const qm::EQDBError&) {
    return 0;
  }
  if (!intact) return 0;
  qm::TQDB again;
  again.SetPassword("fuzz");
  again.SetFileName(path);
  Snapshot second;
  if (!ReadAll(again, second) || second.keys != first.keys || second.bodies != first.bodies) std::abort();
  return 0;
}
