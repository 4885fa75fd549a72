#pragma once
// A file that stands in for the system registry: keys in the order they were
// created, each with named values (the default value has the empty name).
// Key and value names compare without regard to case.
#include <optional>
#include <string>
#include <vector>

namespace qm {

class RegistryStore {
 public:
  // Loads the file if it exists; an unreadable or garbled file reads as empty.
  explicit RegistryStore(std::string path);

  // $XDG_CONFIG_HOME/torvane-quillmar/registry.ini
  static std::string DefaultPath();

  void CreateKey(const std::string& key);
  bool KeyExists(const std::string& key) const;
  std::optional<std::string> ReadString(const std::string& key, const std::string& name) const;
  void WriteString(const std::string& key, const std::string& name, const std::string& value);
  void WriteBinary(const std::string& key, const std::string& name, const std::string& bytes);

  // Writes the file atomically, creating its directory. Throws FileError.
  void Save() const;

  const std::string& path() const { return path_; }
  // The key paths in their order, for tests and diagnosis.
  std::vector<std::string> Keys() const;

 private:
  struct Value {
    std::string name;
    bool binary = false;
    std::string data;
  };
  struct Key {
    std::string path;
    std::vector<Value> values;
  };
  Key* Find(const std::string& key);
  const Key* Find(const std::string& key) const;
  Value& Slot(const std::string& key, const std::string& name);

  std::string path_;
  std::vector<Key> keys_;
};

}  // namespace qm
