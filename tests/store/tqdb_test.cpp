#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_system.h"
#include "store/tqdb.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

class TqdbTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name = "box.zqf") const { return dir_.path() + name; }
  // Opens `db` on a file holding the given key -> body pairs.
  void Fill(TQDB& db, const std::vector<std::pair<std::string, std::string>>& items,
            const std::string& name = "box.zqf") {
    db.SetFileName(Path(name));
    for (const auto& [k, v] : items) db.Add(v, k);
  }
  TempDir dir_;
};

TEST_F(TqdbTest, ItemsSurviveCloseAndOpenInKeyOrder) {
  {
    TQDB db;
    Fill(db, {{"300", "three"}, {"b", "bee"}, {"1", "one"}, {"A", "a"}, {"20", std::string(70000, 'x')}});
    EXPECT_TRUE(db.Dirty());
    EXPECT_EQ(db.Count(), 5);
  }
  TQDB db;
  db.SetFileName(Path());
  EXPECT_FALSE(db.Dirty());
  EXPECT_EQ(db.ItemIndex(), 0);
  EXPECT_EQ(db.Key(), "1");
  ASSERT_EQ(db.GetKeys(), (StringList{"1", "20", "300", "A", "b"}));
  const char* bodies[] = {"one", nullptr, "three", "a", "bee"};
  for (int i = 0; i < 5; ++i) {
    db.GoTo(i);
    if (bodies[i]) EXPECT_EQ(db.Get(), bodies[i]);
    else EXPECT_EQ(db.Get(), std::string(70000, 'x'));
  }
  // Keys compare without regard to case unless the file says otherwise.
  EXPECT_TRUE(db.FindKey("B"));
  EXPECT_EQ(db.Key(), "b");
  EXPECT_TRUE(db.KeyExists("a"));
  EXPECT_FALSE(db.KeyExists("2"));
}

TEST_F(TqdbTest, AddRefusesDuplicatesAndUnstorableKeys) {
  TQDB db;
  Fill(db, {{"5", "five"}});
  try {
    db.Add("again", "5");
    ADD_FAILURE();
  } catch (const EQDBIndexError& e) {
    EXPECT_STREQ(e.what(), "Duplicate keys are not allowed");
  }
  EXPECT_EQ(db.Count(), 1);
  const int64_t size = db.DataSize();
  EXPECT_THROW(db.Add("x", std::string(256, 'k')), EQDBIndexError);
  EXPECT_THROW(db.Add("x", std::string("a\0b", 3)), EQDBIndexError);
  EXPECT_EQ(db.DataSize(), size);
  db.Add("max", std::string(255, 'k'));
  db.SetFileName("");
  db.SetFileName(Path());
  EXPECT_TRUE(db.FindKey(std::string(255, 'k')));
  EXPECT_EQ(db.Get(), "max");
}

TEST_F(TqdbTest, ChangeKeepsShorterBodiesInPlaceAndAppendsLongerOnes) {
  TQDB db;
  Fill(db, {{"1", "first body"}, {"2", "second body"}});
  db.GoTo(0);
  const TIndex before = db.IndexEntry(0);
  db.Change("short");
  EXPECT_EQ(db.IndexEntry(0).offset, before.offset);
  EXPECT_EQ(db.IndexEntry(0).length, 5);
  const int64_t end = db.DataSize();
  db.Change("a much longer first body");
  EXPECT_EQ(db.IndexEntry(0).offset, end);
  EXPECT_EQ(db.ItemIndex(), 0);
  EXPECT_EQ(db.Key(), "1");
  EXPECT_EQ(db.GetKeys(), (StringList{"1", "2"}));
  db.SetCacheSize(0);  // read from the file, not the cache
  db.SetCacheSize(65536);
  EXPECT_EQ(db.Get(), "a much longer first body");
  db.GoTo(1);
  EXPECT_EQ(db.Get(), "second body");
}

TEST_F(TqdbTest, DeleteMovesToThePreviousItem) {
  TQDB db;
  Fill(db, {{"1", "a"}, {"2", "b"}, {"3", "c"}});
  int after = 0, deleted = 0;
  std::vector<int> counts_before;
  db.BeforeDelete = [&](TQDB& d) { counts_before.push_back(d.Count()); };
  db.AfterDelete = [&](TQDB&) { ++after; };
  db.OnDeleted = [&](TQDB&) { ++deleted; };
  db.GoTo(2);
  db.Delete();
  EXPECT_EQ(db.ItemIndex(), 1);
  EXPECT_EQ(db.Key(), "2");
  db.GoTo(0);
  db.Delete();
  EXPECT_EQ(db.ItemIndex(), 0);
  EXPECT_EQ(db.Key(), "");
  // The item now at position 0 is still the one read.
  EXPECT_EQ(db.Get(), "b");
  EXPECT_EQ(after, 2);
  EXPECT_EQ(deleted, 2);
  db.Delete();
  EXPECT_EQ(db.Count(), 0);
  EXPECT_EQ(counts_before, (std::vector<int>{3, 2, 1}));
  try {
    db.Delete();
    ADD_FAILURE();
  } catch (const EQDBNoData& e) {
    EXPECT_EQ(std::string(e.what()), "File " + Path() + " is empty");
  }
}

TEST_F(TqdbTest, OperationsWithoutFileOrDataRaiseTheirErrors) {
  TQDB db;
  EXPECT_THROW(db.Get(), EQDBNoFile);
  EXPECT_THROW(db.Add("x", "1"), EQDBNoFile);
  EXPECT_THROW(db.GoTo(0), EQDBNoFile);
  EXPECT_THROW(db.KeyExists("1"), EQDBNoFile);
  try {
    db.Pack();
  } catch (const EQDBNoFile& e) {
    EXPECT_STREQ(e.what(), "Illegal operation - no file assigned");
  }
  db.SetFileName(Path());
  EXPECT_THROW(db.Get(), EQDBNoData);
  EXPECT_THROW(db.Change("x"), EQDBNoData);
  db.Add("x", "1");
  try {
    db.GoTo(1);
    ADD_FAILURE();
  } catch (const EQDBOutOfBounds& e) {
    EXPECT_STREQ(e.what(), "The list index is out of bounds");
  }
  EXPECT_THROW(db.GoTo(-1), EQDBOutOfBounds);
  // Assigned warnings replace the exceptions and the operation does nothing.
  int warned = 0;
  db.WarnOutOfBounds = [&](TQDB&) { ++warned; };
  db.GoTo(7);
  EXPECT_EQ(db.ItemIndex(), 0);
  db.Delete();
  db.WarnNoData = [&](TQDB&) { ++warned; };
  EXPECT_EQ(db.Get(), "");
  EXPECT_EQ(warned, 2);
}

TEST_F(TqdbTest, FileNameRulesAndOpenFailures) {
  TQDB db;
  int assigned = 0;
  db.OnFileAssigned = [&](TQDB&) { ++assigned; };
  db.SetFileName(Path("plain"));
  EXPECT_EQ(db.FileName(), Path("plain.QDB"));
  EXPECT_TRUE(FileExists(Path("plain.QDB")));
  db.SetFileName(Path("box.zqf"));
  db.Add("body", "1");
  EXPECT_EQ(assigned, 2);
  db.SetFileName(Path("box.zqf"));  // the same name: nothing happens
  EXPECT_EQ(assigned, 2);
  EXPECT_TRUE(db.Dirty());
  db.SetFileName(Path("BOX.zqf"));  // another spelling: a new file here
  EXPECT_EQ(assigned, 3);
  EXPECT_EQ(db.Count(), 0);
  db.SetFileName("");
  EXPECT_FALSE(db.FileAssigned());
  EXPECT_EQ(assigned, 4);

  try {
    db.SetFileName(Path("missing/dir/box.zqf"));
    ADD_FAILURE();
  } catch (const EQDBFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Could not find the file " + Path("missing/dir/box.zqf"));
  }
  EXPECT_EQ(db.FileName(), "");
  EXPECT_FALSE(db.FileAssigned());

  // A relative name is made absolute.
  std::string cwd = ExcludeTrailingSlash(dir_.path());
  char buf[4096];
  ASSERT_NE(::getcwd(buf, sizeof buf), nullptr);
  ASSERT_EQ(::chdir(cwd.c_str()), 0);
  db.SetFileName("rel.zqf");
  EXPECT_EQ(db.FileName(), Path("rel.zqf"));
  db.SetFileName("");
  ASSERT_EQ(::chdir(buf), 0);
}

TEST_F(TqdbTest, SecondEngineOnAnOpenFileIsRefused) {
  TQDB a;
  Fill(a, {{"1", "x"}});
  TQDB b;
  try {
    b.SetFileName(Path());
    ADD_FAILURE();
  } catch (const EQDBFileError& e) {
    EXPECT_EQ(std::string(e.what()), "The file " + Path() + " seems to be in use by another program");
  }
  a.SetFileName("");
  b.SetFileName(Path());
  EXPECT_EQ(b.Count(), 1);
}

TEST_F(TqdbTest, ReadOnlyFileRefusesWritesAndIsNotWrittenBack) {
  {
    TQDB db;
    Fill(db, {{"1", "kept"}});
  }
  const std::string bytes = ReadFileBytes(Path());
  ASSERT_EQ(::chmod(Path().c_str(), 0444), 0);
  TQDB db;
  db.SetFileName(Path());
  EXPECT_TRUE(db.ReadOnly());
  try {
    db.Add("new", "2");
    ADD_FAILURE();
  } catch (const EQDBReadOnly& e) {
    EXPECT_EQ(std::string(e.what()), Path() + " is marked as read-only");
  }
  EXPECT_THROW(db.Change("x"), EQDBReadOnly);
  EXPECT_THROW(db.Delete(), EQDBReadOnly);
  EXPECT_THROW(db.Pack(), EQDBReadOnly);
  EXPECT_EQ(db.Get(), "kept");
  int warned = 0;
  db.WarnReadOnly = [&](TQDB&) { ++warned; };
  db.Add("new", "2");
  EXPECT_EQ(warned, 1);
  EXPECT_EQ(db.Count(), 1);
  db.SetFileName("");
  EXPECT_EQ(ReadFileBytes(Path()), bytes);
}

TEST_F(TqdbTest, TheMailboxFileChangesOnlyAtCloseOrFlush) {
  TQDB db;
  Fill(db, {{"1", "one"}});
  db.SetFileName("");
  const std::string at_open = ReadFileBytes(Path());
  db.SetFileName(Path());
  const std::string data_file = db.DataWorkingFile();
  EXPECT_TRUE(FileExists(data_file));
  EXPECT_TRUE(FileExists(db.IndexWorkingFile()));
  EXPECT_EQ(ExtractFileName(data_file).substr(0, 3), "QDB");
  EXPECT_EQ(ExtractFileName(db.IndexWorkingFile()), "QIX" + ExtractFileName(data_file).substr(3));
  db.Add("two", "2");
  db.Save();
  EXPECT_FALSE(db.Dirty());
  EXPECT_EQ(ReadFileBytes(Path()), at_open);

  // Flush writes the container now; a copy of it opens with both items.
  db.Add("three", "3");
  db.Flush();
  EXPECT_FALSE(db.Dirty());
  EXPECT_TRUE(db.FileAssigned());
  EXPECT_EQ(db.DataWorkingFile(), data_file);
  ASSERT_TRUE(CopyFileTo(Path(), Path("copy.zqf")));
  {
    TQDB copy;
    copy.SetFileName(Path("copy.zqf"));
    EXPECT_EQ(copy.GetKeys(), (StringList{"1", "2", "3"}));
  }
  // The engine still holds the file after the flush replaced it.
  TQDB other;
  EXPECT_THROW(other.SetFileName(Path()), EQDBFileError);
  db.Add("four", "4");
  db.SetFileName("");
  EXPECT_FALSE(FileExists(data_file));
  // No temporary files are left beside the mailbox.
  std::vector<std::string> names;
  for (const auto& e : ListDirectory(dir_.path())) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"box.zqf", "copy.zqf"}));
  TQDB again;
  again.SetFileName(Path());
  EXPECT_EQ(again.Count(), 4);
}

// Bodies of a file being reopened stay where they are until they change; the
// container written back must hold exactly what a full copy would have held.
TEST_F(TqdbTest, ReopenedFileWritesBackChangesAndDeadSpaceExactly) {
  {
    TQDB db;
    Fill(db, {{"1", "first body"}, {"2", "second body"}, {"3", "third body"}});
  }
  {
    TQDB db;
    db.SetFileName(Path());
    db.GoTo(0);
    db.Change("FIRST");  // shorter: in place, leaving " body" as dead space
    db.GoTo(2);
    db.Change("a third body, longer");  // moves to the end
    db.Add("fourth", "4");
    db.GoTo(1);
    EXPECT_EQ(db.Get(), "second body");
    db.SetCacheSize(0);
    db.GoTo(0);
    EXPECT_EQ(db.Get(), "FIRST");
    db.Flush();
    db.GoTo(1);
    db.Change("2nd");
    EXPECT_EQ(db.Get(), "2nd");
    db.GoTo(0);
    EXPECT_EQ(db.Get(), "FIRST");
  }
  const std::string raw = ReadFileBytes(Path());
  const std::string data = std::string("FIRST body") + "2nd" + "ond body" + "third body" + "a third body, longer" + "fourth";
  ASSERT_GT(raw.size(), 8 + data.size());
  EXPECT_EQ(raw.substr(8, data.size()), data);
  TQDB db;
  db.SetFileName(Path());
  const char* bodies[] = {"FIRST", "2nd", "a third body, longer", "fourth"};
  ASSERT_EQ(db.Count(), 4);
  for (int i = 0; i < 4; ++i) {
    db.GoTo(i);
    EXPECT_EQ(db.Get(), bodies[i]);
  }
  db.Pack();
  db.SetFileName("");
  EXPECT_EQ(ReadFileBytes(Path()).substr(8, 32), std::string("FIRST2nda third body, longerfourth").substr(0, 32));
}

// When the mailbox cannot be written at close, the working files are all
// that holds the changes: they must survive the failed close.
TEST_F(TqdbTest, FailedCloseKeepsTheWorkingFiles) {
  ASSERT_TRUE(ForceDirectories(Path("sub")));
  TQDB db;
  db.SetFileName(Path("sub/box.zqf"));
  db.Add("precious", "1");
  const std::string data = db.DataWorkingFile(), index = db.IndexWorkingFile();
  ASSERT_TRUE(RemoveDirectoryTree(Path("sub")));
  try {
    db.SetFileName("");
    ADD_FAILURE() << "closed without a directory";
  } catch (const EQDBFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Could not find the file " + Path("sub/box.zqf"));
  }
  EXPECT_FALSE(db.FileAssigned());
  EXPECT_EQ(db.FileName(), "");
  ASSERT_TRUE(FileExists(data));
  ASSERT_TRUE(FileExists(index));
  EXPECT_EQ(ReadFileBytes(data), "precious");
  EXPECT_NE(ReadFileBytes(index).find('1'), std::string::npos);
  RemoveFile(data);
  RemoveFile(index);
}

TEST_F(TqdbTest, PackRemovesDeadSpaceAndKeepsThePosition) {
  TQDB db;
  Fill(db, {{"1", "aaaa"}, {"2", "bbbb"}, {"3", "cccc"}, {"4", "dddd"}});
  db.GoTo(1);
  db.Change("a longer body for two");
  db.GoTo(3);
  db.Delete();
  db.GoTo(2);
  EXPECT_GT(db.DataSize(), 4 + 21 + 4);
  db.Pack();
  EXPECT_EQ(db.DataSize(), 4 + 21 + 4);
  EXPECT_EQ(db.ItemIndex(), 2);
  EXPECT_EQ(db.IndexEntry(0).offset, 0);
  EXPECT_EQ(db.IndexEntry(1).offset, 4);
  EXPECT_EQ(db.IndexEntry(2).offset, 25);
  db.SetCacheSize(65536);
  const char* bodies[] = {"aaaa", "a longer body for two", "cccc"};
  for (int i = 0; i < 3; ++i) {
    db.GoTo(i);
    EXPECT_EQ(db.Get(), bodies[i]);
  }
  db.SetFileName("");
  db.SetFileName(Path());
  db.GoTo(1);
  EXPECT_EQ(db.Get(), "a longer body for two");
}

TEST_F(TqdbTest, CompressStoresEveryItemCompressedWithoutDeadSpace) {
  std::string text;
  for (int i = 0; i < 400; ++i) text += "Subject: hello again\r\n";
  {
    TQDB db;
    Fill(db, {{"1", text}, {"2", "tiny"}, {"3", text + "end"}});
    db.Compress();
    EXPECT_TRUE(db.Compression());
    int64_t sum = 0;
    for (int i = 0; i < db.Count(); ++i) {
      EXPECT_EQ(db.IndexEntry(i).flags, 2u);
      sum += db.IndexEntry(i).length;
    }
    EXPECT_EQ(db.DataSize(), sum);
    EXPECT_LT(sum, static_cast<int64_t>(text.size()));
    db.Add(text, "4");  // compression stays on
    EXPECT_EQ(db.IndexEntry(3).flags, 2u);
  }
  TQDB db;
  db.SetFileName(Path());
  EXPECT_FALSE(db.Compression());
  db.SetCacheSize(0);
  const std::string bodies[] = {text, "tiny", text + "end", text};
  for (int i = 0; i < 4; ++i) {
    db.GoTo(i);
    EXPECT_EQ(db.Get(), bodies[i]);
  }
  // Reading never depends on the property: each entry's flag decides.
  db.GoTo(1);
  db.Change("now plain");
  EXPECT_EQ(db.IndexEntry(1).flags, 0u);
}

TEST_F(TqdbTest, CacheCountsHitsAndEvicts) {
  TQDB db;
  EXPECT_EQ(db.CacheSize(), 65536);
  Fill(db, {{"1", std::string(30000, 'a')}, {"2", std::string(30000, 'b')}, {"3", std::string(65536, 'c')}});
  // Two inserted at Add; the 65,536-byte item never enters.
  EXPECT_EQ(db.CacheLookups(), 2);
  db.GoTo(2);
  db.Get();
  db.Get();
  EXPECT_EQ(db.CacheLookups(), 2);
  db.GoTo(0);
  db.Get();  // hit
  db.GoTo(1);
  db.Get();  // hit
  EXPECT_EQ(db.CacheHits(), 2);
  EXPECT_EQ(db.CacheFrequency(), 50);
  db.Add(std::string(10000, 'd'), "4");  // evicts "1", the least recently used
  EXPECT_EQ(db.CacheEvictions(), 1);
  db.GoTo(0);
  db.Get();  // miss, read and offered: evicts "2"
  EXPECT_EQ(db.CacheEvictions(), 2);
  EXPECT_EQ(db.CacheHits(), 2);
  EXPECT_EQ(db.CacheLookups(), 6);
  EXPECT_EQ(db.CacheFrequency(), 33);
  db.SetCacheFrequency(0);
  EXPECT_EQ(db.CacheFrequency(), 0);
  EXPECT_EQ(db.CacheLookups(), 0);
}

TEST(TqdbCache, HitRateRoundsHalvesToEven) {
  struct Case {
    int hits, misses, rate;
  } cases[] = {{0, 0, 0}, {1, 7, 12}, {1, 1, 50}, {1, 199, 0}, {3, 197, 2}, {5, 195, 2}, {7, 193, 4}};
  for (const auto& c : cases) {
    TCacheList cache(1000);
    for (int i = 0; i < c.misses; ++i) cache.Offer(std::to_string(i), "x");
    std::string out;
    for (int i = 0; i < c.hits; ++i) ASSERT_TRUE(cache.Lookup("0", out));
    // Lookups count insertions and hits: hits / (misses + hits).
    EXPECT_EQ(cache.HitRate(), c.rate) << c.hits << "/" << c.misses;
  }
}

TEST_F(TqdbTest, EventsAndProgressFollowTheOperations) {
  TQDB db;
  std::vector<std::string> log;
  db.OnAdded = [&](TQDB& d) { log.push_back("added " + d.Key()); };
  db.OnNavigate = [&](TQDB& d) { log.push_back("navigate " + d.Key()); };
  db.OnChanged = [&](TQDB& d) { log.push_back("changed " + d.Key()); };
  db.OnFound = [&](TQDB& d) { log.push_back("found " + d.Key()); };
  db.SetFileName(Path());
  db.Add("x", "1");
  db.BeginUpdate();
  db.Add("y", "2");
  db.GoTo(0);
  db.EndUpdate();
  db.Change("z");
  db.FindKey("2");
  EXPECT_EQ(log, (std::vector<std::string>{"added 1", "navigate 1", "added 2", "navigate 1", "changed 1",
                                           "navigate 2", "found 2"}));

  for (int i = 3; i <= 25; ++i) db.Add("body", std::to_string(i));
  std::vector<std::pair<int, int>> progress;
  int pumped = 0;
  db.ProgressUpdate = [&](TQDB&, int percent, TProgressOrigin kind) {
    progress.emplace_back(static_cast<int>(kind), percent);
  };
  db.ProcessMessages = [&] { ++pumped; };
  db.GetKeys();
  // 25 items: step 3, reports at 3, 6, ... 24, then 0 at the end.
  std::vector<std::pair<int, int>> want;
  for (int a = 3; a <= 24; a += 3) want.emplace_back(4, a * 10 / 3);
  want.emplace_back(4, 0);
  EXPECT_EQ(progress, want);
  EXPECT_EQ(pumped, 8);
  progress.clear();
  db.SetFileName("");
  // Closing counts from 0: 0, 3, ... 24, then 0.
  ASSERT_EQ(progress.size(), 10u);
  EXPECT_EQ(progress.front(), std::make_pair(1, 0));
  EXPECT_EQ(progress[8], std::make_pair(1, 80));
  progress.clear();
  db.SetFileName(Path());
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.front(), std::make_pair(0, 10));
  EXPECT_EQ(progress.back(), std::make_pair(0, 0));
  progress.clear();
  db.Pack();
  EXPECT_EQ(progress.back(), std::make_pair(3, 0));
  progress.clear();
  db.Compress();
  EXPECT_EQ(progress.front().first, 5);
  // Close while the handlers' vectors still live.
  db.SetFileName("");
}

TEST_F(TqdbTest, NavigatorMovesKeepTheEndFlags) {
  TQDB db;
  Fill(db, {{"1", "a"}, {"2", "b"}});
  db.First();
  EXPECT_TRUE(db.Bof());
  db.Next();
  EXPECT_EQ(db.Key(), "2");
  EXPECT_TRUE(db.Eof());
  db.Next();
  EXPECT_EQ(db.Key(), "2");
  db.Prior();
  db.Prior();
  EXPECT_EQ(db.Key(), "1");
  EXPECT_TRUE(db.Bof());
  db.Last();
  EXPECT_EQ(db.ItemIndex(), 1);
}

TEST_F(TqdbTest, EnginesOnTwoThreadsDoNotInterfere) {
  auto work = [this](const std::string& name, char fill) {
    TQDB db;
    db.SetFileName(Path(name));
    for (int i = 0; i < 300; ++i) db.Add(std::string(500 + i, fill), std::to_string(i));
    db.Compress();
    db.SetFileName("");
    db.SetFileName(Path(name));
    for (int i = 0; i < db.Count(); ++i) {
      db.GoTo(i);
      std::string body = db.Get();
      if (body.find_first_not_of(fill) != std::string::npos) return false;
    }
    return db.Count() == 300;
  };
  bool a = false, b = false;
  std::thread ta([&] { a = work("a.zqf", 'a'); });
  std::thread tb([&] { b = work("b.zqf", 'b'); });
  ta.join();
  tb.join();
  EXPECT_TRUE(a);
  EXPECT_TRUE(b);
}

TEST(TqdbErrors, ErrnoValuesMapOntoReasonCodes) {
  struct Case {
    int err;
    std::string message;
  } cases[] = {
      {ENOENT, "Could not find the file F"},
      {EMFILE, "No more file handles are available"},
      {ENFILE, "No more file handles are available"},
      {EBUSY, "The file F seems to be in use by another program"},
      {ETXTBSY, "The file F seems to be in use by another program"},
      {EACCES, "The file F seems to be in use by another program"},
      {ENOSPC, "The drive is full"},
      {EIO, "Unidentified problem -  " + std::to_string(EIO)},
  };
  for (const auto& c : cases) EXPECT_EQ(QdbFileErrorFromErrno(c.err, "F").what(), c.message) << c.err;
  EXPECT_EQ(QdbReasonFromErrno(ENOENT), -2);
  EXPECT_EQ(QdbReasonFromErrno(EMFILE), -4);
  EXPECT_EQ(QdbReasonFromErrno(EBUSY), -5);
  EXPECT_EQ(QdbReasonFromErrno(ENOSPC), -101);
}

}  // namespace
}  // namespace qm
