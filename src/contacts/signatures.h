#pragma once
// Signatures: sections of Signatures.ini naming text files in SignaturesDir;
// the default one is [Signatures] DefaultSig of Options.ini.
#include <string>

#include "contacts/contacts_ui.h"
#include "platform/text_lines.h"

namespace qm {

// Section names of Signatures.ini in file order.
StringList ListSignatures();
// Ignores letter case.
bool SignatureExists(const std::string& name);

// SignaturesDir + the FileName value; empty when the signature has none.
// Only the file name part of the value is used, so a hand-edited value
// cannot reach outside the signatures directory.
std::string GetSignatureFile(const std::string& name);

// The lines of the signature's file; false when the file does not exist or
// cannot be read (the latter reported through ReportError).
bool LoadSignature(const std::string& name, StringList& lines);

// Writes the lines to `path`, or to a new "Signature<n>.sig" when `path` is
// empty, and stores the file name under FileName even when writing the text
// failed (that failure is reported). False when the text was not written.
bool SaveSignature(const std::string& name, const StringList& lines, const std::string& path);

std::string GetDefaultSignature();
void SetDefaultSignature(const std::string& name);

// Changes the section header line of Signatures.ini; the text file keeps its
// name. False when the old name is not found or another signature already
// has the new name.
bool RenameSignature(const std::string& old_name, const std::string& new_name);

// The manager's operations.
// New signature in a new file; refused with "A signature with this name
// already exists!" (ReportError) when the name is taken. The first one, or
// one made while there is no default, becomes the default.
bool CreateSignature(const std::string& name, const StringList& lines);
// Properties OK: a changed name is renamed (the default follows it), then the
// text goes back into the signature's file.
bool UpdateSignature(const std::string& old_name, const std::string& new_name, const StringList& lines);
// A name edited in the list: the default follows the new name.
bool ChangeSignatureName(const std::string& old_name, const std::string& new_name);
// Deletes the text file and the section; clears the default when it named it.
void DeleteSignature(const std::string& name);
// "&Delete" of the manager: asks first; true when deleted.
bool ConfirmAndDeleteSignature(const std::string& name, ContactsUi& ui);

// The picker's preview: the text, or nothing when it cannot be loaded.
StringList SignaturePreview(const std::string& name);

}  // namespace qm
