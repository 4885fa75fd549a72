#pragma once
// The compose window's spell checker: Hunspell dictionaries, the user's own
// word list "default.udt" in AppDir and the words ignored for this session.
// Settings live in Options.ini, section Spelling.
#include <QString>
#include <memory>
#include <set>
#include <string>
#include <vector>

class Hunspell;

namespace qm {

// The main dictionary setting: "english.dct" names en_US; any other value is
// a dictionary name such as "en_GB" (a ".dct" ending is dropped).
inline constexpr char kDefaultDictionary[] = "english.dct";
inline constexpr char kUserDictionaryFile[] = "default.udt";

struct SpellSettings {
  std::string Dictionary = kDefaultDictionary;
  bool IgnoreUpperCase = true;  // words written in capitals only
  bool IgnoreNumbers = true;    // words holding digits
  std::string DictionaryDir;    // searched before the system's folders
};

SpellSettings LoadSpellSettings();
void SaveSpellSettings(const SpellSettings& s);

// The Hunspell name of a dictionary setting ("english.dct" -> "en_US").
std::string DictionaryLanguage(const std::string& setting);
// The .aff path of a language in the searched folders, or "".
std::string FindDictionary(const std::string& language, const std::string& extra_dir);
// The languages whose .aff and .dic are both found, sorted.
std::vector<std::string> AvailableDictionaries(const std::string& extra_dir);

class TSpellChecker {
 public:
  TSpellChecker();
  ~TSpellChecker();
  TSpellChecker(const TSpellChecker&) = delete;
  TSpellChecker& operator=(const TSpellChecker&) = delete;

  // Reads the settings and opens the dictionary and the user's word list;
  // true when a dictionary was found.
  bool LoadConfiguration();
  bool IsConfigured() const { return engine_ != nullptr; }

  bool IsCorrect(const QString& word) const;
  std::vector<QString> Suggest(const QString& word) const;
  // For the rest of this checker's life.
  void IgnoreAll(const QString& word);
  // Accepted from now on and kept in default.udt; false when the file
  // cannot be written (the word is still accepted now).
  bool AddToUserDictionary(const QString& word);

  // The next word from `from` on that is not correct: its start and length.
  bool FindNextMisspelling(const QString& text, int from, int& start, int& length) const;

 private:
  std::string ToDictionary(const QString& word) const;
  std::unique_ptr<Hunspell> engine_;
  SpellSettings settings_;
  bool utf8_ = true;
  std::set<QString> ignored_;
};

}  // namespace qm
