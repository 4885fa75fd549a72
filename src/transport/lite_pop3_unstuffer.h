#pragma once
// Turns the data of a POP3 multi-line answer into the stored message text
// while it arrives: it finds the terminating CR LF "." CR LF, drops it with
// the line end before it, and removes the first "." of every line that begins
// with "." followed by more characters. Lines end at LF (CR LF or a lone LF).
// At most a line's first three bytes and one line end are held back, so a
// large message passes through without being kept in memory.
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace qm {

class PopDataUnstuffer {
 public:
  explicit PopDataUnstuffer(std::ostream& target) : target_(target) {}

  // Feeds the next bytes (those after the status line). Returns true once the
  // terminating line has been seen; bytes after it are ignored.
  bool Feed(std::string_view data);
  // Writes what is still held back, for a transfer that broke off.
  void FlushHeld();
  bool Done() const { return done_; }
  // False once a write to the target failed.
  bool TargetGood() const { return static_cast<bool>(target_); }
  // Bytes fed so far, as received (stuffed), up to the end marker.
  int64_t BytesFed() const { return fed_; }

 private:
  // Writes a part of a line whose start is decided; the part ends at the
  // line's LF or earlier.
  void WriteLinePart(std::string_view part);
  void FlushOut();

  std::ostream& target_;
  std::string out_;            // ready for the target
  std::string line_start_;     // first bytes of the current line, undecided
  bool line_decided_ = false;
  bool after_crlf_ = true;     // the current line follows CR LF or the data start
  bool pending_crlf_ = false;  // the previous line's CR LF, held back
  bool pending_cr_ = false;    // a CR at the end of the current part
  bool done_ = false;
  int64_t fed_ = 0;
};

}  // namespace qm
