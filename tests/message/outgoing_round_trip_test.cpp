#include <gtest/gtest.h>

#include "message/outgoing_message.h"
#include "message/parse_message.h"
#include "platform/date_time.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "test_support/temp_dir.h"

namespace qm {
namespace {

// Assembles messages and reads them back with the parser, as a copy sent to
// oneself would be.
class OutgoingRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePaths(dir_.path());
    ForceDirectories(dir_.path() + "out/");
    InitMessage(sent_);
    InitMessage(received_);
    sent_.From = "Joe Bloggs <joe@example.com>";
    sent_.To = "ann@example.com, Bob <bob@example.com>";
    sent_.CC = "carol@example.com";
    sent_.BCC = "dave@example.com";
    sent_.ReplyTo = "replies@example.com";
    sent_.Organization = "Example Ltd";
    sent_.Subject = "Quarterly figures";
    sent_.MessageID = "<QMMail.abcdefgh@quillmar.invalid>";
    sent_.Date = EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 58, 0);
    *sent_.Body = {"Hello Ann,", "", "  indented line", "the figures are attached.", "-- ", "Joe"};
  }
  void TearDown() override {
    FreeMessage(sent_);
    FreeMessage(received_);
    ReleaseSettings();
  }

  std::string Attach(const std::string& name, const std::string& content) {
    std::string path = dir_.path() + "out/" + name;
    WriteFileAtomically(path, content);
    AddAttachment(sent_, path);
    return path;
  }

  void SendAndReceive() {
    std::string wire = dir_.path() + "wire.eml";
    WriteFileAtomically(wire, JoinLines(BuildMessageLines(sent_)));
    ParseMessageFile(wire, received_);
  }

  void ExpectSameAttachments() {
    ASSERT_EQ(received_.Attachments->size(), sent_.Attachments->size());
    EXPECT_TRUE(received_.HasAttachments);
    for (size_t i = 0; i < sent_.Attachments->size(); ++i) {
      const std::string& out = (*sent_.Attachments)[i];
      const std::string& in = (*received_.Attachments)[i];
      EXPECT_EQ(ExtractFileName(in), ExtractFileName(out));
      EXPECT_EQ(ExtractFilePath(in), AttachmentsDir);
      EXPECT_EQ(ReadFileBytes(in), ReadFileBytes(out)) << out;
    }
  }

  class TempDir dir_;  // the class, not the TempDir location
  cMailMessage sent_;
  cMailMessage received_;
};

std::string AllBytes() {
  std::string s;
  for (int round = 0; round < 3; ++round)
    for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
  return s;
}

TEST_F(OutgoingRoundTrip, FieldsBodyAndAttachmentsComeBack) {
  Attach("notes.txt", "line one\r\nline two\r\n");
  Attach("data.bin", AllBytes());
  Attach("empty.dat", "");
  Attach("exact57.bin", std::string(57, 'z'));
  SendAndReceive();

  EXPECT_EQ(received_.From, sent_.From);
  EXPECT_EQ(received_.FromName, "Joe Bloggs");
  EXPECT_EQ(received_.FromAddress, "joe@example.com");
  EXPECT_EQ(received_.To, sent_.To);
  EXPECT_EQ(received_.CC, sent_.CC);
  EXPECT_EQ(received_.BCC, "");
  EXPECT_EQ(received_.ReplyTo, sent_.ReplyTo);
  EXPECT_EQ(received_.Subject, sent_.Subject);
  EXPECT_NEAR(received_.Date, sent_.Date, 0.5 / 86400);
  EXPECT_FALSE(received_.IsHTML);
  EXPECT_EQ(*received_.Body, *sent_.Body);
  ExpectSameAttachments();
}

TEST_F(OutgoingRoundTrip, PlainMessageWithoutAttachments) {
  SendAndReceive();
  EXPECT_EQ(received_.Subject, sent_.Subject);
  EXPECT_EQ(*received_.Body, *sent_.Body);
  EXPECT_TRUE(received_.Attachments->empty());
  EXPECT_FALSE(received_.HasAttachments);
}

TEST_F(OutgoingRoundTrip, TextOutsideAsciiComesBack) {
  sent_.From = "Jörg Müller <joerg@example.de>";
  sent_.Subject = "Grüße aus Köln — " + std::string(30, 'x') + " ünd noch viel mehr Text dahinter";
  *sent_.Body = {"Liebe Zoë,", "anbei die Datei. Schöne Grüße", "Jörg"};
  Attach("Übersicht 2024.txt", "Inhalt");
  Attach("plain.bin", AllBytes());
  SendAndReceive();
  EXPECT_EQ(received_.Subject, sent_.Subject);
  EXPECT_EQ(received_.From, sent_.From);
  EXPECT_EQ(received_.FromName, "Jörg Müller");
  EXPECT_EQ(received_.FromAddress, "joerg@example.de");
  EXPECT_EQ(*received_.Body, *sent_.Body);
  ExpectSameAttachments();
}

TEST_F(OutgoingRoundTrip, LongUtf8LinesComeBackWhole) {
  std::string long_line;
  for (int i = 0; i < 300; ++i) long_line += "wörter ";
  long_line += "Ende";
  *sent_.Body = {"Anfang", long_line, "Schluss"};
  for (bool attach : {false, true}) {
    if (attach) Attach("a.txt", "abc");
    SendAndReceive();
    EXPECT_EQ(*received_.Body, *sent_.Body) << (attach ? "multipart" : "single part");
    FreeMessage(received_);
    InitMessage(received_);
  }
}

}  // namespace
}  // namespace qm
