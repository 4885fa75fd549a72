// Any bytes as a received message: the parser must neither crash nor write
// outside its data directory.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "message/parse_message.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/report_error.h"
#include "store/mail_message.h"

namespace {

class QuietSink : public qm::ErrorSink {
 public:
  void Report(const std::string&, bool) override {}
};

std::string g_root;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string tmpl = qm::SystemTempDir() + "quill-fuzz-XXXXXX";
  char* made = mkdtemp(tmpl.data());
  if (!made) std::abort();
  g_root = qm::IncludeTrailingSlash(made);
  // No litter in the temp directory once the run ends.
  std::atexit([] { qm::RemoveDirectoryTree(g_root); });
  qm::InitialisePaths(g_root);
  qm::SetErrorSink(std::make_shared<QuietSink>());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qm::cMailMessage msg;
  qm::InitMessage(msg);
  // Through a file, as the fetch task hands messages over.
  const std::string file = g_root + "input.eml";
  FILE* f = std::fopen(file.c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  qm::ParseMessageFile(file, msg);
  for (const auto& path : *msg.Attachments) {
    if (path.compare(0, qm::AttachmentsDir.size(), qm::AttachmentsDir) != 0 ||
        path.find('/', qm::AttachmentsDir.size()) != std::string::npos)
      std::abort();  // an attachment outside its directory
    qm::RemoveFile(path);
  }
  // The record must survive its stored form.
  std::string item = qm::EncodeMessage(msg);
  qm::cMailMessage back;
  qm::DecodeMessage(item, true, back);
  std::string subject = msg.Subject;
  for (char& c : subject)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  if (back.Subject != subject || back.Body->size() != msg.Body->size()) std::abort();
  qm::FreeMessage(back);
  qm::FreeMessage(msg);
  return 0;
}
