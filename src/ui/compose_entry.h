#pragma once
// Where a request for a new message (a mailto: address, a file to send) goes.
#include <functional>
#include <vector>

#include "shell/command_line.h"

namespace qm {

// Opens a compose window for the request; the request is also kept in
// RequestsReceived() and traced on standard error.
void OpenComposeForRequest(const CommandLineInfo& request);

const std::vector<CommandLineInfo>& RequestsReceived();

}  // namespace qm
