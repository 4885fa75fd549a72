#pragma once
// What a new, reply or forward message starts with: numbered subjects, the
// recipients of a reply to all, the quote block and the editor's first text.
#include <string>
#include <vector>

#include "platform/date_time.h"
#include "platform/text_lines.h"
#include "store/mail_message.h"

namespace qm {

// prefix + subject, or with IncrementSubject a subject that already starts
// with the prefix (ignoring case) gets its "[n]" counted up, or "[2] " after
// the prefix: 'Re: Hello' -> 'Re: [2] Hello' -> 'Re: [3] Hello'.
std::string NumberedSubject(const std::string& subject, const std::string& prefix, bool increment);

// To, then "," and CC, then "," and BCC (each only when not empty).
std::string ReplyAllRecipients(const cMailMessage& source);

// The date in the short date and long time format (no time at exactly
// midnight); 0 means now. With InsertJewishDate the Hebrew date follows in
// parentheses.
std::string FormatDateText(TDateTime value);

// ReplyFormat with $FROM, $TO, $DATE and $NL (CR LF) replaced in one pass:
// text put in by a replacement is never searched again.
std::string ExpandReplyFormat(const std::string& format, const std::string& from, const std::string& to,
                              const std::string& date_text);

// The editor's first text as a list of lines (each ends in a line break in
// the editor) with the quote level to colour each line by (0: none) and
// where the caret goes (a character offset, line breaks counting one).
struct ComposeBody {
  StringList lines;
  std::vector<int> levels;
  size_t caret = 0;
};

struct ComposeBodyParams {
  bool quoting = false;
  bool reply_at_bottom = true;
  bool colour_quotes = true;
  std::string date_text;         // empty: no date line
  std::string header;            // the expanded ReplyFormat (may hold CR LF)
  std::string quote_prefix = "> ";
  StringList quoted;             // the text to quote, one entry per line
  bool has_signature = false;
  StringList signature;
};

ComposeBody BuildComposeBody(const ComposeBodyParams& p);

// The editor text of a body: every line followed by "\n".
std::string ComposeBodyText(const ComposeBody& body);

}  // namespace qm
