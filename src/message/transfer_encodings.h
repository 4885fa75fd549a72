#pragma once
// Base64 (both ways), quoted-printable decoding and UU decoding.
// Malformed text never raises: what cannot be used is skipped or replaced.
#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_lines.h"

namespace qm {

// Incremental Base64 decoder: bytes outside the alphabet (line breaks,
// blanks, "=" and junk) are skipped, so text after a padded group goes on in
// the same bit stream.
class cBase64Decoder {
 public:
  // Appends the bytes decoded from `text` to `out`.
  void Feed(std::string_view text, std::string& out);
  // Flushes the leftover symbols (2 give one byte, 3 give two, 1 nothing).
  void Finish(std::string& out);

 private:
  uint32_t bits_ = 0;
  int count_ = 0;
};

// Reads the source to its end and writes the decoded bytes to the target.
void Base64DecodeStream(std::istream& source, std::ostream& target);
std::string Base64DecodeBytes(std::string_view text);

// Reads the source 57 bytes at a time and writes one line of Base64 (76
// symbols, shorter for the last) followed by CR LF per read.
void Base64EncodeFile(std::istream& source, std::ostream& target);
// The same layout for bytes held in memory.
std::string Base64EncodeBytes(std::string_view data);
// Base64 of bytes without line breaks.
std::string Base64EncodeLine(std::string_view data);
// Length of the Base64 text of n bytes without line breaks.
constexpr std::size_t Base64EncodedLength(std::size_t n) { return (n + 2) / 3 * 4; }

// Quoted-printable and the "Q" words of headers (`underscores_to_blanks`
// true). An invalid escape gives "@"; a decoded NUL ends the text.
std::string DecodeQuotedPrintable(std::string_view text, bool underscores_to_blanks);

// Decodes one UU block (its begin line first) into a new file in
// `directory` named after the begin line (directory parts of that name are
// dropped, so the file stays inside `directory`). Returns the path, or ""
// when the lines hold no begin line. File errors throw qm::FileError.
std::string UUDecodeBlock(const StringList& lines, const std::string& directory);
std::string UUDecodeBlock(const std::vector<std::string_view>& lines, const std::string& directory);

// Decodes one UU body line (the count character first); appends its bytes.
void UUDecodeLine(std::string_view line, std::string& out);

}  // namespace qm
