#include "app/cli/cli_json.h"

#include <cmath>
#include <cstdio>

namespace qm::cli {

namespace {

// Length of a well-formed UTF-8 sequence at p, 0 when there is none.
size_t Utf8Length(const unsigned char* p, size_t n) {
  unsigned char c = p[0];
  size_t len = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3 : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
  if (len == 0 || len > n) return 0;
  for (size_t i = 1; i < len; ++i)
    if ((p[i] & 0xC0) != 0x80) return 0;
  if (len == 3 && ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] >= 0xA0))) return 0;
  if (len == 4 && ((c == 0xF0 && p[1] < 0x90) || (c == 0xF4 && p[1] >= 0x90))) return 0;
  return len;
}

std::string ArrayText(const StringList& values) {
  if (values.empty()) return "[]";
  std::string out = "[\n";
  for (size_t i = 0; i < values.size(); ++i) {
    out += "    " + JsonString(values[i]);
    out += i + 1 < values.size() ? ",\n" : "\n";
  }
  out += "  ]";
  return out;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('"');
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  size_t n = text.size(), i = 0;
  while (i < n) {
    unsigned char c = p[i];
    if (c >= 0x80) {
      size_t len = Utf8Length(p + i, n - i);
      if (len == 0) {
        out += "\xEF\xBF\xBD";
        ++i;
      } else {
        out.append(text.data() + i, len);
        i += len;
      }
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
    ++i;
  }
  out.push_back('"');
  return out;
}

JsonObject& JsonObject::Add(std::string_view key, std::string_view value) { return AddRaw(key, JsonString(value)); }
JsonObject& JsonObject::Add(std::string_view key, int64_t value) { return AddRaw(key, std::to_string(value)); }
JsonObject& JsonObject::Add(std::string_view key, bool value) { return AddRaw(key, value ? "true" : "false"); }
JsonObject& JsonObject::AddNull(std::string_view key) { return AddRaw(key, "null"); }
JsonObject& JsonObject::Add(std::string_view key, const StringList& values) { return AddRaw(key, ArrayText(values)); }

JsonObject& JsonObject::Add(std::string_view key, double value) {
  if (!std::isfinite(value)) return AddNull(key);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.12g", value);
  return AddRaw(key, buf);
}

JsonObject& JsonObject::AddRaw(std::string_view key, std::string json) {
  members_.emplace_back(JsonString(key), std::move(json));
  return *this;
}

std::string JsonObject::Text() const {
  if (members_.empty()) return "{}";
  std::string out = "{\n";
  for (size_t i = 0; i < members_.size(); ++i) {
    out += "  " + members_[i].first + ": " + members_[i].second;
    out += i + 1 < members_.size() ? ",\n" : "\n";
  }
  out += "}";
  return out;
}

JsonObject MessageRecordJson(const std::optional<std::string>& key, const cMailMessage& msg) {
  JsonObject o;
  if (key) o.Add("Key", *key);
  else o.AddNull("Key");
  o.Add("Subject", msg.Subject)
      .Add("From", msg.From)
      .Add("FromName", msg.FromName)
      .Add("FromAddress", msg.FromAddress)
      .Add("ReplyTo", msg.ReplyTo)
      .Add("To", msg.To)
      .Add("CC", msg.CC)
      .Add("BCC", msg.BCC)
      .Add("MessageID", msg.MessageID)
      .Add("Account", msg.Account)
      .Add("IsHTML", msg.IsHTML)
      .Add("Read", msg.Read)
      .Add("Complete", msg.Complete)
      .Add("HasAttachments", msg.HasAttachments)
      .Add("Answered", msg.Answered)
      .Add("ReservedFlag", msg.ReservedFlag)
      .Add("SourceRef", msg.SourceRef)
      .Add("Organization", msg.Organization)
      .Add("Date", msg.Date)
      .Add("Reserved", msg.Reserved)
      .Add("Size", msg.Size);
  static const StringList kNone;
  o.Add("Headers", msg.Headers ? *msg.Headers : kNone);
  o.Add("Body", msg.Body ? *msg.Body : kNone);
  o.Add("Attachments", msg.Attachments ? *msg.Attachments : kNone);
  return o;
}

}  // namespace qm::cli
