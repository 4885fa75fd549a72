#pragma once
#include <string>

#include "message/parse_message.h"
#include "store/mail_message.h"

namespace qm {

// Saves the part's lines (joined with CR LF) as a new attachment file for
// `file_name` and attaches it; a failure is reported and nothing is added.
void pnp_AddAttachment(cMailMessage& msg, const std::string& file_name, const cMimePart& part);

}  // namespace qm
