#include "message/outgoing_message.h"

#include <sstream>

#include "message/header_encoding.h"
#include "message/internet_dates.h"
#include "message/message_id.h"
#include "message/mime_types.h"
#include "message/product_info.h"
#include "message/transfer_encodings.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"

namespace qm {

namespace {

const std::string kContinuation(14, ' ');

const StringList& ListOf(const std::shared_ptr<StringList>& list) {
  static const StringList kEmpty;
  return list ? *list : kEmpty;
}

// How the text goes out. A message that is ASCII throughout is sent exactly
// as it always was: 7bit with no charset. Anything else is UTF-8, 8bit, or
// quoted-printable when a line is too long for the wire.
struct TextForm {
  bool utf8 = false;
  const char* encoding = "7bit";
};

TextForm ChooseTextForm(const cMailMessage& msg) {
  const StringList& body = ListOf(msg.Body);
  bool ascii = IsAsciiText(msg.Subject) && IsAsciiText(msg.From) && IsAsciiText(msg.To) &&
               IsAsciiText(msg.CC) && IsAsciiText(msg.Organization) && IsAsciiText(msg.ReplyTo);
  bool too_long = false;
  for (const std::string& line : body) {
    if (ascii && !IsAsciiText(line)) ascii = false;
    if (line.size() > kMaxLineLength) too_long = true;
  }
  if (ascii) return {};
  return {true, too_long ? "quoted-printable" : "8bit"};
}

// A line break inside a field would start a header line of its own.
std::string OneLine(std::string value) {
  for (char& c : value)
    if (c == '\r' || c == '\n') c = ' ';
  return value;
}

void AddLines(StringList& out, StringList lines) {
  for (std::string& l : lines) out.push_back(std::move(l));
}

std::string TextContentType(const cMailMessage& msg) {
  return msg.IsHTML ? "text/html" : "text/plain";
}

void AddHeaderLines(const cMailMessage& msg, const TextForm& form, bool with_bcc, StringList& lines) {
  AddLines(lines, EncodeAddressHeader("From", OneLine(msg.From)));
  AddLines(lines, EncodeTextHeader("Subject", OneLine(msg.Subject)));
  AddLines(lines, EncodeAddressHeader("To", OneLine(msg.To)));
  if (!msg.CC.empty()) AddLines(lines, EncodeAddressHeader("CC", OneLine(msg.CC)));
  if (with_bcc && !msg.BCC.empty()) AddLines(lines, EncodeAddressHeader("BCC", OneLine(msg.BCC)));
  lines.push_back("Date: " + FormatInternetDate(msg.Date));
  lines.push_back("Lines: " + std::to_string(ListOf(msg.Body).size()));
  lines.push_back("Message-ID: " + OneLine(msg.MessageID));
  if (!msg.Organization.empty())
    AddLines(lines, EncodeTextHeader("Organization", OneLine(msg.Organization)));
  if (!msg.ReplyTo.empty()) AddLines(lines, EncodeAddressHeader("Reply-To", OneLine(msg.ReplyTo)));
  lines.push_back("Mime-Version: 1.0");
  if (!form.utf8) {
    lines.push_back("Content-Transfer-Encoding: 7bit");
  } else if (msg.HasAttachments) {
    // The multipart body is as wide as its widest part.
    lines.push_back(std::string("Content-Transfer-Encoding: ") +
                    (std::string_view(form.encoding) == "8bit" ? "8bit" : "7bit"));
  } else {
    lines.push_back("Content-Type: " + TextContentType(msg) + "; charset=utf-8");
    lines.push_back(std::string("Content-Transfer-Encoding: ") + form.encoding);
  }
  if (!OptionsIni || OptionsIni->ReadBool("Options", "AddAppID", true))
    lines.push_back("X-Mailer: " + GetProductText());
}

void AddBody(const cMailMessage& msg, const TextForm& form, StringList& lines) {
  if (std::string_view(form.encoding) == "quoted-printable")
    AddLines(lines, QuotedPrintableEncodeLines(ListOf(msg.Body)));
  else
    lines.insert(lines.end(), ListOf(msg.Body).begin(), ListOf(msg.Body).end());
}

// Throws qm::FileError when the file cannot be read.
StringList Base64LinesOfFile(const std::string& path) {
  std::istringstream in(ReadFileBytes(path));
  std::ostringstream out;
  Base64EncodeFile(in, out);
  return SplitLines(out.str());
}

void AddAttachment(const std::string& path, const std::string& delimiter, StringList& lines) {
  const std::string name = ExtractFileName(path);
  StringList content = Base64LinesOfFile(path);
  lines.push_back("");
  lines.push_back(delimiter);
  lines.push_back("Content-Type: " + GetMimeTypeForFile(path) + ";");
  lines.push_back(kContinuation + EncodeParameter("name", name));
  lines.push_back("Content-Transfer-Encoding: base64");
  lines.push_back("Content-Disposition: attachment;");
  // Readers that look only at the disposition still find an encoded name.
  if (NeedsParameterEncoding(name)) lines.push_back(kContinuation + EncodeParameter("filename", name));
  lines.push_back("");
  AddLines(lines, std::move(content));
}

}  // namespace

void BuildHeaderLines(const cMailMessage& msg, StringList& lines) {
  lines.clear();
  AddHeaderLines(msg, ChooseTextForm(msg), true, lines);
}

StringList BuildMessageLines(const cMailMessage& msg) {
  const TextForm form = ChooseTextForm(msg);
  StringList lines;
  AddHeaderLines(msg, form, false, lines);
  if (!msg.HasAttachments) {
    lines.push_back("");
    AddBody(msg, form, lines);
    return lines;
  }

  const std::string boundary = NewBoundary();
  const std::string delimiter = "--" + boundary;
  lines.push_back("Content-type: multipart/mixed;");
  lines.push_back(kContinuation + "boundary=\"" + boundary + "\"");
  lines.push_back("");
  lines.push_back("This is a multi-part message in MIME format.");
  lines.push_back("");
  lines.push_back(delimiter);
  if (form.utf8) {
    lines.push_back("Content-Type: " + TextContentType(msg) + "; charset=utf-8");
    lines.push_back(std::string("Content-Transfer-Encoding: ") + form.encoding);
  } else {
    lines.push_back("Content-Type: " + TextContentType(msg) + ";");
  }
  lines.push_back("");
  AddBody(msg, form, lines);
  for (const std::string& path : ListOf(msg.Attachments))
    if (FileExists(path)) AddAttachment(path, delimiter, lines);
  lines.push_back("");
  lines.push_back(delimiter + "--");
  return lines;
}

}  // namespace qm
