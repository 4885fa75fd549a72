#include "transport/lite_pop3.h"

#include "transport/lite_pop3_unstuffer.h"

namespace qm {

bool TLitePOP3::ReadOKReply() { return ReadFromSocket(true, false) && ReplyCode() == "+OK"; }

bool TLitePOP3::UserPassLogin(const std::string& user, const std::string& password) {
  WriteToSocket("USER " + user);
  if (!ReadOKReply()) return false;
  DisableTransferEvents();
  WriteToSocket("PASS " + password);
  FireWriteToSocket(std::string("PASS ") + kPasswordPlaceholder);
  EnableTransferEvents();
  if (!ReadOKReply()) return false;
  if (OnLoggedIn) OnLoggedIn(*this);
  return true;
}

bool TLitePOP3::GetMailboxStats() {
  WriteToSocket("STAT");
  if (!ReadOKReply()) return false;
  std::string count = ReplyText();
  size_t blank = count.find(' ');
  if (blank != std::string::npos) count.erase(blank);
  message_count_ = StrToIntSafe(count, -1);
  return message_count_ != -1;
}

bool TLitePOP3::GetUIDLList(StringList& list) {
  list.clear();
  WriteToSocket("UIDL");
  if (!ReadOKReply()) return false;
  std::string& buffer = ReceiveBuffer();
  bool status_removed = false;
  for (;;) {
    if (!status_removed) {
      size_t crlf = buffer.find("\r\n");
      if (crlf != std::string::npos) {
        buffer.erase(0, crlf + 2);
        status_removed = true;
      }
    }
    if (status_removed) {
      // Lines are taken from an offset and cut once, not one erase per line.
      size_t pos = 0;
      for (;;) {
        size_t crlf = buffer.find("\r\n", pos);
        if (crlf == std::string::npos) break;
        if (buffer.size() - pos == 3 && buffer.compare(pos, 3, ".\r\n") == 0) break;
        std::string_view line(buffer.data() + pos, crlf - pos);
        size_t blank = line.find(' ');
        if (blank != std::string_view::npos) line.remove_prefix(blank + 1);
        list.emplace_back(line);
        pos = crlf + 2;
        if (UIDLFetchProgress) UIDLFetchProgress(*this, static_cast<int>(list.size()), message_count_);
      }
      buffer.erase(0, pos);
    }
    if (buffer.size() >= 3 && buffer.compare(buffer.size() - 3, 3, ".\r\n") == 0) return true;
    if (buffer.size() > kMaxReplyLine) {
      ReportSocketError("The server's reply line exceeds " + std::to_string(kMaxReplyLine) +
                            " bytes without a line end.",
                        ErrorTypes::kConnectionFailed);
      return false;
    }
    if (!ReadFromSocket(false, true)) return false;
  }
}

bool TLitePOP3::RetrieveMessage(int number, bool headers_only, std::ostream& stream) {
  WriteToSocket("LIST " + std::to_string(number));
  if (!ReadOKReply()) return false;
  std::string size_text = ReplyText();
  size_t blank = size_text.find(' ');
  size_text.erase(0, blank == std::string::npos ? 0 : blank + 1);
  int msg_size = StrToIntSafe(size_text, 0);
  if (OnBeforeBody) OnBeforeBody(*this, msg_size);

  WriteToSocket((headers_only ? "TOP " : "RETR ") + std::to_string(number) + (headers_only ? " 0" : ""));
  DisableTransferEvents();
  FireReadFromSocket("[Message content follows]");
  if (!ReadOKReply()) {
    EnableTransferEvents();
    return false;
  }
  PopDataUnstuffer data(stream);
  std::string& buffer = ReceiveBuffer();
  bool status_removed = false;
  struct ReceiveSizeScope {
    TLiteSocket& socket;
    size_t saved;
    ~ReceiveSizeScope() { socket.SetReceiveSize(saved); }
  } scope{*this, ReceiveSize()};
  SetReceiveSize(data_receive_size_);
  for (;;) {
    if (!status_removed) {
      size_t crlf = buffer.find("\r\n");
      if (crlf != std::string::npos) {
        buffer.erase(0, crlf + 2);
        status_removed = true;
      }
    }
    if (status_removed && data.Feed(buffer)) break;
    if (!headers_only && BodyFetchProgress) BodyFetchProgress(*this, data.BytesFed(), msg_size);
    if (!ReadFromSocket(false, false)) {
      data.FlushHeld();
      EnableTransferEvents();
      return false;
    }
  }
  EnableTransferEvents();
  // A target that failed still had the whole message read off the
  // connection, so the next command finds the dialogue in step.
  if (!data.TargetGood()) {
    ReportSocketError("The message could not be written to its file.", ErrorTypes::kConnectionFailed);
    return false;
  }
  FireReadFromSocket("[Message content received]\r\n");
  if (OnAfterBody) OnAfterBody(*this);
  return true;
}

bool TLitePOP3::DeleteFromServer(int number) {
  WriteToSocket("DELE " + std::to_string(number));
  return ReadOKReply();
}

bool TLitePOP3::Quit() {
  WriteToSocket("QUIT");
  return ReadOKReply();
}

}  // namespace qm
