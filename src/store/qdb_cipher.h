#pragma once
// Password protection of a mailbox file: the stored check value, the key and
// the keystream that enciphers the data and index sections.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "store/sha1.h"

namespace qm {

using QdbKey = Sha1Digest;

// Sections are enciphered in chunks of this size; the keystream restarts at
// every chunk, so this is part of the file format.
inline constexpr size_t kQdbCipherChunk = 524288;

// SHA-1 of the password's bytes.
QdbKey PasswordKey(std::string_view password);
// SHA-1 of the key's bytes up to its first zero byte (the key is handed on as
// a zero-terminated text); this is what a protected file stores.
Sha1Digest PasswordCheckValue(std::string_view password);
// Enciphers or deciphers one chunk in place (its own inverse). Callers cut
// sections into kQdbCipherChunk pieces.
void ApplyKeystream(void* buffer, size_t length, const QdbKey& key);
// Applies the keystream to a whole section, chunk by chunk.
void ApplyKeystreamToSection(void* buffer, size_t length, const QdbKey& key);

}  // namespace qm
