#pragma once
// A reproducible corpus of received messages: plain text, multipart/
// alternative, attachments of 10 KB to 5 MB and encoded-word subjects in
// several charsets.
#include <cstdint>
#include <string>
#include <vector>

namespace qm::bench {

struct Corpus {
  std::vector<std::string> files;
  uint64_t bytes = 0;
};

// Writes `count` messages into `dir` (ending in "/") as 00000.eml, ...
Corpus GenerateCorpus(const std::string& dir, int count, uint32_t seed = 1);

// One message of about `bytes` bytes: a multipart/mixed with a short text
// part and one Base64 attachment filling the rest.
std::string LargeAttachmentMessage(size_t bytes);
// One message of about `bytes` bytes whose single text body is that big.
std::string LargeTextMessage(size_t bytes);
// A multipart/alternative whose HTML part (UTF-8, not ASCII) is that big.
std::string LargeHtmlMessage(size_t bytes);
// A single quoted-printable UTF-8 body.
std::string LargeQuotedPrintableMessage(size_t bytes);
// A single ISO-8859-1 text body that has to be converted.
std::string LargeLatin1Message(size_t bytes);

}  // namespace qm::bench
