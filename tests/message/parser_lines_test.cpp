// Line splitting and Base64 decoding checked against plain one-byte-at-a-time
// versions on many random texts, and message files that are not regular
// files or whose Base64 lines end in every way.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <thread>

#include "message/transfer_encodings.h"
#include "parser_test_support.h"

namespace qm {
namespace {

using ParserLines = ParserTest;

// CR LF, CR and LF end a line; the text ends at a NUL.
std::vector<std::string> ReferenceLines(const std::string& text) {
  std::vector<std::string> out;
  std::string cur;
  bool open = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\0') break;
    if (c == '\r' || c == '\n') {
      out.push_back(cur);
      cur.clear();
      open = false;
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      cur.push_back(c);
      open = true;
    }
  }
  if (open) out.push_back(cur);
  return out;
}

// Symbols outside the alphabet are skipped; 2 or 3 left over give 1 or 2 bytes.
std::string ReferenceBase64(const std::string& text) {
  static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    size_t v = alphabet.find(c);
    if (c == '\0' || v == std::string::npos) continue;
    bits = (bits << 6) | static_cast<uint32_t>(v);
    if (++count == 4) {
      out += {static_cast<char>(bits >> 16), static_cast<char>(bits >> 8), static_cast<char>(bits)};
      bits = 0;
      count = 0;
    }
  }
  if (count == 2) out += static_cast<char>(bits >> 4);
  if (count == 3) out += {static_cast<char>(bits >> 10), static_cast<char>(bits >> 2)};
  return out;
}

TEST(SplitLineViews, MatchesTheByteByByteSplitAtEveryOffset) {
  std::mt19937 rng(5);
  const char kBytes[] = {'a', 'b', '\r', '\n', '\0', ' '};
  for (int round = 0; round < 3000; ++round) {
    // Mostly letters, so line ends fall at every offset of a 16-byte block.
    size_t n = rng() % 80;
    std::string text;
    for (size_t i = 0; i < n; ++i) text.push_back(rng() % 4 ? 'x' : kBytes[rng() % sizeof kBytes]);
    LineViews got = SplitLineViews(text);
    std::vector<std::string> want = ReferenceLines(text);
    ASSERT_EQ(got.size(), want.size()) << testing::PrintToString(text);
    for (size_t i = 0; i < want.size(); ++i) ASSERT_EQ(std::string(got[i]), want[i]) << testing::PrintToString(text);
  }
}

TEST(Base64Decode, MatchesTheSymbolBySymbolDecoderHoweverCut) {
  std::mt19937 rng(11);
  const std::string junk = "=\r\n -*\x80\xff\t!";
  for (int round = 0; round < 2000; ++round) {
    std::string data;
    for (size_t i = rng() % 300; i > 0; --i) data.push_back(static_cast<char>(rng()));
    std::string text = Base64EncodeBytes(data);
    // Junk and padding anywhere, and sometimes symbols dropped.
    for (int k = static_cast<int>(rng() % 6); k > 0 && !text.empty(); --k) {
      size_t at = rng() % text.size();
      if (rng() % 3 == 0) text.erase(at, 1);
      else text.insert(at, 1, junk[rng() % junk.size()]);
    }
    std::string want = ReferenceBase64(text);
    cBase64Decoder dec;
    std::string out;
    for (size_t i = 0; i < text.size();) {
      size_t cut = 1 + rng() % 90;
      dec.Feed(std::string_view(text).substr(i, cut), out);
      i += cut;
    }
    dec.Finish(out);
    ASSERT_EQ(out, want) << testing::PrintToString(text);
    ASSERT_EQ(Base64DecodeBytes(text), want);
  }
}

TEST_F(ParserLines, Base64AttachmentLinesEndingInEveryWayDecodeAlike) {
  std::string data;
  for (int i = 0; i < 5000; ++i) data.push_back(static_cast<char>((i * 7919) >> 3));
  std::string b64 = Base64EncodeLine(data);
  const std::string head =
      "From: a@b\r\nContent-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\nContent-Type: text/plain\r\n\r\nhi\r\n"
      "--B\r\nContent-Type: application/octet-stream; name=\"d.bin\"\r\nContent-Transfer-Encoding: base64\r\n\r\n";
  for (const std::string end : {"\r\n", "\n", "\r"}) {
    SCOPED_TRACE(testing::PrintToString(end));
    std::string body;
    for (size_t i = 0; i < b64.size(); i += 76) body += b64.substr(i, 76) + end;
    // A blank line and a line of junk inside the part change nothing.
    body.insert(76 * 3 + end.size() * 3, end + "  *** " + end);
    Parse(head + body + "--B--" + end);
    ASSERT_EQ(AttachmentNames().size(), 1u);
    EXPECT_EQ(Attachment(0), data);
    EXPECT_EQ(*msg_.Body, StringList{"hi"});
  }
  // Lines that do not follow each other in one text decode alike too.
  cMimePart part;
  std::vector<std::string> owned;
  for (size_t i = 0; i < b64.size(); i += 76) owned.push_back(b64.substr(i, 76));
  for (const auto& l : owned) part.lines.push_back(l);
  FreeMessage(msg_);
  InitMessage(msg_);
  SaveBase64Attachment(msg_, "apart.bin", part);
  ASSERT_EQ(AttachmentNames(), StringList{"apart.bin"});
  EXPECT_EQ(Attachment(0), data);
}

TEST_F(ParserLines, FilesThatAreNotRegularAreReadToTheirEnd) {
  const std::string text = Text({"Subject: through a pipe", "", "body line", "last"});
  const std::string fifo = dir_.path() + "incoming.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] {
    FILE* f = std::fopen(fifo.c_str(), "wb");
    if (!f) return;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  });
  cMailMessage piped;
  InitMessage(piped);
  ParseMessageFile(fifo, piped);
  writer.join();
  Parse(text);
  EXPECT_EQ(piped.Subject, "through a pipe");
  EXPECT_EQ(*piped.Body, *msg_.Body);
  EXPECT_EQ(*piped.Body, (StringList{"body line", "last"}));
  FreeMessage(piped);
  // An empty regular file is a message without anything.
  WriteFileAtomically(dir_.path() + "empty.eml", "");
  cMailMessage empty;
  InitMessage(empty);
  ParseMessageFile(dir_.path() + "empty.eml", empty);
  EXPECT_TRUE(empty.Complete);
  EXPECT_TRUE(empty.Body->empty());
  FreeMessage(empty);
}

}  // namespace
}  // namespace qm
