#pragma once
// A small JSON writer for quillmar-cli output, and the one JSON shape of a
// message record ("parse" and "message show" print the same).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/text_lines.h"
#include "store/mail_message.h"

namespace qm::cli {

// A JSON string literal with quotes; bytes that are not UTF-8 become U+FFFD.
std::string JsonString(std::string_view text);

// An object whose members keep the order they were added in.
class JsonObject {
 public:
  JsonObject& Add(std::string_view key, std::string_view value);
  JsonObject& Add(std::string_view key, const char* value) { return Add(key, std::string_view(value)); }
  JsonObject& Add(std::string_view key, int64_t value);
  JsonObject& Add(std::string_view key, int32_t value) { return Add(key, static_cast<int64_t>(value)); }
  JsonObject& Add(std::string_view key, bool value);
  JsonObject& Add(std::string_view key, double value);
  JsonObject& AddNull(std::string_view key);
  JsonObject& Add(std::string_view key, const StringList& values);
  // A member whose value is already JSON text.
  JsonObject& AddRaw(std::string_view key, std::string json);

  // Two-blank indentation, one member per line; arrays one item per line.
  std::string Text() const;

 private:
  std::vector<std::pair<std::string, std::string>> members_;  // key literal, value JSON
};

// Key (null when none) and every record field by its record name.
JsonObject MessageRecordJson(const std::optional<std::string>& key, const cMailMessage& msg);

}  // namespace qm::cli
