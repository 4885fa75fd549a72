#include "platform/registry_store.h"

#include <cstdio>

#include "platform/app_dir.h"
#include "platform/file_system.h"
#include "platform/text_lines.h"

namespace qm {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string Escape(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Reads a quoted string starting at s[i] == '"'; advances i past it.
bool Unescape(const std::string& s, size_t& i, std::string& out) {
  if (i >= s.size() || s[i] != '"') return false;
  ++i;
  out.clear();
  while (i < s.size()) {
    char c = s[i++];
    if (c == '\\' && i < s.size()) {
      out += s[i++];
    } else if (c == '"') {
      return true;
    } else {
      out += c;
    }
  }
  return false;
}

std::string Hex(const std::string& bytes) {
  std::string out = "hex:";
  char buf[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(bytes[i]));
    if (i) out += ',';
    out += buf;
  }
  return out;
}

bool Unhex(const std::string& text, std::string& out) {
  out.clear();
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ',') {
      ++i;
      continue;
    }
    if (i + 2 > text.size()) return false;
    unsigned v;
    if (std::sscanf(text.substr(i, 2).c_str(), "%2x", &v) != 1) return false;
    out += static_cast<char>(v);
    i += 2;
  }
  return true;
}

}  // namespace

RegistryStore::RegistryStore(std::string path) : path_(std::move(path)) {
  Key* cur = nullptr;
  for (const std::string& line : LoadLinesFromFile(path_)) {
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      keys_.push_back(Key{line.substr(1, line.size() - 2), {}});
      cur = &keys_.back();
      continue;
    }
    if (!cur || line.empty()) continue;
    Value v;
    size_t i = 0;
    if (line[0] == '@') {
      i = 1;
    } else if (!Unescape(line, i, v.name)) {
      continue;
    }
    if (i >= line.size() || line[i] != '=') continue;
    ++i;
    std::string rest = line.substr(i);
    if (rest.rfind("hex:", 0) == 0) {
      v.binary = true;
      if (!Unhex(rest.substr(4), v.data)) continue;
    } else {
      size_t j = 0;
      if (!Unescape(rest, j, v.data)) continue;
    }
    cur->values.push_back(std::move(v));
  }
}

std::string RegistryStore::DefaultPath() { return UserConfigDir() + "torvane-quillmar/registry.ini"; }

RegistryStore::Key* RegistryStore::Find(const std::string& key) {
  for (auto& k : keys_)
    if (SameName(k.path, key)) return &k;
  return nullptr;
}

const RegistryStore::Key* RegistryStore::Find(const std::string& key) const {
  for (const auto& k : keys_)
    if (SameName(k.path, key)) return &k;
  return nullptr;
}

void RegistryStore::CreateKey(const std::string& key) {
  if (!Find(key)) keys_.push_back(Key{key, {}});
}

bool RegistryStore::KeyExists(const std::string& key) const { return Find(key) != nullptr; }

std::optional<std::string> RegistryStore::ReadString(const std::string& key, const std::string& name) const {
  const Key* k = Find(key);
  if (!k) return std::nullopt;
  for (const auto& v : k->values)
    if (SameName(v.name, name)) return v.data;
  return std::nullopt;
}

RegistryStore::Value& RegistryStore::Slot(const std::string& key, const std::string& name) {
  CreateKey(key);
  Key* k = Find(key);
  for (auto& v : k->values)
    if (SameName(v.name, name)) return v;
  k->values.push_back(Value{name, false, ""});
  return k->values.back();
}

void RegistryStore::WriteString(const std::string& key, const std::string& name, const std::string& value) {
  Value& v = Slot(key, name);
  v.binary = false;
  v.data = value;
}

void RegistryStore::WriteBinary(const std::string& key, const std::string& name, const std::string& bytes) {
  Value& v = Slot(key, name);
  v.binary = true;
  v.data = bytes;
}

void RegistryStore::Save() const {
  StringList lines;
  for (const auto& k : keys_) {
    lines.push_back("[" + k.path + "]");
    for (const auto& v : k.values) {
      std::string left = v.name.empty() ? "@" : Escape(v.name);
      lines.push_back(left + "=" + (v.binary ? Hex(v.data) : Escape(v.data)));
    }
    lines.push_back("");
  }
  ForceDirectories(ExtractFilePath(path_));
  SaveLinesToFile(path_, lines);
}

std::vector<std::string> RegistryStore::Keys() const {
  std::vector<std::string> out;
  for (const auto& k : keys_) out.push_back(k.path);
  return out;
}

}  // namespace qm
