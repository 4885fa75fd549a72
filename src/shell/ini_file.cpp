#include "shell/ini_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <memory>
#include <exception>
#include <mutex>
#include <unordered_map>

#include "platform/file_system.h"
#include "shell/text_utils.h"

namespace qm {

namespace {

struct Entry {
  std::string key;
  std::string value;
};

struct Section {
  std::string name;
  std::vector<Entry> entries;
  StringList other_lines;  // comments kept under their section
};

struct Parsed {
  StringList preamble;  // lines before the first section
  std::vector<Section> sections;
  // The first section of each name (ASCII case folded): a book of many
  // contacts is read one section at a time. Rebuilt after sections change.
  std::unordered_map<std::string, size_t> index;
  bool index_valid = false;
};

// A parsed file with the stat data it was read under.
struct CacheItem {
  bool exists = false;
  struct timespec mtime {};
  off_t size = 0;
  ino_t inode = 0;
  std::shared_ptr<Parsed> parsed;
  int batch_depth = 0;  // > 0: writes are collected and stored once at the end
  bool dirty = false;
};

std::mutex g_mutex;
std::map<std::string, CacheItem> g_cache;

std::string Trim(const std::string& s) { return TrimBlanks(s); }

std::shared_ptr<Parsed> ParseText(const std::string& text) {
  auto p = std::make_shared<Parsed>();
  Section* cur = nullptr;
  for (const std::string& raw : SplitLines(text)) {
    std::string line = Trim(raw);
    if (!line.empty() && line.front() == '[') {
      size_t close = line.find(']');
      std::string name = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      p->sections.push_back(Section{name, {}, {}});
      cur = &p->sections.back();
      continue;
    }
    size_t eq = line.find('=');
    if (cur && eq != std::string::npos && !line.empty() && line.front() != ';') {
      cur->entries.push_back(Entry{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
    } else if (cur) {
      if (!line.empty()) cur->other_lines.push_back(raw);
    } else {
      p->preamble.push_back(raw);
    }
  }
  return p;
}

// Written straight into one text of the exact size: a large book is stored
// at every save, and growing the text in steps costs more than counting.
std::string Serialise(const Parsed& p) {
  size_t total = 0;
  for (const auto& l : p.preamble) total += l.size() + 2;
  for (const auto& s : p.sections) {
    total += s.name.size() + 4;
    for (const auto& l : s.other_lines) total += l.size() + 2;
    for (const auto& e : s.entries) total += e.key.size() + e.value.size() + 3;
  }
  std::string out;
  out.reserve(total);
  for (const auto& l : p.preamble) AppendLine(out, l);
  for (const auto& s : p.sections) {
    out += '[';
    AppendLine(out += s.name, "]");
    for (const auto& l : s.other_lines) AppendLine(out, l);
    for (const auto& e : s.entries) AppendLine((out += e.key) += '=', e.value);
  }
  return out;
}

void RememberStat(CacheItem& item, const struct stat& st) {
  item.exists = true;
  item.size = st.st_size;
  item.inode = st.st_ino;
  item.mtime = st.st_mtim;
}

// Must hold g_mutex. The parsed file, valid while the lock is held; changes
// made to it must be followed by CommitLocked.
Parsed& LoadLocked(const std::string& path) {
  struct stat st;
  CacheItem& item = g_cache[path];
  if (item.batch_depth > 0 && item.parsed) return *item.parsed;
  if (::stat(path.c_str(), &st) != 0) {
    int depth = item.batch_depth;
    item = CacheItem{};
    item.batch_depth = depth;
    item.parsed = std::make_shared<Parsed>();
    return *item.parsed;
  }
  if (item.parsed && item.exists && item.size == st.st_size && item.inode == st.st_ino &&
      item.mtime.tv_sec == st.st_mtim.tv_sec && item.mtime.tv_nsec == st.st_mtim.tv_nsec) {
    return *item.parsed;
  }
  auto data = TryReadFileBytes(path);
  item.parsed = ParseText(data.value_or(""));
  if (data) RememberStat(item, st);
  else item.exists = false;
  return *item.parsed;
}

// Must hold g_mutex. Stores the changed parse: at once, or at the end of the
// update scope. A failed write forgets the parse, so the next read sees the
// file as it is.
void CommitLocked(const std::string& path) {
  CacheItem& item = g_cache[path];
  if (item.batch_depth > 0) {
    item.dirty = true;
    return;
  }
  try {
    WriteFileAtomically(path, Serialise(*item.parsed));
  } catch (...) {
    g_cache.erase(path);
    throw;
  }
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) RememberStat(item, st);
  else g_cache.erase(path);
}

Section* FindSection(Parsed& p, const std::string& name) {
  if (!p.index_valid) {
    p.index.clear();
    for (size_t i = 0; i < p.sections.size(); ++i) p.index.emplace(LowerCaseAscii(p.sections[i].name), i);
    p.index_valid = true;
  }
  auto it = p.index.find(LowerCaseAscii(name));
  return it == p.index.end() ? nullptr : &p.sections[it->second];
}

bool Lookup(const std::string& path, const std::string& section, const std::string& key, std::string& out) {
  std::lock_guard<std::mutex> lock(g_mutex);
  const Section* s = FindSection(LoadLocked(path), section);
  if (!s) return false;
  for (const auto& e : s->entries) {
    if (SameTextAscii(e.key, key)) {
      out = e.value;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ParseSettingsInteger(const std::string& text, int& out) {
  std::string t = Trim(text);
  if (t.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long v;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    std::string digits = t.substr(2);
    if (digits.empty() || digits[0] == '-' || digits[0] == '+') return false;
    v = std::strtoll(digits.c_str(), &end, 16);
    if (errno != 0 || *end != '\0' || v > 0xFFFFFFFFLL) return false;
    out = static_cast<int>(static_cast<uint32_t>(v));  // "0xFFFFFFFF" is -1 as a 32-bit value
    return true;
  }
  v = std::strtoll(t.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < INT_MIN || v > INT_MAX) return false;
  out = static_cast<int>(v);
  return true;
}

IniFile::UpdateScope::UpdateScope(const IniFile& ini) : path_(ini.path_) {
  std::lock_guard<std::mutex> lock(g_mutex);
  LoadLocked(path_);
  ++g_cache[path_].batch_depth;
}

IniFile::UpdateScope::~UpdateScope() noexcept(false) {
  std::lock_guard<std::mutex> lock(g_mutex);
  CacheItem& item = g_cache[path_];
  if (--item.batch_depth > 0 || !item.dirty) return;
  item.dirty = false;
  // Raising from a destructor is allowed here only when not already unwinding.
  if (std::uncaught_exceptions() > 0) {
    try {
      CommitLocked(path_);
    } catch (...) {
    }
  } else {
    CommitLocked(path_);
  }
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
  std::string v;
  if (!Lookup(path_, section, key, v)) return def;
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  return v;
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  std::string v;
  if (!Lookup(path_, section, key, v)) return def;
  int out;
  return ParseSettingsInteger(v, out) ? out : def;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  std::string v;
  if (!Lookup(path_, section, key, v)) return def;
  int out;
  return ParseSettingsInteger(v, out) ? out != 0 : def;
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Parsed& p = LoadLocked(path_);
  Section* s = FindSection(p, section);
  if (!s) {
    p.sections.push_back(Section{section, {}, {}});
    p.index_valid = false;
    s = &p.sections.back();
  }
  // A value cannot span lines in this format.
  std::string v = value;
  for (char& c : v)
    if (c == '\r' || c == '\n') c = ' ';
  bool done = false;
  for (auto& e : s->entries) {
    if (SameTextAscii(e.key, key)) {
      e.value = v;
      done = true;
      break;
    }
  }
  if (!done) s->entries.push_back(Entry{key, v});
  CommitLocked(path_);
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniFile::EraseSection(const std::string& section) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Parsed& p = LoadLocked(path_);
  size_t before = p.sections.size();
  std::erase_if(p.sections, [&](const Section& s) { return SameTextAscii(s.name, section); });
  p.index_valid = false;
  if (p.sections.size() != before) CommitLocked(path_);
}

void IniFile::DeleteKey(const std::string& section, const std::string& key) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Parsed& p = LoadLocked(path_);
  Section* s = FindSection(p, section);
  if (!s) return;
  size_t before = s->entries.size();
  std::erase_if(s->entries, [&](const Entry& e) { return SameTextAscii(e.key, key); });
  if (s->entries.size() != before) CommitLocked(path_);
}

bool IniFile::SectionExists(const std::string& section) const {
  std::lock_guard<std::mutex> lock(g_mutex);
  return FindSection(LoadLocked(path_), section) != nullptr;
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const {
  std::string v;
  return Lookup(path_, section, key, v);
}

StringList IniFile::ReadSections() const {
  std::lock_guard<std::mutex> lock(g_mutex);
  StringList out;
  for (const auto& s : LoadLocked(path_).sections) out.push_back(s.name);
  return out;
}

StringList IniFile::ReadSection(const std::string& section) const {
  std::lock_guard<std::mutex> lock(g_mutex);
  StringList out;
  if (const Section* s = FindSection(LoadLocked(path_), section))
    for (const auto& e : s->entries) out.push_back(e.key);
  return out;
}

}  // namespace qm
