#include "contacts/contact_store.h"

#include <algorithm>

#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "shell/text_utils.h"

namespace qm {

const char* const kMainBookName = "Contacts";

namespace {

constexpr char kLineBreak[] = "#13#10";

// Cuts to the limit without leaving half a UTF-8 sequence at the end.
std::string Cut(std::string s) {
  if (s.size() <= kContactFieldLimit) return s;
  size_t n = kContactFieldLimit;
  // s[n] is the first byte dropped; when it continues a sequence, drop all of it.
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  s.resize(n);
  return s;
}

struct TextKey {
  const char* key;
  std::string cContact::*field;
};

// Keys in their written order; ShowOnContactPane, Gender and Notes are
// handled apart.
const TextKey kHead[] = {{"NickName", &cContact::NickName},
                         {"Email", &cContact::Email},
                         {"SecondaryEmail", &cContact::SecondaryEmail},
                         {"HomePage", &cContact::HomePage}};
const TextKey kMiddle[] = {{"HomeAddress", &cContact::HomeAddress},
                           {"HomeStateOrProvince", &cContact::HomeStateOrProvince},
                           {"HomeCountry", &cContact::HomeCountry},
                           {"HomePhone", &cContact::HomePhone},
                           {"HomeFax", &cContact::HomeFax},
                           {"HomeMobile", &cContact::HomeMobile},
                           {"WorkCompany", &cContact::WorkCompany},
                           {"WorkAddress", &cContact::WorkAddress},
                           {"WorkStateOrProvince", &cContact::WorkStateOrProvince},
                           {"WorkPhone", &cContact::WorkPhone},
                           {"WorkFax", &cContact::WorkFax},
                           {"workPager", &cContact::WorkPager},
                           {"BirthDate", &cContact::BirthDate},
                           {"Anniversary", &cContact::Anniversary},
                           {"ICQNumber", &cContact::ICQNumber}};
const TextKey kTail[] = {{"UseAccount", &cContact::UseAccount}, {"UseSignature", &cContact::UseSignature}};

// Reading trims blanks and removes one pair of enclosing quotes, so a value
// that would lose either is written inside quotes.
std::string Protect(const std::string& v) {
  if (v.empty()) return v;
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  bool quoted = v.size() >= 2 && v.front() == '"' && v.back() == '"';
  return blank(v.front()) || blank(v.back()) || quoted ? "\"" + v + "\"" : v;
}

bool UsableSectionName(const std::string& name) {
  return !name.empty() && TrimBlanks(name) == name && name.find_first_of("]\r\n") == std::string::npos &&
         name.find('\0') == std::string::npos;
}

}  // namespace

void InitContact(cContact& c) { c = cContact{}; }

std::string EncodeContactNotes(const std::string& notes) {
  // A lone CR or LF (text typed on this platform) is a line break as well.
  std::string out;
  for (size_t i = 0; i < notes.size(); ++i) {
    char ch = notes[i];
    if (ch == '\r' || ch == '\n') {
      out += kLineBreak;
      if (ch == '\r' && i + 1 < notes.size() && notes[i + 1] == '\n') ++i;
    } else {
      out += ch;
    }
  }
  return out;
}

std::string DecodeContactNotes(const std::string& stored) { return ReplaceAll(stored, kLineBreak, "\r\n"); }

void ReadContact(const std::string& book_file, const std::string& name, bool quick, cContact& c) {
  InitContact(c);
  c.Name = Cut(name);
  IniFile ini(book_file);
  IniFile::UpdateScope batch(ini);  // reads one parse of the file
  c.Email = Cut(ini.ReadString(name, "Email", ""));
  c.HomePage = Cut(ini.ReadString(name, "HomePage", ""));
  c.ShowOnContactPane = ini.ReadBool(name, "ShowOnContactPane", true);
  if (quick) return;
  for (const auto& k : kHead) c.*k.field = Cut(ini.ReadString(name, k.key, ""));
  for (const auto& k : kMiddle) c.*k.field = Cut(ini.ReadString(name, k.key, ""));
  int g = ini.ReadInteger(name, "Gender", 0);
  c.Gender = g >= 0 && g <= 2 ? static_cast<uint8_t>(g) : 0;
  for (const auto& k : kTail) c.*k.field = Cut(ini.ReadString(name, k.key, ""));
  c.Notes = DecodeContactNotes(ini.ReadString(name, "Notes", ""));
}

bool WriteContact(const std::string& book_file, const cContact& c) {
  if (!UsableSectionName(c.Name)) return false;
  IniFile ini(book_file);
  IniFile::UpdateScope batch(ini);  // one replacement of the file for all keys
  const std::string& s = c.Name;
  for (const auto& k : kHead) ini.WriteString(s, k.key, Protect(c.*k.field));
  ini.WriteBool(s, "ShowOnContactPane", c.ShowOnContactPane);
  for (const auto& k : kMiddle) ini.WriteString(s, k.key, Protect(c.*k.field));
  ini.WriteInteger(s, "Gender", c.Gender);
  for (const auto& k : kTail) ini.WriteString(s, k.key, Protect(c.*k.field));
  ini.WriteString(s, "Notes", Protect(EncodeContactNotes(c.Notes)));
  return true;
}

bool RenameContact(const std::string& book_file, const std::string& old_name, const std::string& new_name) {
  if (!UsableSectionName(new_name)) return false;
  // Two sections of one name would hide one contact, and deleting either
  // would erase both.
  if (!SameTextAscii(old_name, new_name) && IniFile(book_file).SectionExists(new_name)) return false;
  StringList lines = LoadLinesFromFile(book_file);
  const std::string header = "[" + old_name + "]";
  for (std::string& line : lines) {
    if (SameTextAscii(TrimBlanks(line), header)) {
      line = "[" + new_name + "]";
      SaveLinesToFile(book_file, lines);
      return true;
    }
  }
  return false;
}

void DeleteContact(const std::string& book_file, const std::string& name) { IniFile(book_file).EraseSection(name); }

bool CopyContact(const std::string& from_book, const std::string& to_book, const std::string& name) {
  if (!IniFile(from_book).SectionExists(name)) return false;
  if (from_book == to_book) return true;
  cContact c;
  ReadContact(from_book, name, false, c);
  return WriteContact(to_book, c);
}

bool MoveContact(const std::string& from_book, const std::string& to_book, const std::string& name) {
  // Within one book the delete would erase the contact just written.
  if (from_book == to_book) return IniFile(from_book).SectionExists(name);
  if (!CopyContact(from_book, to_book, name)) return false;
  DeleteContact(from_book, name);
  return true;
}

StringList ListContacts(const std::string& book_file) { return IniFile(book_file).ReadSections(); }

std::vector<cContact> ReadContactsQuick(const std::string& book_file) {
  IniFile ini(book_file);
  // One check that the file is fresh for the whole list, not one per contact.
  IniFile::UpdateScope batch(ini);
  const StringList names = ListContacts(book_file);
  std::vector<cContact> out;
  out.reserve(names.size());
  for (const std::string& name : names) {
    out.emplace_back();
    ReadContact(book_file, name, true, out.back());
  }
  return out;
}

std::vector<cContact> ReadContactsQuickByName(const std::string& book_file) {
  std::vector<cContact> out = ReadContactsQuick(book_file);
  std::stable_sort(out.begin(), out.end(),
                   [](const cContact& a, const cContact& b) { return CompareTextAscii(a.Name, b.Name) < 0; });
  return out;
}

StringList GetBookList() {
  StringList books{kMainBookName};
  if (ContactsDir.empty()) return books;
  for (const DirEntry& e : ListDirectory(ContactsDir)) {
    if (e.is_directory || e.name.size() <= 4) continue;
    if (e.name.compare(e.name.size() - 4, 4, ".mcg") != 0) continue;
    books.push_back(e.name.substr(0, e.name.size() - 4));
  }
  return books;
}

std::string GetGroupFile(const std::string& group) { return ContactsDir + group + ".mcg"; }

std::string GetBookFile(const std::string& book) {
  return book == kMainBookName ? ContactsFile() : GetGroupFile(book);
}

}  // namespace qm
