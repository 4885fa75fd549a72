#include "shell/command_line.h"

#include "shell/text_utils.h"

namespace qm {

void SplitMailtoUrl(const std::string& url, std::string& address, std::string& subject) {
  std::string rest = LowerCaseAscii(url.size() > 7 ? std::string_view(url).substr(7) : std::string_view());
  static const std::string kSubject = "?subject=";
  size_t pos = rest.find(kSubject);
  if (pos == std::string::npos) {
    address = rest;
    subject.clear();
  } else {
    address = rest.substr(0, pos);
    subject = rest.substr(pos + kSubject.size());
  }
}

CommandLineInfo ParseCommandLine(const std::vector<std::string>& args) {
  CommandLineInfo info;
  info.has_command_line = !args.empty();
  for (size_t i = 0; i < args.size(); ++i) {
    std::string lower = LowerCaseAscii(args[i]);
    if (lower == "-newmail") {
      ++i;
      SplitMailtoUrl(i < args.size() ? args[i] : std::string(), info.address, info.subject);
    } else {
      info.attach = lower;
    }
  }
  return info;
}

}  // namespace qm
