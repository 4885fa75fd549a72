// quillmar-cli message list|show|add: the messages of one mailbox as records,
// through the same mailbox access the client uses.
#include <cmath>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/cli/cli_command.h"
#include "app/cli/cli_json.h"
#include "platform/file_system.h"
#include "store/mail_message.h"
#include "store/message_store.h"
#include "store/qdb_errors.h"
#include "store/ref_list.h"

namespace qm::cli {

namespace {

constexpr const char* kUsage = "message list FILE.zqf | show FILE.zqf KEY | add FILE.zqf < record.json";

int Fail(const std::string& message) {
  std::fprintf(stderr, "quillmar-cli: %s\n", message.c_str());
  return 1;
}

// One compact JSON object per line: key and every first-part field.
std::string FirstPartLine(const std::string& key, const cMailMessage& msg) {
  std::string out = "{";
  auto member = [&out](const char* name, const std::string& json) {
    if (out.size() > 1) out += ",";
    out += JsonString(name) + ":" + json;
  };
  auto text = [&](const char* name, const std::string& v) { member(name, JsonString(v)); };
  auto flag = [&](const char* name, bool v) { member(name, v ? "true" : "false"); };
  text("Key", key);
  text("Subject", msg.Subject);
  text("From", msg.From);
  text("FromName", msg.FromName);
  text("FromAddress", msg.FromAddress);
  text("ReplyTo", msg.ReplyTo);
  text("To", msg.To);
  text("CC", msg.CC);
  text("BCC", msg.BCC);
  text("MessageID", msg.MessageID);
  text("Account", msg.Account);
  flag("IsHTML", msg.IsHTML);
  flag("Read", msg.Read);
  flag("Complete", msg.Complete);
  flag("HasAttachments", msg.HasAttachments);
  flag("Answered", msg.Answered);
  flag("ReservedFlag", msg.ReservedFlag);
  text("SourceRef", msg.SourceRef);
  text("Organization", msg.Organization);
  char date[40] = "null";
  if (std::isfinite(msg.Date)) std::snprintf(date, sizeof date, "%.10g", msg.Date);
  member("Date", date);
  member("Reserved", std::to_string(msg.Reserved));
  member("Size", std::to_string(msg.Size));
  return out + "}";
}

// --- Reading a record from JSON ---------------------------------------------

struct JsonValue {
  enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;
};

class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : s_(text) {}

  JsonValue Document() {
    JsonValue v = Value(0);
    Blanks();
    if (pos_ != s_.size()) Error("unexpected text after the value");
    return v;
  }

 private:
  [[noreturn]] void Error(const std::string& what) const {
    throw std::runtime_error("record.json: " + what + " at offset " + std::to_string(pos_));
  }
  void Blanks() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r')) ++pos_;
  }
  bool Take(char c) {
    Blanks();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  void Expect(char c) {
    if (!Take(c)) Error(std::string("'") + c + "' expected");
  }
  bool Word(const char* w) {
    size_t n = std::char_traits<char>::length(w);
    if (s_.compare(pos_, n, w) != 0) return false;
    pos_ += n;
    return true;
  }

  JsonValue Value(int depth) {
    if (depth > 64) Error("nesting too deep");
    Blanks();
    if (pos_ >= s_.size()) Error("value expected");
    JsonValue v;
    char c = s_[pos_];
    if (c == '{') {
      ++pos_;
      v.kind = JsonValue::Object;
      if (Take('}')) return v;
      do {
        Blanks();
        if (pos_ >= s_.size() || s_[pos_] != '"') Error("member name expected");
        std::string name = String();
        Expect(':');
        v.members.emplace_back(std::move(name), Value(depth + 1));
      } while (Take(','));
      Expect('}');
    } else if (c == '[') {
      ++pos_;
      v.kind = JsonValue::Array;
      if (Take(']')) return v;
      do v.items.push_back(Value(depth + 1));
      while (Take(','));
      Expect(']');
    } else if (c == '"') {
      v.kind = JsonValue::String;
      v.text = String();
    } else if (Word("true") || Word("false")) {
      v.kind = JsonValue::Bool;
      v.boolean = s_[pos_ - 1] == 'e' && s_[pos_ - 2] == 'u';
    } else if (Word("null")) {
      v.kind = JsonValue::Null;
    } else {
      size_t start = pos_;
      while (pos_ < s_.size() && std::string_view("+-0123456789.eE").find(s_[pos_]) != std::string_view::npos) ++pos_;
      if (start == pos_) Error("value expected");
      std::string num = s_.substr(start, pos_ - start);
      size_t used = 0;
      try {
        v.number = std::stod(num, &used);
      } catch (const std::exception&) {
        used = 0;
      }
      if (used != num.size()) Error("bad number");
      v.kind = JsonValue::Number;
    }
    return v;
  }

  unsigned Hex4() {
    if (pos_ + 4 > s_.size()) Error("bad \\u escape");
    unsigned v = 0;
    for (int i = 0; i < 4; ++i) {
      char c = s_[pos_++];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= c - '0';
      else if (c >= 'a' && c <= 'f') v |= c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') v |= c - 'A' + 10;
      else Error("bad \\u escape");
    }
    return v;
  }

  static void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }

  std::string String() {
    ++pos_;  // the opening quote
    std::string out;
    while (true) {
      if (pos_ >= s_.size()) Error("unterminated string");
      char c = s_[pos_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) Error("control character in a string");
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      if (pos_ >= s_.size()) Error("unterminated string");
      char e = s_[pos_++];
      switch (e) {
        case '"': out.push_back('"'); break;
        case '\\': out.push_back('\\'); break;
        case '/': out.push_back('/'); break;
        case 'b': out.push_back('\b'); break;
        case 'f': out.push_back('\f'); break;
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case 't': out.push_back('\t'); break;
        case 'u': {
          unsigned cp = Hex4();
          if (cp >= 0xD800 && cp < 0xDC00 && s_.compare(pos_, 2, "\\u") == 0) {
            pos_ += 2;
            unsigned low = Hex4();
            if (low < 0xDC00 || low > 0xDFFF) Error("bad surrogate pair");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
          }
          AppendUtf8(out, cp);
          break;
        }
        default: Error("bad escape");
      }
    }
  }

  const std::string& s_;
  size_t pos_ = 0;
};

// Fills the record from a JSON object shaped like "message show" prints it.
void RecordFromJson(const JsonValue& v, cMailMessage& msg) {
  if (v.kind != JsonValue::Object) throw std::runtime_error("record.json: an object expected");
  struct TextField {
    const char* name;
    std::string cMailMessage::*field;
  } static const kTexts[] = {
      {"Subject", &cMailMessage::Subject},   {"From", &cMailMessage::From},
      {"FromName", &cMailMessage::FromName}, {"FromAddress", &cMailMessage::FromAddress},
      {"ReplyTo", &cMailMessage::ReplyTo},   {"To", &cMailMessage::To},
      {"CC", &cMailMessage::CC},             {"BCC", &cMailMessage::BCC},
      {"MessageID", &cMailMessage::MessageID}, {"Account", &cMailMessage::Account},
      {"SourceRef", &cMailMessage::SourceRef}, {"Organization", &cMailMessage::Organization},
  };
  struct FlagField {
    const char* name;
    bool cMailMessage::*field;
  } static const kFlags[] = {
      {"IsHTML", &cMailMessage::IsHTML},   {"Read", &cMailMessage::Read},
      {"Complete", &cMailMessage::Complete}, {"HasAttachments", &cMailMessage::HasAttachments},
      {"Answered", &cMailMessage::Answered}, {"ReservedFlag", &cMailMessage::ReservedFlag},
  };
  struct ListField {
    const char* name;
    std::shared_ptr<StringList> cMailMessage::*field;
  } static const kLists[] = {
      {"Headers", &cMailMessage::Headers}, {"Body", &cMailMessage::Body}, {"Attachments", &cMailMessage::Attachments}};

  bool has_attachment_flag = false;
  for (const auto& [name, value] : v.members) {
    auto wrong = [&name = name](const char* what) {
      return std::runtime_error("record.json: \"" + name + "\" must be " + what);
    };
    bool known = false;
    if (name == "Key") continue;  // a new key is drawn
    for (const auto& f : kTexts) {
      if (name != f.name) continue;
      if (value.kind != JsonValue::String) throw wrong("a string");
      msg.*f.field = value.text;
      known = true;
    }
    for (const auto& f : kFlags) {
      if (name != f.name) continue;
      if (value.kind != JsonValue::Bool) throw wrong("true or false");
      msg.*f.field = value.boolean;
      if (name == "HasAttachments") has_attachment_flag = true;
      known = true;
    }
    for (const auto& f : kLists) {
      if (name != f.name) continue;
      if (value.kind != JsonValue::Array) throw wrong("an array of strings");
      StringList lines;
      for (const auto& item : value.items) {
        if (item.kind != JsonValue::String) throw wrong("an array of strings");
        lines.push_back(item.text);
      }
      *(msg.*f.field) = std::move(lines);
      known = true;
    }
    if (name == "Date") {
      if (value.kind != JsonValue::Number) throw wrong("a number");
      msg.Date = value.number;
      known = true;
    } else if (name == "Size" || name == "Reserved") {
      if (value.kind != JsonValue::Number || value.number != std::floor(value.number) || value.number < -2147483648.0 ||
          value.number > 2147483647.0)
        throw wrong("a 32-bit integer");
      (name == "Size" ? msg.Size : msg.Reserved) = static_cast<int32_t>(value.number);
      known = true;
    }
    if (!known) throw std::runtime_error("record.json: unknown member \"" + name + "\"");
  }
  if (!has_attachment_flag) msg.HasAttachments = !msg.Attachments->empty();
}

// --- Commands ------------------------------------------------------------------

int List(const std::string& file) {
  TQDB* db = nullptr;
  if (!GetQDBForFile(file, db)) return 1;
  int status = 0;
  for (int i = 0; i < db->Count(); ++i) {
    cMailMessage msg;
    if (!GetMessage(*db, msg, false, "", i)) {
      status = 1;
      break;
    }
    std::string line = FirstPartLine(db->Key(), msg);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
  }
  ReleaseQDB(db);
  return status;
}

int Show(const std::string& file, const std::string& key) {
  TQDB* db = nullptr;
  if (!GetQDBForFile(file, db)) return 1;
  cMailMessage msg;
  int status = 0;
  if (GetMessage(*db, msg, true, key)) {
    std::string text = MessageRecordJson(key, msg).Text();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    FreeMessage(msg);
  } else {
    status = Fail(FormatQdbMessage(qdb_msg::kBadKey, key));
  }
  ReleaseQDB(db);
  return status;
}

int Add(const std::string& file) {
  std::ios::sync_with_stdio(false);
  std::string input(std::istreambuf_iterator<char>(std::cin), {});
  if (std::cin.bad()) return Fail("cannot read standard input");
  cMailMessage msg;
  InitMessage(msg);
  try {
    RecordFromJson(JsonReader(input).Document(), msg);
  } catch (const std::exception& e) {
    FreeMessage(msg);
    return Fail(e.what());
  }
  TQDB* db = nullptr;
  if (!GetQDBForFile(file, db)) {
    FreeMessage(msg);
    return 1;
  }
  TKey key;
  bool ok = AddMessage(*db, msg, false, nullptr, key);
  FreeMessage(msg);
  ReleaseQDB(db);
  if (!ok) return 1;
  std::printf("%s\n", key.c_str());
  return 0;
}

int MessageCommand(const std::vector<std::string>& args) {
  if (args.size() < 2) return UsageError(std::string("usage: ") + kUsage);
  const std::string& verb = args[0];
  const std::string& file = args[1];
  const size_t wanted = verb == "show" ? 3 : 2;
  if (verb != "list" && verb != "show" && verb != "add") return UsageError("unknown message command '" + verb + "'");
  if (args.size() != wanted) return UsageError(std::string("usage: ") + kUsage);
  // Reading must not create a mailbox that is not there.
  if (verb != "add" && !FileExists(file)) return Fail(QdbReasonMessage(qdb_reason::kNotFound, file));
  int status = verb == "list" ? List(file) : verb == "show" ? Show(file, args[2]) : Add(file);
  CloseAllMailboxes();
  if (std::fflush(stdout) != 0) return 1;
  return status;
}

const CommandRegistration kMessage("message", kUsage, MessageCommand);

}  // namespace

}  // namespace qm::cli
