#pragma once
// Address books: the main book Contacts.ini and one .mcg file per group, one
// INI section per contact named after it.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/text_lines.h"

namespace qm {

// Texts longer than this are cut when read into the record (notes are not).
constexpr size_t kContactFieldLimit = 255;

// Shown for the main book in every list of books; always first.
extern const char* const kMainBookName;  // "Contacts"

struct cContact {
  std::string Name;
  std::string NickName;
  std::string Email;
  std::string SecondaryEmail;
  std::string HomePage;
  bool ShowOnContactPane = true;
  std::string HomeAddress;
  std::string HomeStateOrProvince;
  std::string HomeCountry;
  std::string HomePhone;
  std::string HomeFax;
  std::string HomeMobile;
  std::string WorkCompany;
  std::string WorkAddress;
  std::string WorkStateOrProvince;
  std::string WorkPhone;
  std::string WorkFax;
  std::string WorkPager;
  std::string BirthDate;
  std::string Anniversary;
  std::string ICQNumber;
  uint8_t Gender = 0;  // 0 unspecified, 1 male, 2 female
  std::string UseAccount;
  std::string UseSignature;
  std::string Notes;   // lines separated by CR LF
};

void InitContact(cContact& c);

// Reads one section. With `quick` only the name, Email, HomePage and
// ShowOnContactPane are read (enough for lists), the rest stays fresh.
// A missing file or section gives the fresh record with the name set.
void ReadContact(const std::string& book_file, const std::string& name, bool quick, cContact& c);

// Writes every key of the contact's section in their fixed order. False,
// with nothing written, when the name cannot be a section name (empty, or
// holding "]", CR, LF). Throws qm::FileError when the file cannot be written.
bool WriteContact(const std::string& book_file, const cContact& c);

// Changes the section header line only; every key stays. False when the old
// name is not found or another contact already has the new name.
bool RenameContact(const std::string& book_file, const std::string& old_name, const std::string& new_name);

void DeleteContact(const std::string& book_file, const std::string& name);

// The address book's copy and move: read fully from the source, write to the
// target (over a contact of that name there), and for a move delete from the
// source. A move within one book changes nothing. False when the source has
// no such contact or it cannot be written.
bool CopyContact(const std::string& from_book, const std::string& to_book, const std::string& name);
bool MoveContact(const std::string& from_book, const std::string& to_book, const std::string& name);

// Contact names of a book in file order.
StringList ListContacts(const std::string& book_file);

// Every contact of a book in file order, read as ReadContact's quick read
// does, from one look at the file (the lists of the windows).
std::vector<cContact> ReadContactsQuick(const std::string& book_file);
// The same, sorted by name ignoring ASCII case (the pickers and the pane).
std::vector<cContact> ReadContactsQuickByName(const std::string& book_file);

// "Contacts" followed by the group names (.mcg files of ContactsDir).
StringList GetBookList();
std::string GetGroupFile(const std::string& group);
// The file of a name from GetBookList: Contacts.ini for the main book.
std::string GetBookFile(const std::string& book);

// Notes as stored: every line break becomes the six characters "#13#10".
std::string EncodeContactNotes(const std::string& notes);
std::string DecodeContactNotes(const std::string& stored);

}  // namespace qm
