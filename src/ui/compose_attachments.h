#pragma once
// Texts of the compose window's attachment list.
#include <cstdint>
#include <string>

namespace qm {

// "n bytes" below 1,024, "%.2n KB" below 1,048,576, else "%.2n MB", in the
// user's number format.
std::string AttachmentSizeText(int64_t bytes);

// file name + " (" + size text + ")"; a missing file counts as 0 bytes.
std::string AttachmentItemCaption(const std::string& path);

}  // namespace qm
