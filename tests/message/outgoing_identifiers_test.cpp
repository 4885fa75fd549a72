#include <gtest/gtest.h>

#include <set>

#include "message/message_id.h"
#include "message/mime_types.h"
#include "message/product_info.h"
#include "platform/file_system.h"

namespace qm {
namespace {

bool AllIn(std::string_view s, char first, char last) {
  for (char c : s)
    if (c < first || c > last) return false;
  return true;
}

TEST(OutgoingIdentifiers, MessageIdShape) {
  const std::string prefix = "<QMMail.", suffix = "@quillmar.invalid>";
  for (int i = 0; i < 200; ++i) {
    std::string id = NewMessageID();
    ASSERT_EQ(id.size(), prefix.size() + 8 + suffix.size()) << id;
    EXPECT_EQ(id.substr(0, prefix.size()), prefix);
    EXPECT_EQ(id.substr(prefix.size() + 8), suffix);
    EXPECT_TRUE(AllIn(id.substr(prefix.size(), 8), 'a', 't')) << id;
  }
}

TEST(OutgoingIdentifiers, BoundaryShape) {
  for (int i = 0; i < 200; ++i) {
    std::string b = NewBoundary();
    ASSERT_EQ(b.size(), 29u) << b;
    EXPECT_EQ(b.substr(0, 11), "--QM_Bound_");
    EXPECT_TRUE(AllIn(b.substr(11), 'a', 'y')) << b;
  }
}

// Identifiers made one right after the other must still differ.
TEST(OutgoingIdentifiers, BackToBackIdentifiersDiffer) {
  std::set<std::string> ids, boundaries;
  for (int i = 0; i < 1000; ++i) {
    ids.insert(NewMessageID());
    boundaries.insert(NewBoundary());
  }
  EXPECT_EQ(ids.size(), 1000u);
  EXPECT_EQ(boundaries.size(), 1000u);
}

TEST(OutgoingIdentifiers, LettersCoverTheirWholeRange) {
  std::set<char> id_letters, boundary_letters;
  for (int i = 0; i < 400; ++i) {
    for (char c : NewMessageID().substr(8, 8)) id_letters.insert(c);
    for (char c : NewBoundary().substr(11)) boundary_letters.insert(c);
  }
  EXPECT_EQ(id_letters.size(), 20u);        // a..t
  EXPECT_EQ(boundary_letters.size(), 25u);  // a..y
}

TEST(OutgoingProduct, ProductText) {
  // The tests run in the "C" locale.
  EXPECT_EQ(GetProductText(), "Torvane Quillmar 3.61 Final");
}

TEST(OutgoingMimeTypes, LookUpInOrder) {
  const std::string dir = std::string(QUILL_FIXTURES_DIR) + "/outgoing/";
  const StringList files = {dir + "system.mime.types", dir + "user.mime.types", dir + "missing.types"};
  struct Case {
    const char* path;
    const char* type;
  } cases[] = {
      {"/home/u/notes.txt", "text/plain"},
      {"/home/u/NOTES.TXT", "text/plain"},
      {"photo.JPG", "image/jpeg"},
      {"photo.jpe", "image/jpeg"},
      {"report.pdf", "application/pdf"},       // the first file wins
      {"list.notes", "text/x-first"},           // only in the second file
      {"archive.zzz", "application/octet-stream"},
      {"README", "application/octet-stream"},
      {"/dir.with.dots/README", "application/octet-stream"},
      {"trailing.", "application/octet-stream"},
      {"file.empty", "application/octet-stream"},  // a type line without extensions
      {"file.comment", "application/octet-stream"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetMimeTypeForFile(c.path, files), c.type) << c.path;
  EXPECT_EQ(GetMimeTypeForFile("a.txt", {}), "application/octet-stream");
}

TEST(OutgoingMimeTypes, SystemRegistry) {
  StringList files = MimeTypeFiles();
  ASSERT_FALSE(files.empty());
  EXPECT_EQ(files[0], "/etc/mime.types");
  if (!FileExists("/etc/mime.types")) GTEST_SKIP() << "no /etc/mime.types";
  EXPECT_EQ(GetMimeTypeForFile("/tmp/x.pdf"), "application/pdf");
  EXPECT_EQ(GetMimeTypeForFile("/tmp/x.no-such-extension"), "application/octet-stream");
}

}  // namespace
}  // namespace qm
