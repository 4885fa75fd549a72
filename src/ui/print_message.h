#pragma once
// Printing a message as plain text on the default printer, and the same
// header-and-body text saved to a file.
#include <string>

#include "platform/text_lines.h"
#include "store/mail_message.h"

class QPrinter;

namespace qm {

// The printed text: From, To, CC and BCC when not empty, Subject, Date, one
// line per attachment, an empty line and the body.
StringList PrintedLines(const cMailMessage& msg);

// A margin setting in centimetres (the user's decimal separator, or a
// point); a text that is not a number gives the default 1 cm.
double MarginMillimetres(const std::string& text);

// Prints on the given printer with the margins and font of [Printing].
// False when the printer could not take the document.
bool PrintMessageOn(QPrinter& printer, const cMailMessage& msg);

// On the default printer without a dialog. Without any printer the user is
// told and nothing is printed; the message itself stays as it is. Safe to
// call from any thread: the printing runs on the interface thread.
void PrintMessage(const cMailMessage& msg);

// The header lines, one empty line and the body lines, CR LF after each,
// written atomically over `path`. Throws qm::FileError.
void SaveMessageAsText(const cMailMessage& msg, const std::string& path);

}  // namespace qm
