#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "store/qdb_codec.h"
#include "store/tqdb.h"
#include "test_support/temp_dir.h"
#include "container_builder.h"

namespace qm {
namespace {

using test::Container;
using test::IndexSection;
using test::RawEntry;

std::string Fixture(const std::string& name) {
  return ReadFileBytes(std::string(QUILL_FIXTURES_DIR) + "/store/" + name);
}

std::string EmptyFile() { return std::string("QDB\0\0\0\0\0QIX\0\5\0\0\0\0\0\0\0\0", 21); }

TEST(Container, EmptyFileIs21BytesAndIsRewrittenOnlyWhenChanged) {
  TempDir dir;
  const std::string path = dir.path() + "new.zqf";
  {
    TQDB db;
    db.SetFileName(path);
    EXPECT_EQ(ReadFileBytes(path), EmptyFile());
    EXPECT_EQ(db.Count(), 0);
  }
  // A mailbox only opened is left as it was.
  EXPECT_EQ(ReadFileBytes(path), EmptyFile());
  {
    TQDB db;
    db.SetFileName(path);
    db.Add("x", "1");
    db.FindKey("1");
    db.Delete();
  }
  // A changed one is rewritten: the deleted body stays as dead space and the
  // index section is the count alone.
  EXPECT_EQ(ReadFileBytes(path), std::string("QDB\0\1\0\0\0xQIX\0\4\0\0\0\0\0\0\0", 21));
}

TEST(Container, WritesTheProtectedFileOfAnyOtherWriter) {
  TempDir dir;
  const std::string path = dir.path() + "p.zqf";
  {
    TQDB db;
    db.SetPassword("Quillmar");
    db.SetFileName(path);
    db.Add("Hello, world", "1");
    db.Add("Second item\r\n", "20");
  }
  EXPECT_EQ(ReadFileBytes(path), Fixture("protected.zqf"));
}

TEST(Container, ReadsAProtectedFileAskingForThePasswordOnce) {
  TempDir dir;
  const std::string path = dir.path() + "p.zqf";
  WriteFileAtomically(path, Fixture("protected.zqf"));
  TQDB db;
  int asked = 0;
  db.OnDemandPassword = [&](TQDB&, TPassword& pw) {
    ++asked;
    EXPECT_TRUE(pw.empty());
    pw = "Quillmar";
  };
  db.SetFileName(path);
  EXPECT_EQ(asked, 1);
  ASSERT_EQ(db.GetKeys(), (StringList{"1", "20"}));
  EXPECT_EQ(db.Get(), "Hello, world");
  db.GoTo(1);
  EXPECT_EQ(db.Get(), "Second item\r\n");
}

TEST(Container, WrongPasswordLeavesTheFileUntouched) {
  TempDir dir;
  const std::string path = dir.path() + "p.zqf";
  WriteFileAtomically(path, Fixture("protected.zqf"));
  for (const char* given : {"", "quillmar", "Quillmar "}) {
    TQDB db;
    db.OnDemandPassword = [&](TQDB&, TPassword& pw) { pw = given; };
    try {
      db.SetFileName(path);
      ADD_FAILURE() << "opened with '" << given << "'";
    } catch (const EQDBInvalidPW& e) {
      EXPECT_STREQ(e.what(), "The password you have provided is invalid");
    }
    EXPECT_FALSE(db.FileAssigned());
    EXPECT_EQ(db.FileName(), "");
  }
  EXPECT_EQ(ReadFileBytes(path), Fixture("protected.zqf"));
}

TEST(Container, ReadsPlainAndCompressedBodies) {
  TempDir dir;
  const std::string path = dir.path() + "m.zqf";
  WriteFileAtomically(path, Fixture("plain_mixed.zqf"));
  TQDB db;
  db.SetFileName(path);
  ASSERT_EQ(db.Count(), 2);
  EXPECT_EQ(db.Get(), "plain body");
  db.GoTo(1);
  EXPECT_EQ(db.Get(), "abcabcabc");
  EXPECT_EQ(db.IndexEntry(1).flags, 2u);
}

TEST(Container, LargeProtectedSectionsSurviveARoundTrip) {
  TempDir dir;
  const std::string path = dir.path() + "big.zqf";
  std::string big;
  for (int i = 0; big.size() < 1300000; ++i) big += "line " + std::to_string(i) + "\r\n";
  {
    TQDB db;
    db.SetPassword("long one");
    db.SetFileName(path);
    db.Add(big, "1");
    db.Add("tail", "2");
  }
  std::string raw = ReadFileBytes(path);
  EXPECT_EQ(raw.find("line 1000"), std::string::npos) << "data left in the clear";
  TQDB db;
  db.SetPassword("long one");
  db.SetFileName(path);
  EXPECT_EQ(db.Get(), big);
  db.GoTo(1);
  EXPECT_EQ(db.Get(), "tail");
}

TEST(Container, AcceptsSpareIndexBytesAndIgnoresTrailingBytes) {
  TempDir dir;
  const std::string path = dir.path() + "s.zqf";
  std::string index = IndexSection({{"k", 0, 3}}) + std::string(7, 'x');
  WriteFileAtomically(path, Container("abc", index) + "trailing junk");
  TQDB db;
  db.SetFileName(path);
  ASSERT_EQ(db.Count(), 1);
  EXPECT_EQ(db.Get(), "abc");
}

TEST(Container, AdministrativeItemsStayHiddenAndAreCarriedThrough) {
  TempDir dir;
  const std::string path = dir.path() + "a.zqf";
  // Ordinary entries descending, as written; "QDBCaseSensitive" = 1.
  std::string data = std::string("\1") + "lower" + "upper";
  std::string index = IndexSection({{"QDBCaseSensitive", 0, 1, 1}, {"a", 1, 5}, {"A", 6, 5}});
  WriteFileAtomically(path, Container(data, index));
  {
    TQDB db;
    db.SetFileName(path);
    EXPECT_TRUE(db.CaseSensitive());
    EXPECT_EQ(db.GetKeys(), (StringList{"A", "a"}));
    EXPECT_FALSE(db.KeyExists("QDBCaseSensitive"));
    EXPECT_EQ(db.GetAdminItem("QDBCaseSensitive"), "\1");
    EXPECT_THROW(db.GetAdminItem("Other"), EQDBBadKey);
    db.Pack();
    db.Add("third", "b");
  }
  TQDB db;
  db.SetFileName(path);
  EXPECT_TRUE(db.CaseSensitive());
  EXPECT_EQ(db.GetKeys(), (StringList{"A", "a", "b"}));
  EXPECT_EQ(db.GetAdminItem("QDBCaseSensitive"), "\1");
}

TEST(Container, KeysOutOfOrderAreSortedOnLoad) {
  TempDir dir;
  const std::string path = dir.path() + "o.zqf";
  WriteFileAtomically(path, Container("xy", IndexSection({{"1", 0, 1}, {"2", 1, 1}})));
  TQDB db;
  db.SetFileName(path);
  EXPECT_EQ(db.GetKeys(), (StringList{"1", "2"}));
  EXPECT_TRUE(db.FindKey("2"));
  EXPECT_EQ(db.Get(), "y");
}

// Damaged files: each must fail with the engine's error, leave the file as it
// was and leave the engine closed.
TEST(Container, RejectsDamagedFiles) {
  const std::string ok_index = IndexSection({{"2", 3, 2}, {"1", 0, 3}});
  const std::string key256(256, 'k');
  std::string no_zero_key = IndexSection({}, 1) + std::string(300, 'k');
  struct Case {
    const char* name;
    std::string bytes;
    bool file_error;  // EQDBFileError rather than EQDBIndexError
  };
  const std::vector<Case> cases = {
      {"empty file", "", true},
      {"wrong magic", "QDX" + Container("abcde", ok_index).substr(3), true},
      {"magic without zero", "QDBX" + Container("abcde", ok_index).substr(4), true},
      {"truncated after magic", std::string("QDB\0\5", 5), true},
      {"data length past the end", Container("abcde", ok_index, 1000), true},
      {"negative data length", Container("abcde", ok_index, 0xFFFFFFF0), true},
      {"wrong index magic", Container("abcde", ok_index).replace(13, 3, "QIY"), true},
      {"index length past the end", Container("abcde", ok_index, -1, 5000), true},
      {"negative index length", Container("abcde", ok_index, -1, 0x80000000), true},
      {"truncated protected header", std::string("QDB\0QPW\0\1\2\3", 11), true},
      {"index without count", Container("abcde", "\1\0"), false},
      {"huge entry count", Container("abcde", IndexSection({{"1", 0, 3}}, 0x7FFFFFFF)), false},
      {"negative entry count", Container("abcde", IndexSection({}, -3)), false},
      {"count beyond the entries", Container("abcde", IndexSection({{"1", 0, 3}}, 2)), false},
      {"key without zero byte", Container("abcde", no_zero_key), false},
      {"key of 256 characters", Container("abcde", IndexSection({{key256, 0, 3}})), false},
      {"entry cut short", Container("abcde", ok_index.substr(0, ok_index.size() - 2)), false},
      {"offset past the data", Container("abcde", IndexSection({{"1", 4, 3}})), false},
      {"negative offset", Container("abcde", IndexSection({{"1", -1, 3}})), false},
      {"negative length", Container("abcde", IndexSection({{"1", 0, -3}})), false},
      {"length past the data", Container("abcde", IndexSection({{"1", 2, 4}})), false},
      {"overlapping bodies", Container("abcde", IndexSection({{"2", 2, 3}, {"1", 0, 3}})), false},
      {"duplicate keys", Container("abcde", IndexSection({{"1", 3, 2}, {"1", 0, 3}})), false},
      {"duplicate administrative keys",
       Container("abcde", IndexSection({{"x", 0, 1, 1}, {"x", 1, 1, 1}})), false},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const std::string path = dir.path() + "bad.zqf";
    WriteFileAtomically(path, c.bytes);
    TQDB db;
    try {
      db.SetFileName(path);
      ADD_FAILURE() << c.name << ": opened";
    } catch (const EQDBFileError& e) {
      EXPECT_TRUE(c.file_error) << c.name << ": " << e.what();
      EXPECT_EQ(std::string(e.what()), "The file " + path + " is not a valid QDB file") << c.name;
    } catch (const EQDBIndexError& e) {
      EXPECT_FALSE(c.file_error) << c.name << ": " << e.what();
      EXPECT_EQ(std::string(e.what()), "The file " + path + " is not a valid QDB file") << c.name;
    } catch (const std::exception& e) {
      ADD_FAILURE() << c.name << ": " << e.what();
    }
    EXPECT_FALSE(db.FileAssigned()) << c.name;
    EXPECT_EQ(db.FileName(), "") << c.name;
    EXPECT_EQ(ReadFileBytes(path), c.bytes) << c.name;
  }
}

TEST(Container, BadCompressedBodyFailsWhenRead) {
  TempDir dir;
  const std::string path = dir.path() + "c.zqf";
  // A reference three bytes back at the start of a block, then a good item.
  std::string bad("\5\0\x40\x80\x00\x00\x33", 7);
  std::string good = CompressItem("fine");
  std::string index = IndexSection({{"2", 7, static_cast<int32_t>(good.size()), 2}, {"1", 0, 7, 2}});
  const std::string bytes = Container(bad + good, index);
  WriteFileAtomically(path, bytes);
  TQDB db;
  db.SetFileName(path);
  try {
    db.Get();
    ADD_FAILURE() << "decoded";
  } catch (const EQDBIndexError& e) {
    EXPECT_EQ(std::string(e.what()), "The file " + path + " is not a valid QDB file");
  }
  db.GoTo(1);
  EXPECT_EQ(db.Get(), "fine");
}

}  // namespace
}  // namespace qm

namespace qm {
namespace {

// Inputs the fuzzer once crashed on; each must fail with the engine's error.
TEST(Container, FuzzFindingsFailCleanly) {
  struct Case {
    const char* file;
    const char* why;
  } cases[] = {
      {"fuzz_unsorted_duplicates.zqf", "keys out of order with a case-insensitive duplicate"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const std::string path = dir.path() + c.file;
    WriteFileAtomically(path, ReadFileBytes(std::string(QUILL_FIXTURES_DIR) + "/store/" + c.file));
    TQDB db;
    EXPECT_THROW(db.SetFileName(path), EQDBIndexError) << c.why;
    EXPECT_FALSE(db.FileAssigned()) << c.why;
  }
}

}  // namespace
}  // namespace qm

namespace qm {
namespace {

TEST(Container, ReadingAMailboxNeverRewritesIt) {
  TempDir dir;
  const std::string path = dir.path() + "read.zqf";
  {
    TQDB db;
    db.SetFileName(path);
    for (int i = 0; i < 20; ++i) db.Add(std::string(500, static_cast<char>('a' + i)), std::to_string(i));
  }
  struct stat before;
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  {
    TQDB db;
    db.SetFileName(path);
    StringList keys;
    db.GetKeys(keys);
    for (const auto& k : keys) {
      ASSERT_TRUE(db.FindKey(k));
      EXPECT_EQ(db.Get().size(), 500u);
    }
    db.Save();
  }
  struct stat after;
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino) << "a rewrite would have renamed a new file over it";
}

}  // namespace
}  // namespace qm
