#include "transport/lite_pop3_unstuffer.h"

namespace qm {

void PopDataUnstuffer::WriteLinePart(std::string_view part) {
  if (part.empty()) return;
  if (pending_cr_) {
    pending_cr_ = false;
    if (part[0] == '\n') {
      pending_crlf_ = true;
      after_crlf_ = true;
      line_decided_ = false;
      return;  // a part ends at its LF, so nothing follows
    }
    out_.push_back('\r');
  }
  if (part.back() == '\n') {
    if (part.size() >= 2 && part[part.size() - 2] == '\r') {
      out_.append(part.substr(0, part.size() - 2));
      pending_crlf_ = true;
      after_crlf_ = true;
    } else {
      out_.append(part);
      after_crlf_ = false;
    }
    line_decided_ = false;
  } else if (part.back() == '\r') {
    out_.append(part.substr(0, part.size() - 1));
    pending_cr_ = true;
  } else {
    out_.append(part);
  }
}

bool PopDataUnstuffer::Feed(std::string_view data) {
  while (!data.empty() && !done_) {
    if (!line_decided_) {
      line_start_.push_back(data[0]);
      data.remove_prefix(1);
      ++fed_;
      const std::string& s = line_start_;
      bool drop_dot = false;
      if (s[0] == '.') {
        if (s.size() == 1) continue;
        if (s[1] == '\r') {
          if (s.size() == 2) continue;
          if (s[2] == '\n') {
            if (after_crlf_) {
              done_ = true;  // the end marker; the line end before it goes too
              pending_crlf_ = false;
              break;
            }
          } else {
            drop_dot = true;
          }
        } else if (s[1] != '\n') {
          drop_dot = true;
        }
      }
      line_decided_ = true;
      if (pending_crlf_) {
        out_.append("\r\n");
        pending_crlf_ = false;
      }
      std::string start = drop_dot ? s.substr(1) : s;
      line_start_.clear();
      WriteLinePart(start);
      continue;
    }
    size_t lf = data.find('\n');
    size_t take = lf == std::string_view::npos ? data.size() : lf + 1;
    WriteLinePart(data.substr(0, take));
    data.remove_prefix(take);
    fed_ += static_cast<int64_t>(take);
  }
  FlushOut();
  return done_;
}

void PopDataUnstuffer::FlushHeld() {
  if (pending_crlf_) out_.append("\r\n");
  if (pending_cr_) out_.push_back('\r');
  out_.append(line_start_);
  pending_crlf_ = pending_cr_ = false;
  line_start_.clear();
  FlushOut();
}

void PopDataUnstuffer::FlushOut() {
  if (out_.empty()) return;
  target_.write(out_.data(), static_cast<std::streamsize>(out_.size()));
  out_.clear();
}

}  // namespace qm
