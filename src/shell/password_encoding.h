#pragma once
// Stored passwords: each character code minus a fixed offset, as signed
// decimals joined by ",". Obscures, does not protect.
#include <string>

namespace qm {

constexpr int kPasswordOffset = 37;

std::string EncodePassword(const std::string& text, int offset = kPasswordOffset);
// Never throws; any piece that is not a number gives the empty text.
std::string DecodePassword(const std::string& stored, int offset = kPasswordOffset);

}  // namespace qm
