// Searching stored messages: which fields are looked in, which mailboxes and
// directories a search passes through, one row per message, and stopping.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "message/message_search.h"
#include "platform/file_system.h"
#include "platform/text_lines.h"
#include "shell/app_paths.h"
#include "store/folder_tree.h"
#include "store/folder_tree_scan.h"
#include "store/message_ref.h"
#include "store/message_store.h"
#include "store/ref_list.h"
#include "test_support/recording_error_sink.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

struct Stored {
  const char* subject;
  const char* from;
  std::vector<std::string> body;
};

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override { InitialisePaths(dir_.path()); }
  void TearDown() override {
    CloseAllMailboxes();
    FolderTree().Clear();
    ReleaseSettings();
  }
  std::string Mailbox(const std::string& relative, std::initializer_list<Stored> messages) {
    std::string path = MailDir + relative;
    ForceDirectories(ExtractFilePath(path));
    EXPECT_TRUE(CreateEmptyMailbox(path));
    for (const Stored& s : messages) {
      cMailMessage msg;
      InitMessage(msg);
      msg.Subject = s.subject;
      msg.From = s.from;
      msg.FromName = s.from;
      *msg.Body = s.body;
      EXPECT_TRUE(AddMessageToFile(path, msg));
      FreeMessage(msg);
    }
    return path;
  }
  std::vector<std::string> Find(const std::string& start, cSearchOptions options, bool mailbox = false) {
    std::vector<std::string> subjects;
    cMessageSearch search(options, [&](const cSearchHit& hit) { subjects.push_back(hit.subject); });
    if (mailbox)
      search.SearchMailbox(start);
    else
      search.SearchFolder(start);
    std::sort(subjects.begin(), subjects.end());
    return subjects;
  }
  class TempDir dir_;
};

using Subjects = std::vector<std::string>;

TEST(SearchMatchTest, FieldsAndCase) {
  struct Case {
    const char* text;
    bool subject, author, body;
    bool expected;
  } cases[] = {
      {"re", true, false, false, true},          // "PRESENTATION" in any case
      {"SENDER", false, true, false, true},      // the whole From text
      {"example.org", false, true, false, true},
      {"example.org", true, false, true, false},  // only in From
      {"second", false, false, true, true},
      {"first line\r\nsecond", false, false, true, true},  // lines joined with breaks
      {"line\r\nsecond line\r\n", false, false, true, false},  // no break after the last line
      {"absent", true, true, true, false},
  };
  cMailMessage msg;
  InitMessage(msg);
  msg.Subject = "PRESENTATION";
  msg.From = "Sender <s@example.org>";
  *msg.Body = {"First line", "second line"};
  for (const Case& c : cases) {
    cSearchOptions o{c.text, c.subject, c.author, c.body};
    for (char& ch : o.text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_EQ(MessageMatches(msg, o), c.expected) << c.text;
  }
  FreeMessage(msg);
}

TEST_F(SearchTest, SubjectSearchFindsLettersInAnyCase) {
  std::string inbox = Mailbox("Home/Inbox.zqf", {{"Re: lunch", "a@x", {}},
                                                 {"PRESENTATION", "b@x", {}},
                                                 {"Hello", "re@x", {"re"}}});
  EXPECT_EQ(Find(inbox, {"Re", true, false, false}, true), (Subjects{"PRESENTATION", "Re: lunch"}));
}

TEST_F(SearchTest, MessageMatchingInSeveralFieldsIsListedOnce) {
  std::string inbox = Mailbox("Home/Inbox.zqf", {{"budget", "budget@x", {"the budget", "budget again"}}});
  int hits = 0;
  cMessageSearch search({"budget", true, true, true}, [&](const cSearchHit&) { ++hits; });
  search.SearchMailbox(inbox);
  EXPECT_EQ(hits, 1);
}

TEST_F(SearchTest, StartingPointDecidesWhatIsSearched) {
  std::string inbox = Mailbox("Home/Inbox.zqf", {{"home inbox", "x", {}}});
  Mailbox("Home/Sent Items.zqf", {{"home sent", "x", {}}});
  Mailbox("Home/Work.FLD/Projects.zqf", {{"home folder", "x", {}}});
  Mailbox("Local.FLD/Archive.zqf", {{"local folder", "x", {}}});
  Mailbox("Old.bak/Archive.zqf", {{"copied by hand", "x", {}}});
  Mailbox("Home/Stuff.dir/Box.zqf", {{"other extension", "x", {}}});
  BuildFolderTree();

  cSearchOptions all{"o", true, false, false};
  EXPECT_EQ(Find(inbox, all, true), (Subjects{"home inbox"}));
  EXPECT_EQ(Find(MailDir, all), (Subjects{"home folder", "home inbox", "home sent", "local folder"}));
  EXPECT_EQ(Find(MailDir + "Home/", all), (Subjects{"home folder", "home inbox", "home sent"}));
}

TEST_F(SearchTest, HitsCarryTheMessageReferenceAndFolderCaption) {
  std::string inbox = Mailbox("Home/Inbox.zqf", {{"report", "x", {}}});
  BuildFolderTree();
  std::vector<cSearchHit> hits;
  cMessageSearch search({"report", true, false, false}, [&](const cSearchHit& h) { hits.push_back(h); });
  search.SearchFolder(MailDir);
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0].folder_caption, "Inbox");
  EXPECT_EQ(hits[0].message_ref, "Home://Inbox/" + hits[0].key);
  std::string path, key;
  ASSERT_TRUE(ParseMessageRef(hits[0].message_ref, path, key));
  EXPECT_EQ(path, inbox);
}

TEST_F(SearchTest, BrokenMailboxIsSkippedAndTheSearchGoesOn) {
  ScopedErrorRecorder errors;
  Mailbox("Home/Inbox.zqf", {{"kept", "x", {}}});
  WriteFileAtomically(MailDir + "Home/Broken.zqf", "this is not a mailbox");
  EXPECT_EQ(Find(MailDir, {"kept", true, false, false}), (Subjects{"kept"}));
}

TEST_F(SearchTest, StopEndsTheSearchAtTheNextMessage) {
  Mailbox("Home/Inbox.zqf", {{"one", "x", {}}, {"two", "x", {}}, {"three", "x", {}}});
  std::atomic<bool> stop{false};
  int hits = 0;
  cMessageSearch search({"", true, false, false}, [&](const cSearchHit&) {
    ++hits;
    stop = true;
  }, &stop);
  search.SearchFolder(MailDir);
  EXPECT_EQ(hits, 1);
  EXPECT_TRUE(search.stopped());
}

TEST(SearchMatchTest, FinderSkipsWithoutMissingAMatch) {
  struct Case {
    const char* haystack;
    const char* needle;
    bool expected;
  } cases[] = {
      {"", "", true},
      {"abc", "", true},
      {"ab", "abc", false},
      {"xxZANZIBARxx", "zanzibar", true},
      {"zanzibaR", "zanzibar", true},
      {"zanzibazanzibar", "zanzibar", true},  // a near miss right before the match
      {"anzibar", "zanzibar", false},
      {"aaaaaaab", "aab", true},
      {"abababab", "bab", true},
      {"ABAB", "abb", false},
      {"caf\xC3\xA9 CAF\xC3\x89", "caf\xc3\xa9", true},  // bytes above ASCII compare exactly
      {"CAF\xC3\x89", "caf\xc3\xa9", false},
      {"a[b]c", "[b]", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ContainsLowered(c.haystack, c.needle), c.expected) << c.haystack << " / " << c.needle;
  // A needle longer than the skip table's range still matches.
  std::string long_needle(300, 'q');
  EXPECT_TRUE(ContainsLowered("x" + std::string(300, 'Q') + "x", long_needle));
  EXPECT_FALSE(ContainsLowered(std::string(299, 'q') + "x" + std::string(299, 'q'), long_needle));
}

// The body read in place from a stored item holds the same lines the record
// decoder gives, whatever the line breaks, boundary look-alikes or NUL bytes.
TEST(SearchMatchTest, StoredBodyHoldsTheDecodedBodyLines) {
  const std::vector<StringList> bodies = {
      {},
      {"one", "two"},
      {"lone\nbreak", "and\rcarriage", ""},
      {"!QM36_xMailBoundary5_5 is not this item's boundary", "after"},
      {"before a NUL", std::string("cut\0here", 8), "gone"},
  };
  for (const StringList& body : bodies) {
    cMailMessage msg;
    InitMessage(msg);
    msg.Subject = "s";
    *msg.Headers = {"Received: x", "Subject: s"};
    *msg.Body = body;
    const std::string item = EncodeMessageWithSeed(msg, 77);
    cMailMessage decoded;
    DecodeMessage(item, true, decoded);
    EXPECT_EQ(SplitLines(ItemBodyText(item)), *decoded.Body) << (body.empty() ? "" : body[0]);
    FreeMessage(decoded);
    FreeMessage(msg);
  }
  // Headers without the closing boundary: no body, as the decoder has it.
  std::string item(4, '\0');
  std::string first;
  for (int i = 0; i < 18; ++i) first += "\r\n";
  item[0] = static_cast<char>(first.size());
  item += first + std::string(16, '\0');
  const std::string second = "!B\r\nheader\r\nbody?\r\n";
  item += std::string(1, static_cast<char>(second.size())) + std::string(3, '\0') + second;
  EXPECT_EQ(ItemBodyText(item), "");
  // An item cut inside its second text fails as the decoder does.
  EXPECT_THROW(ItemBodyText(item.substr(0, item.size() - 3)), std::runtime_error);
}

TEST_F(SearchTest, BodySearchReadsTheStoredLines) {
  std::string inbox = Mailbox("Home/Inbox.zqf", {{"split", "x", {"the Zanzi", "bar is closed"}},
                                                 {"whole", "x", {"meet at the ZANZIBAR"}},
                                                 {"header only", "x", {}}});
  EXPECT_EQ(Find(inbox, {"zanzibar", false, false, true}, true), (Subjects{"whole"}));
  EXPECT_EQ(Find(inbox, {"zanzi\r\nbar", false, false, true}, true), (Subjects{"split"}));
  EXPECT_EQ(Find(inbox, {"only", true, false, true}, true), (Subjects{"header only"}));
}

}  // namespace
}  // namespace qm
