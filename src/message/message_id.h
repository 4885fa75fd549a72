#pragma once
// Identifiers made for outgoing messages.
#include <string>

namespace qm {

// Host part of every Message-ID; it names no real host.
inline constexpr char kMessageIDHost[] = "quillmar.invalid";

// "<QMMail." + 8 letters from a to t + "@quillmar.invalid>".
std::string NewMessageID();

// "--QM_Bound_" + 18 letters from a to y (29 characters).
std::string NewBoundary();

}  // namespace qm
