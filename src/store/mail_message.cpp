#include "store/mail_message.h"

#include <chrono>
#include <cstring>
#include <stdexcept>

namespace qm {

namespace {

constexpr int kFirstTextLines = 18;

void PutInt32(std::string& out, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

void PutDouble(std::string& out, double v) {
  uint64_t u;
  std::memcpy(&u, &v, 8);
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

class Reader {
 public:
  explicit Reader(std::string_view data) : data_(data) {}
  uint64_t Raw(int bytes) {
    Need(bytes);
    uint64_t u = 0;
    for (int i = 0; i < bytes; ++i) u |= uint64_t(static_cast<unsigned char>(data_[pos_ + i])) << (8 * i);
    pos_ += bytes;
    return u;
  }
  int32_t Int32() { return static_cast<int32_t>(static_cast<uint32_t>(Raw(4))); }
  double Double() {
    uint64_t u = Raw(8);
    double d;
    std::memcpy(&d, &u, 8);
    return d;
  }
  std::string_view Bytes(int32_t n) {
    if (n < 0) throw std::runtime_error("Invalid message item: negative length");
    Need(static_cast<size_t>(n));
    std::string_view v = data_.substr(pos_, n);
    pos_ += n;
    return v;
  }
  std::string_view Rest() const { return data_.substr(pos_); }

 private:
  void Need(size_t n) const {
    if (data_.size() - pos_ < n) throw std::runtime_error("Invalid message item: it ends too early");
  }
  std::string_view data_;
  size_t pos_ = 0;
};

// A field holding a line break would move every later field of the item,
// and a NUL would end the item's text there when it is read back.
void AppendField(std::string& out, const std::string& value) {
  size_t start = out.size();
  out.append(value);
  for (size_t i = start; i < out.size(); ++i)
    if (out[i] == '\r' || out[i] == '\n' || out[i] == '\0') out[i] = ' ';
  out.append("\r\n");
}

// A list line: a NUL inside would cut off every later line of the item.
void AppendListLine(std::string& out, const std::string& line) {
  size_t start = out.size();
  out.append(line);
  if (line.find('\0') != std::string::npos)
    for (size_t i = start; i < out.size(); ++i)
      if (out[i] == '\0') out[i] = ' ';
  out.append("\r\n");
}

void AppendFlag(std::string& out, bool v) { out.append(v ? "1\r\n" : "0\r\n"); }

int32_t ClockSeed() {
  auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
  return static_cast<int32_t>(static_cast<uint32_t>(ticks ^ (ticks >> 32)));
}

}  // namespace

void InitMessage(cMailMessage& msg) {
  msg = cMailMessage{};
  msg.Date = Now();
  msg.Body = std::make_shared<StringList>();
  msg.Headers = std::make_shared<StringList>();
  msg.Attachments = std::make_shared<StringList>();
}

void FreeMessage(cMailMessage& msg) {
  try {
    if (msg.Attachments) {
      while (!msg.Attachments->empty())
        DeleteAttachmentEntry(msg, static_cast<int>(msg.Attachments->size()) - 1);
    }
    // Clearing the shared lists releases their contents for every copy too.
    if (msg.Body) msg.Body->clear();
    if (msg.Headers) msg.Headers->clear();
  } catch (...) {
  }
  msg.Body.reset();
  msg.Headers.reset();
  msg.Attachments.reset();
}

std::string EncodeMessageWithSeed(const cMailMessage& msg, int32_t seed) {
  std::string out;
  try {
    std::string first;
    for (const std::string* f : {&msg.Subject, &msg.From, &msg.FromName, &msg.FromAddress, &msg.ReplyTo,
                                 &msg.To, &msg.CC, &msg.BCC, &msg.MessageID, &msg.Account})
      AppendField(first, *f);
    AppendFlag(first, msg.IsHTML);
    AppendFlag(first, msg.Read);
    AppendFlag(first, msg.Complete);
    AppendFlag(first, msg.HasAttachments);
    AppendFlag(first, msg.Answered);
    AppendFlag(first, msg.ReservedFlag);
    AppendField(first, msg.SourceRef);
    AppendField(first, msg.Organization);
    PutInt32(out, static_cast<int32_t>(first.size()));
    out += first;
    PutDouble(out, msg.Date);
    PutInt32(out, msg.Reserved);
    PutInt32(out, msg.Size);

    const std::string boundary =
        "!QM36_xMailBoundary" + std::to_string(seed) + "_" + std::to_string(seed);
    size_t len_pos = out.size();
    PutInt32(out, 0);
    size_t start = out.size();
    AppendLine(out, boundary);
    if (msg.Headers)
      for (const auto& l : *msg.Headers) AppendListLine(out, l);
    AppendLine(out, boundary);
    if (msg.Body)
      for (const auto& l : *msg.Body) AppendListLine(out, l);
    uint32_t t2 = static_cast<uint32_t>(out.size() - start);
    for (int i = 0; i < 4; ++i) out[len_pos + i] = static_cast<char>((t2 >> (8 * i)) & 0xFF);
    if (msg.Attachments)
      for (const auto& l : *msg.Attachments) AppendListLine(out, l);
  } catch (...) {
  }
  return out;
}

std::string EncodeMessage(const cMailMessage& msg) { return EncodeMessageWithSeed(msg, ClockSeed()); }

void DecodeMessage(std::string_view item, bool with_body, cMailMessage& msg) {
  InitMessage(msg);
  Reader r(item);
  int32_t t1 = r.Int32();
  StringList first = SplitLines(r.Bytes(t1));
  if (first.size() < kFirstTextLines)
    throw std::runtime_error("Invalid message item: the first part has " + std::to_string(first.size()) +
                             " lines");
  std::string* fields[] = {&msg.Subject, &msg.From, &msg.FromName, &msg.FromAddress, &msg.ReplyTo,
                           &msg.To,      &msg.CC,   &msg.BCC,      &msg.MessageID,   &msg.Account};
  for (int i = 0; i < 10; ++i) *fields[i] = first[i];
  bool* flags[] = {&msg.IsHTML, &msg.Read, &msg.Complete, &msg.HasAttachments, &msg.Answered, &msg.ReservedFlag};
  for (int i = 0; i < 6; ++i) *flags[i] = first[10 + i] == "1";
  msg.SourceRef = first[16];
  msg.Organization = first[17];
  msg.Date = r.Double();
  msg.Reserved = r.Int32();
  msg.Size = r.Int32();
  if (!with_body) return;

  int32_t t2 = r.Int32();
  StringList second = SplitLines(r.Bytes(t2));
  if (!second.empty()) {
    const std::string& boundary = second[0];
    size_t i = 1;
    for (; i < second.size(); ++i) {
      if (second[i] == boundary) break;
      msg.Headers->push_back(std::move(second[i]));
    }
    for (++i; i < second.size(); ++i) msg.Body->push_back(std::move(second[i]));
  }
  *msg.Attachments = SplitLines(r.Rest());
}

std::string_view ItemBodyText(std::string_view item) {
  Reader r(item);
  r.Bytes(r.Int32());
  r.Raw(8);  // Date
  r.Raw(8);  // Reserved and Size
  std::string_view second = r.Bytes(r.Int32());
  second = second.substr(0, second.find('\0'));
  // Lines end at CR LF, a lone CR or a lone LF, as SplitLines has them.
  size_t pos = 0;
  auto next_line = [&](std::string_view& line) {
    if (pos >= second.size()) return false;
    size_t end = second.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = second.size();
    line = second.substr(pos, end - pos);
    pos = end;
    if (pos < second.size()) pos += second.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
    return true;
  };
  std::string_view boundary, line;
  if (!next_line(boundary)) return {};
  while (next_line(line))
    if (line == boundary) return second.substr(pos);
  return {};
}

void AddAttachment(cMailMessage& msg, const std::string& path) {
  if (!msg.Attachments) msg.Attachments = std::make_shared<StringList>();
  msg.Attachments->push_back(path);
  msg.HasAttachments = true;
}

void DeleteAttachmentEntry(cMailMessage& msg, int index) {
  if (!msg.Attachments) return;
  if (index >= 0 && static_cast<size_t>(index) < msg.Attachments->size())
    msg.Attachments->erase(msg.Attachments->begin() + index);
  msg.HasAttachments = !msg.Attachments->empty();
}

}  // namespace qm
