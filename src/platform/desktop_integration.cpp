#include "platform/desktop_integration.h"

#include "platform/app_dir.h"
#include "platform/file_system.h"
#include "platform/text_lines.h"

namespace qm {

namespace {

const char* kMailtoMime = "x-scheme-handler/mailto";

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// Quotes an Exec argument as the desktop entry format asks.
std::string ExecQuote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

std::string DesktopEntryPath() { return UserDataDir() + "applications/" + kDesktopEntryName; }
std::string MimeAppsListPath() { return UserConfigDir() + "mimeapps.list"; }

std::string DesktopEntryText(const std::string& exe_path) {
  StringList l = {"[Desktop Entry]",
                  "Type=Application",
                  "Name=Torvane Quillmar",
                  "GenericName=Mail Client",
                  "Comment=Read, write and send e-mail",
                  "Exec=" + ExecQuote(exe_path) + " -newmail %u",
                  "Icon=torvane-quillmar",
                  "Terminal=false",
                  "Categories=Network;Email;",
                  "MimeType=x-scheme-handler/mailto;",
                  "StartupNotify=true"};
  std::string out;
  for (const auto& s : l) out += s + "\n";
  return out;
}

void RegisterDesktopEntry(const std::string& exe_path) {
  std::string entry = DesktopEntryPath();
  ForceDirectories(ExtractFilePath(entry));
  WriteFileAtomically(entry, DesktopEntryText(exe_path));

  // Set our entry as the mailto default, keeping everything else in the file.
  std::string list = MimeAppsListPath();
  StringList lines = LoadLinesFromFile(list);
  StringList out;
  bool in_defaults = false, seen_defaults = false, written = false;
  for (const auto& raw : lines) {
    std::string line = Trim(raw);
    if (!line.empty() && line.front() == '[') {
      if (in_defaults && !written) {
        out.push_back(std::string(kMailtoMime) + "=" + kDesktopEntryName);
        written = true;
      }
      in_defaults = line == "[Default Applications]";
      seen_defaults = seen_defaults || in_defaults;
      out.push_back(raw);
      continue;
    }
    if (in_defaults && line.rfind(std::string(kMailtoMime) + "=", 0) == 0) {
      if (!written) out.push_back(std::string(kMailtoMime) + "=" + kDesktopEntryName);
      written = true;
      continue;
    }
    out.push_back(raw);
  }
  if (!written) {
    if (!seen_defaults) out.push_back("[Default Applications]");
    out.push_back(std::string(kMailtoMime) + "=" + kDesktopEntryName);
  }
  std::string text;
  for (const auto& s : out) text += s + "\n";
  ForceDirectories(ExtractFilePath(list));
  WriteFileAtomically(list, text);
}

bool IsDefaultMailtoHandler() {
  bool in_defaults = false;
  for (const auto& raw : LoadLinesFromFile(MimeAppsListPath())) {
    std::string line = Trim(raw);
    if (!line.empty() && line.front() == '[') {
      in_defaults = line == "[Default Applications]";
      continue;
    }
    if (in_defaults && line.rfind(std::string(kMailtoMime) + "=", 0) == 0) {
      std::string v = line.substr(std::string(kMailtoMime).size() + 1);
      size_t semi = v.find(';');
      return Trim(v.substr(0, semi)) == kDesktopEntryName;
    }
  }
  return false;
}

}  // namespace qm
