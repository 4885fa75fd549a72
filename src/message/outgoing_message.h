#pragma once
// Turns a composed message record into the text handed to the SMTP server.
#include "platform/text_lines.h"
#include "store/mail_message.h"

namespace qm {

// Clears `lines` and fills them with the message's header lines, as stored
// with the record. The BCC line is among them; it never goes out.
void BuildHeaderLines(const cMailMessage& msg, StringList& lines);

// The complete message text, one line per entry, without the BCC line:
// joined with CR LF it is what the server receives. Attachment files that no
// longer exist are left out; one that cannot be read throws qm::FileError.
StringList BuildMessageLines(const cMailMessage& msg);

}  // namespace qm
