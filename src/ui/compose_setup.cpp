#include "ui/compose_setup.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "message/hebrew_calendar.h"
#include "message/text_to_html.h"
#include "platform/locale_format.h"
#include "shell/app_paths.h"
#include "shell/text_utils.h"

namespace qm {

namespace {

// A whole decimal number of the 32-bit range (an optional sign, digits);
// anything else counts as 1.
long long SubjectNumber(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size() || text.size() - i > 10) return 1;
  long long n = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 1;
    n = n * 10 + (text[i] - '0');
  }
  if (negative) n = -n;
  if (n > std::numeric_limits<int>::max() || n < std::numeric_limits<int>::min()) return 1;
  return n;
}

}  // namespace

std::string NumberedSubject(const std::string& subject, const std::string& prefix, bool increment) {
  if (!increment || prefix.empty() || !StartsWithText(subject, prefix)) return prefix + subject;
  const size_t p = prefix.size();
  size_t open = subject.find('[');
  size_t close = subject.find(']');
  if (open == p && close != std::string::npos && close >= open + 2) {
    long long n = SubjectNumber(subject.substr(open + 1, close - open - 1));
    return subject.substr(0, open + 1) + std::to_string(n + 1) + subject.substr(close);
  }
  return subject.substr(0, p) + "[2] " + subject.substr(p);
}

std::string ReplyAllRecipients(const cMailMessage& source) {
  std::string to = source.To;
  if (!source.CC.empty()) to += "," + source.CC;
  if (!source.BCC.empty()) to += "," + source.BCC;
  return to;
}

std::string FormatDateText(TDateTime value) {
  if (value == 0) value = Now();
  std::string text = FormatShortDate(value);
  int h, m, s, ms;
  DecodeTime(value, h, m, s, ms);
  if (h != 0 || m != 0 || s != 0 || ms != 0) text += " " + FormatLongTime(value);
  if (OptionsIni && OptionsIni->ReadBool("Message", "InsertJewishDate", false)) {
    std::string hebrew = HebrewDateText(value);
    if (!hebrew.empty()) text += " (" + hebrew + ")";
  }
  return text;
}

std::string ExpandReplyFormat(const std::string& format, const std::string& from, const std::string& to,
                              const std::string& date_text) {
  struct Token {
    const char* name;
    const std::string* value;
  };
  static const std::string kLineBreak = "\r\n";
  const Token tokens[] = {{"$FROM", &from}, {"$TO", &to}, {"$DATE", &date_text}, {"$NL", &kLineBreak}};
  std::string out;
  size_t i = 0;
  while (i < format.size()) {
    bool replaced = false;
    if (format[i] == '$') {
      for (const Token& t : tokens) {
        std::string_view name(t.name);
        if (format.compare(i, name.size(), name) == 0) {
          out += *t.value;
          i += name.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += format[i++];
  }
  return out;
}

ComposeBody BuildComposeBody(const ComposeBodyParams& p) {
  ComposeBody b;
  size_t length = 0;  // characters so far, one per line break
  auto add = [&](const std::string& line, int level = 0) {
    b.lines.push_back(line);
    b.levels.push_back(level);
    length += line.size() + 1;
  };
  auto add_text = [&](const std::string& text) {
    StringList parts = SplitLines(text);
    if (parts.empty()) parts.emplace_back();
    for (const std::string& part : parts) add(part);
  };
  auto add_quote_block = [&] {
    add_text(p.header);
    add(p.quote_prefix);
    for (const std::string& line : p.quoted) {
      std::string quoted = p.quote_prefix + line;
      int level = 0;
      if (!p.colour_quotes || !GetQuoteLevel(quoted, level)) level = 0;
      add(quoted, level);
    }
  };
  // Inserting a signature leaves the caret where it was.
  auto add_signature = [&] {
    if (!p.has_signature) return;
    size_t keep = length;
    add("");
    for (const std::string& line : p.signature) add(line);
    length = keep;
  };

  if (p.quoting && p.reply_at_bottom) {
    add_quote_block();
    if (!p.date_text.empty()) {
      add("");
      add(p.date_text);
      add("");
    } else {
      add("");
    }
    b.caret = length;
    add_signature();
  } else if (p.quoting) {
    if (!p.date_text.empty()) add(p.date_text);
    b.caret = length;
    add_signature();
    // The quote goes after everything added so far.
    size_t keep = b.caret;
    length = 0;
    for (const std::string& line : b.lines) length += line.size() + 1;
    add("");
    add_quote_block();
    b.caret = keep;
  } else {
    if (!p.date_text.empty()) add(p.date_text);
    b.caret = length;
    add_signature();
  }
  return b;
}

std::string ComposeBodyText(const ComposeBody& body) {
  std::string text;
  for (const std::string& line : body.lines) text += line + "\n";
  return text;
}

}  // namespace qm
