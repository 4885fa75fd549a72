// The stored form of a message record and its life cycle.
#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "store/mail_message.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

std::string Fixture(const std::string& name) {
  return ReadFileBytes(std::string(QUILL_FIXTURES_DIR) + "/message/" + name);
}

cMailMessage FullRecord() {
  cMailMessage m;
  InitMessage(m);
  m.Subject = "Lunch plans";
  m.From = "\"Ann Lee\" <ann@example.org>";
  m.FromName = "Ann Lee";
  m.FromAddress = "ann@example.org";
  m.ReplyTo = "reply@example.org";
  m.To = "bob@example.org";
  m.CC = "carl@example.org";
  m.MessageID = "<abc.123@example.org>";
  m.Account = "Home POP";
  m.IsHTML = true;
  m.Complete = true;
  m.SourceRef = "Home POP://Inbox/4711";
  m.Organization = "Acme Ltd";
  m.Date = 36872.5;
  m.Size = 4242;
  *m.Headers = {"From: \"Ann Lee\" <ann@example.org>", "Subject: Lunch plans"};
  *m.Body = {"Hi Bob,", "", "!QM36_xMailBoundary99_99", "See you at noon."};
  AddAttachment(m, "/data/Attachments/menu.pdf");
  AddAttachment(m, "/data/Attachments/map (1).png");
  return m;
}

TEST(RecordLayout, MatchesGoldenItems) {
  cMailMessage m = FullRecord();
  EXPECT_EQ(EncodeMessageWithSeed(m, 12345), Fixture("record_full.bin"));

  cMailMessage fresh;
  InitMessage(fresh);
  fresh.Date = 40000.25;
  EXPECT_EQ(EncodeMessageWithSeed(fresh, -7), Fixture("record_empty.bin"));
  FreeMessage(m);
}

TEST(RecordLayout, FreshRecordHasFortyTwoByteFirstText) {
  cMailMessage m;
  InitMessage(m);
  std::string item = EncodeMessage(m);
  ASSERT_GE(item.size(), 4u);
  EXPECT_EQ(item.substr(0, 4), std::string("\x2a\0\0\0", 4));
  // The boundary is fresh per encoding and appears twice.
  size_t b = item.find("!QM36_xMailBoundary");
  ASSERT_NE(b, std::string::npos);
  std::string line = item.substr(b, item.find("\r\n", b) - b);
  std::string seed = line.substr(19, line.find('_', 19) - 19);
  EXPECT_EQ(line, "!QM36_xMailBoundary" + seed + "_" + seed);
  EXPECT_NE(item.find(line, b + line.size()), std::string::npos);
}

TEST(RecordDecode, RoundTripsEveryFieldAndList) {
  cMailMessage m;
  DecodeMessage(Fixture("record_full.bin"), true, m);
  EXPECT_EQ(m.Subject, "Lunch plans");
  EXPECT_EQ(m.From, "\"Ann Lee\" <ann@example.org>");
  EXPECT_EQ(m.FromName, "Ann Lee");
  EXPECT_EQ(m.FromAddress, "ann@example.org");
  EXPECT_EQ(m.ReplyTo, "reply@example.org");
  EXPECT_EQ(m.To, "bob@example.org");
  EXPECT_EQ(m.CC, "carl@example.org");
  EXPECT_EQ(m.BCC, "");
  EXPECT_EQ(m.MessageID, "<abc.123@example.org>");
  EXPECT_EQ(m.Account, "Home POP");
  EXPECT_TRUE(m.IsHTML);
  EXPECT_FALSE(m.Read);
  EXPECT_TRUE(m.Complete);
  EXPECT_TRUE(m.HasAttachments);
  EXPECT_FALSE(m.Answered);
  EXPECT_FALSE(m.ReservedFlag);
  EXPECT_EQ(m.SourceRef, "Home POP://Inbox/4711");
  EXPECT_EQ(m.Organization, "Acme Ltd");
  EXPECT_DOUBLE_EQ(m.Date, 36872.5);
  EXPECT_EQ(m.Size, 4242);
  EXPECT_EQ(*m.Headers, (StringList{"From: \"Ann Lee\" <ann@example.org>", "Subject: Lunch plans"}));
  // A line resembling a boundary with other digits is body text.
  EXPECT_EQ(*m.Body, (StringList{"Hi Bob,", "", "!QM36_xMailBoundary99_99", "See you at noon."}));
  EXPECT_EQ(*m.Attachments, (StringList{"/data/Attachments/menu.pdf", "/data/Attachments/map (1).png"}));

  cMailMessage again;
  DecodeMessage(EncodeMessage(m), true, again);
  EXPECT_EQ(EncodeMessageWithSeed(again, 1), EncodeMessageWithSeed(m, 1));
}

TEST(RecordDecode, WithoutBodyReadsOnlyTheFirstPart) {
  cMailMessage m;
  DecodeMessage(Fixture("record_full.bin"), false, m);
  EXPECT_EQ(m.Subject, "Lunch plans");
  EXPECT_EQ(m.Organization, "Acme Ltd");
  EXPECT_EQ(m.Size, 4242);
  EXPECT_TRUE(m.HasAttachments);  // taken from the flag line, not the list
  EXPECT_TRUE(m.Headers->empty());
  EXPECT_TRUE(m.Body->empty());
  EXPECT_TRUE(m.Attachments->empty());
}

TEST(RecordDecode, FlagIsTrueOnlyForExactlyOne) {
  cMailMessage m;
  InitMessage(m);
  m.Read = true;
  std::string item = EncodeMessageWithSeed(m, 1);
  // Line 11 (Read) is the 2nd flag; turn "1" into "1 " by rewriting the item.
  std::string first = item.substr(4, 42);
  size_t at = 10 * 2 + 3;  // ten empty lines, then "0\r\n" of IsHTML
  ASSERT_EQ(first.substr(at, 3), "1\r\n");
  std::string changed = first.substr(0, at) + "11\r\n" + first.substr(at + 3);
  std::string item2 = std::string("\x2b\0\0\0", 4) + changed + item.substr(46);
  cMailMessage d;
  DecodeMessage(item2, true, d);
  EXPECT_FALSE(d.Read);
}

TEST(RecordDecode, RejectsShortOrCutItems) {
  cMailMessage m;
  std::string full = Fixture("record_full.bin");
  std::string seventeen = std::string("\x22\0\0\0", 4) + std::string(17, '\n').substr(0, 17) +
                          std::string(17, 'x');
  EXPECT_THROW(DecodeMessage(seventeen, false, m), std::runtime_error);
  EXPECT_THROW(DecodeMessage("", false, m), std::runtime_error);
  EXPECT_THROW(DecodeMessage(full.substr(0, 100), false, m), std::runtime_error);
  EXPECT_THROW(DecodeMessage(std::string("\xff\xff\xff\xff", 4) + full.substr(4), false, m), std::runtime_error);
  // The first part alone is enough without the body.
  EXPECT_NO_THROW(DecodeMessage(full.substr(0, 4 + 208 + 16), false, m));
}

TEST(RecordEncode, LineBreaksAndNulsInsideFieldsBecomeBlanks) {
  cMailMessage m;
  InitMessage(m);
  m.Subject = "two\r\nlines";
  m.From = "a\rb";
  m.Organization = "x\ny";
  m.Read = true;
  cMailMessage d;
  DecodeMessage(EncodeMessage(m), true, d);
  EXPECT_EQ(d.Subject, "two  lines");
  EXPECT_EQ(d.From, "a b");
  EXPECT_EQ(d.Organization, "x y");
  EXPECT_TRUE(d.Read);  // later fields kept their places
  EXPECT_EQ(d.FromName, "");

  // A NUL would end the text when read back: it becomes a blank too.
  m.Subject = std::string("nul\0here", 8);
  m.Body->assign({std::string("a\0b", 3), "after"});
  m.Attachments->assign({"/x/1", std::string("/x/\0", 4), "/x/3"});
  DecodeMessage(EncodeMessage(m), true, d);
  EXPECT_EQ(d.Subject, "nul here");
  EXPECT_EQ(*d.Body, (StringList{"a b", "after"}));
  EXPECT_EQ(*d.Attachments, (StringList{"/x/1", "/x/ ", "/x/3"}));
}

TEST(RecordDecode, MissingSecondBoundaryPutsAllInHeaders) {
  cMailMessage m;
  InitMessage(m);
  std::string item = EncodeMessageWithSeed(m, 5);
  // Replace the second text by one boundary and two lines.
  size_t t2_pos = 4 + 42 + 16;
  std::string second = "!QM36_xMailBoundary5_5\r\nA: 1\r\nB: 2\r\n";
  uint32_t len = static_cast<uint32_t>(second.size());
  std::string bytes = item.substr(0, t2_pos) + std::string(reinterpret_cast<char*>(&len), 4) + second;
  cMailMessage d;
  DecodeMessage(bytes, true, d);
  EXPECT_EQ(*d.Headers, (StringList{"A: 1", "B: 2"}));
  EXPECT_TRUE(d.Body->empty());
}

TEST(RecordLifecycle, CopiesShareListsAndFreeKeepsFiles) {
  TempDir dir;
  std::string file = dir.path() + "a.txt";
  WriteFileAtomically(file, "x");
  cMailMessage m;
  InitMessage(m);
  EXPECT_EQ(m.Reserved, 0);
  EXPECT_GT(m.Date, 40000.0);
  AddAttachment(m, file);
  AddAttachment(m, dir.path() + "b.txt");
  EXPECT_TRUE(m.HasAttachments);
  cMailMessage copy = m;
  copy.Body->push_back("shared");
  EXPECT_EQ(m.Body->size(), 1u);
  DeleteAttachmentEntry(m, 0);
  EXPECT_TRUE(m.HasAttachments);
  EXPECT_EQ(*m.Attachments, StringList{dir.path() + "b.txt"});
  DeleteAttachmentEntry(m, 7);  // out of range: nothing removed
  EXPECT_EQ(m.Attachments->size(), 1u);
  DeleteAttachmentEntry(m, 0);
  EXPECT_FALSE(m.HasAttachments);

  AddAttachment(m, file);
  FreeMessage(m);
  EXPECT_FALSE(m.HasAttachments);
  EXPECT_EQ(m.Body, nullptr);
  EXPECT_TRUE(copy.Attachments->empty());  // the shared list was emptied
  EXPECT_TRUE(FileExists(file));
  FreeMessage(m);  // twice is harmless
}

}  // namespace
}  // namespace qm
