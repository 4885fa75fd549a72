#pragma once
// Settings files with private-profile semantics: section and key names are
// compared without regard to case, every read takes a default, every write goes
// straight to the file (atomically) and is seen by every other object open on
// the same file.
#include <string>

#include "platform/text_lines.h"

namespace qm {

class IniFile {
 public:
  explicit IniFile(std::string path);

  const std::string& FileName() const { return path_; }

  // One pair of enclosing double quotes is removed.
  std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
  // "0x..." (longer than two characters) is hexadecimal; a non-number gives def.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  // Any integer other than 0 is true; a non-number gives def.
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;

  // Writes raise qm::FileError when the file cannot be replaced.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

  void EraseSection(const std::string& section);
  void DeleteKey(const std::string& section, const std::string& key);

  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  StringList ReadSections() const;                            // in file order
  StringList ReadSection(const std::string& section) const;   // key names in order

  // While a scope lives, writes to this file (by any object) are collected and
  // the file is replaced once when the last scope ends; reads see them at once.
  class UpdateScope {
   public:
    explicit UpdateScope(const IniFile& ini);
    ~UpdateScope() noexcept(false);
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

   private:
    std::string path_;
  };

 private:
  std::string path_;
};

// Parses a decimal or "0x" hexadecimal integer the way settings are read.
bool ParseSettingsInteger(const std::string& text, int& out);

}  // namespace qm
