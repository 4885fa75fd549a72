// Any book file reads without a crash; every contact read from it can be
// written to another book and reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "contacts/contact_store.h"
#include "input_dir.h"
#include "platform/file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  InputDir dir;
  const std::string book = dir.path() + "book.mcg";
  const std::string copy = dir.path() + "copy.mcg";
  qm::WriteFileAtomically(book, std::string(reinterpret_cast<const char*>(data), size));
  qm::RemoveFile(copy);
  for (const std::string& name : qm::ListContacts(book)) {
    qm::cContact c, back;
    qm::ReadContact(book, name, false, c);
    if (c.Name.size() > qm::kContactFieldLimit || c.Email.size() > qm::kContactFieldLimit || c.Gender > 2) abort();
    if (!qm::WriteContact(copy, c)) continue;
    qm::ReadContact(copy, c.Name, false, back);
    if (back.Email != c.Email || back.WorkPager != c.WorkPager || back.Gender != c.Gender) abort();
    qm::RenameContact(copy, c.Name, c.Name + "x");
  }
  return 0;
}
