#include "contacts/signatures.h"

#include <cerrno>
#include <exception>
#include <random>

#include "platform/file_error.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/ini_file.h"
#include "shell/report_error.h"
#include "shell/text_utils.h"

namespace qm {

namespace {

const char kAlreadyExists[] = "A signature with this name already exists!";

IniFile Ini() { return SignaturesIni ? *SignaturesIni : IniFile(AppDir + "Signatures.ini"); }

std::string NewSignatureFile() {
  static std::mt19937 gen{std::random_device{}()};
  std::uniform_int_distribution<int> pick(0, 9999);
  // Redraw while the name is taken; give up rather than spin when all are.
  for (int tries = 0; tries < 100000; ++tries) {
    std::string path = SignaturesDir + "Signature" + std::to_string(pick(gen)) + ".sig";
    if (!PathExists(path)) return path;
  }
  throw FileError("No free signature file name in " + SignaturesDir, EEXIST);
}

// A rename must not give two sections one name: one would hide the other.
bool NameTakenByOther(const std::string& old_name, const std::string& new_name) {
  return !SameTextAscii(old_name, new_name) && SignatureExists(new_name);
}

}  // namespace

StringList ListSignatures() { return Ini().ReadSections(); }

bool SignatureExists(const std::string& name) { return Ini().SectionExists(name); }

std::string GetSignatureFile(const std::string& name) {
  std::string file = ExtractFileName(Ini().ReadString(name, "FileName", ""));
  return file.empty() ? "" : SignaturesDir + file;
}

bool LoadSignature(const std::string& name, StringList& lines) {
  lines.clear();
  try {
    const std::string path = GetSignatureFile(name);
    if (path.empty() || !FileExists(path)) return false;
    lines = SplitLines(ReadFileBytes(path));
    return true;
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured while loading the signature " + QuotedStr(name));
    lines.clear();
    return false;
  }
}

bool SaveSignature(const std::string& name, const StringList& lines, const std::string& path) {
  std::string target = path;
  bool written = false;
  try {
    if (target.empty()) target = NewSignatureFile();
    SaveLinesToFile(target, lines);
    written = true;
  } catch (const std::exception& e) {
    ReportError(QuotedStr(e.what()) + " has occured while saving a signature to " + target);
  }
  if (!target.empty()) Ini().WriteString(name, "FileName", ExtractFileName(target));
  return written;
}

std::string GetDefaultSignature() {
  return OptionsIni ? OptionsIni->ReadString("Signatures", "DefaultSig", "") : "";
}

void SetDefaultSignature(const std::string& name) {
  if (OptionsIni) OptionsIni->WriteString("Signatures", "DefaultSig", name);
}

bool RenameSignature(const std::string& old_name, const std::string& new_name) {
  if (new_name.empty() || new_name.find_first_of("]\r\n") != std::string::npos) return false;
  if (NameTakenByOther(old_name, new_name)) return false;
  const std::string file = Ini().FileName();
  StringList lines = LoadLinesFromFile(file);
  const std::string header = "[" + old_name + "]";
  for (std::string& line : lines) {
    if (SameTextAscii(TrimBlanks(line), header)) {
      line = "[" + new_name + "]";
      SaveLinesToFile(file, lines);
      return true;
    }
  }
  return false;
}

bool CreateSignature(const std::string& name, const StringList& lines) {
  if (SignatureExists(name)) {
    ReportError(kAlreadyExists);
    return false;
  }
  const bool first = ListSignatures().empty();
  const bool no_default = GetDefaultSignature().empty();
  const bool ok = SaveSignature(name, lines, "");
  if (first || no_default) SetDefaultSignature(name);
  return ok;
}

bool ChangeSignatureName(const std::string& old_name, const std::string& new_name) {
  if (old_name == new_name) return true;
  if (NameTakenByOther(old_name, new_name)) {
    ReportError(kAlreadyExists);
    return false;
  }
  const bool was_default = GetDefaultSignature() == old_name;
  if (!RenameSignature(old_name, new_name)) return false;
  if (was_default) SetDefaultSignature(new_name);
  return true;
}

bool UpdateSignature(const std::string& old_name, const std::string& new_name, const StringList& lines) {
  if (!ChangeSignatureName(old_name, new_name)) return false;
  return SaveSignature(new_name, lines, GetSignatureFile(new_name));
}

void DeleteSignature(const std::string& name) {
  const std::string file = GetSignatureFile(name);
  if (!file.empty()) RemoveFile(file);
  Ini().EraseSection(name);
  if (GetDefaultSignature() == name) SetDefaultSignature("");
}

bool ConfirmAndDeleteSignature(const std::string& name, ContactsUi& ui) {
  if (!ui.AskYesNo("Are you certain you wish to delete this signature?", "Confirmation", ContactsIcon::Question))
    return false;
  DeleteSignature(name);
  return true;
}

StringList SignaturePreview(const std::string& name) {
  StringList lines;
  LoadSignature(name, lines);
  return lines;
}

}  // namespace qm
