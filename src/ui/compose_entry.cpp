#include "ui/compose_entry.h"

#include <cstdio>

#include "ui/compose_window.h"

namespace qm {

namespace {
std::vector<CommandLineInfo>& Requests() {
  static std::vector<CommandLineInfo> requests;
  return requests;
}
}  // namespace

void OpenComposeForRequest(const CommandLineInfo& request) {
  Requests().push_back(request);
  std::fprintf(stderr, "quillmar: new message request: address=\"%s\" subject=\"%s\" attach=\"%s\"\n",
               request.address.c_str(), request.subject.c_str(), request.attach.c_str());
  std::fflush(stderr);
  auto* window = new TfrmCompose();
  window->NewMessageWithAttachment(request.address, request.subject, request.attach);
}

const std::vector<CommandLineInfo>& RequestsReceived() { return Requests(); }

}  // namespace qm
