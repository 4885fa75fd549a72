#include "ui/spell_checker.h"

#include <hunspell.hxx>

#include <algorithm>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/text_utils.h"
#include "ui/qt_text.h"

namespace qm {

namespace {

const char* const kSection = "Spelling";

std::vector<std::string> DictionaryDirs(const std::string& extra_dir) {
  std::vector<std::string> dirs;
  if (!extra_dir.empty()) dirs.push_back(IncludeTrailingSlash(ExpandAppDir(extra_dir)));
  dirs.push_back(AppDir);
  dirs.push_back("/usr/share/hunspell/");
  dirs.push_back("/usr/share/myspell/dicts/");
  dirs.push_back("/usr/share/myspell/");
  return dirs;
}

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == '\'' || c == QChar(0x2019); }

}  // namespace

SpellSettings LoadSpellSettings() {
  SpellSettings s;
  if (!OptionsIni) return s;
  s.Dictionary = OptionsIni->ReadString(kSection, "Dictionary", kDefaultDictionary);
  s.IgnoreUpperCase = OptionsIni->ReadBool(kSection, "IgnoreUpperCase", true);
  s.IgnoreNumbers = OptionsIni->ReadBool(kSection, "IgnoreNumbers", true);
  s.DictionaryDir = OptionsIni->ReadString(kSection, "DictionaryDir", "");
  return s;
}

void SaveSpellSettings(const SpellSettings& s) {
  if (!OptionsIni) return;
  OptionsIni->WriteString(kSection, "Dictionary", s.Dictionary);
  OptionsIni->WriteBool(kSection, "IgnoreUpperCase", s.IgnoreUpperCase);
  OptionsIni->WriteBool(kSection, "IgnoreNumbers", s.IgnoreNumbers);
  OptionsIni->WriteString(kSection, "DictionaryDir", s.DictionaryDir);
}

std::string DictionaryLanguage(const std::string& setting) {
  if (setting.empty() || SameTextAscii(setting, kDefaultDictionary)) return "en_US";
  std::string name = setting;
  if (name.size() > 4 && SameTextAscii(name.substr(name.size() - 4), ".dct")) name.resize(name.size() - 4);
  return name;
}

std::string FindDictionary(const std::string& language, const std::string& extra_dir) {
  // A name is a file name in a dictionary folder, never a path.
  if (language.empty() || language.find('/') != std::string::npos || language == "." || language == "..")
    return "";
  for (const std::string& dir : DictionaryDirs(extra_dir))
    if (FileExists(dir + language + ".aff") && FileExists(dir + language + ".dic")) return dir + language + ".aff";
  return "";
}

std::vector<std::string> AvailableDictionaries(const std::string& extra_dir) {
  std::vector<std::string> out;
  for (const std::string& dir : DictionaryDirs(extra_dir))
    for (const DirEntry& e : ListDirectory(dir)) {
      if (e.is_directory || e.name.size() <= 4 || e.name.compare(e.name.size() - 4, 4, ".dic") != 0) continue;
      std::string lang = e.name.substr(0, e.name.size() - 4);
      if (FileExists(dir + lang + ".aff") && std::find(out.begin(), out.end(), lang) == out.end())
        out.push_back(lang);
    }
  std::sort(out.begin(), out.end());
  return out;
}

TSpellChecker::TSpellChecker() = default;
TSpellChecker::~TSpellChecker() = default;

bool TSpellChecker::LoadConfiguration() {
  engine_.reset();
  settings_ = LoadSpellSettings();
  std::string aff = FindDictionary(DictionaryLanguage(settings_.Dictionary), settings_.DictionaryDir);
  if (aff.empty()) return false;
  std::string dic = aff.substr(0, aff.size() - 4) + ".dic";
  engine_ = std::make_unique<Hunspell>(aff.c_str(), dic.c_str());
  utf8_ = SameTextAscii(engine_->get_dict_encoding(), "UTF-8");
  for (const std::string& word : LoadLinesFromFile(AppDir + kUserDictionaryFile))
    if (!TrimBlanks(word).empty()) engine_->add(ToDictionary(Q(TrimBlanks(word))));
  return true;
}

std::string TSpellChecker::ToDictionary(const QString& word) const {
  QString w = word;
  w.replace(QChar(0x2019), '\'');
  if (utf8_) return S(w);
  QByteArray b = w.toLatin1();
  return std::string(b.constData(), static_cast<size_t>(b.size()));
}

bool TSpellChecker::IsCorrect(const QString& word) const {
  if (!engine_ || word.isEmpty()) return true;
  if (ignored_.count(word)) return true;
  bool has_digit = std::any_of(word.begin(), word.end(), [](QChar c) { return c.isDigit(); });
  if (settings_.IgnoreNumbers && has_digit) return true;
  if (settings_.IgnoreUpperCase && word == word.toUpper() && word != word.toLower()) return true;
  return engine_->spell(ToDictionary(word));
}

std::vector<QString> TSpellChecker::Suggest(const QString& word) const {
  std::vector<QString> out;
  if (!engine_) return out;
  for (const std::string& s : engine_->suggest(ToDictionary(word)))
    out.push_back(utf8_ ? Q(s) : QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())));
  return out;
}

void TSpellChecker::IgnoreAll(const QString& word) { ignored_.insert(word); }

bool TSpellChecker::AddToUserDictionary(const QString& word) {
  if (engine_) engine_->add(ToDictionary(word));
  std::string path = AppDir + kUserDictionaryFile;
  StringList words = LoadLinesFromFile(path);
  if (std::find(words.begin(), words.end(), S(word)) == words.end()) words.push_back(S(word));
  try {
    SaveLinesToFile(path, words);
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

bool TSpellChecker::FindNextMisspelling(const QString& text, int from, int& start, int& length) const {
  const int n = static_cast<int>(text.size());
  int i = std::clamp(from, 0, n);
  auto isQuote = [&](int k) { return text[k] == '\'' || text[k] == QChar(0x2019); };
  while (i < n) {
    // Start at the beginning of the word the caret is in, so its tail is not
    // checked on its own.
    int s = i;
    while (s > 0 && IsWordChar(text[s - 1]) && IsWordChar(text[s])) --s;
    if (s == i) {
      while (s < n && !IsWordChar(text[s])) ++s;
    }
    int e = s;
    while (e < n && IsWordChar(text[e])) ++e;
    i = e;
    // Quotes around a word are not part of it.
    int ws = s, we = e;
    while (ws < we && isQuote(ws)) ++ws;
    while (we > ws && isQuote(we - 1)) --we;
    // A caret at or past the word's end (as after the word just reported)
    // moves on instead of finding the same word again.
    if (we > ws && we > from && !IsCorrect(text.mid(ws, we - ws))) {
      start = ws;
      length = we - ws;
      return true;
    }
  }
  return false;
}

}  // namespace qm
