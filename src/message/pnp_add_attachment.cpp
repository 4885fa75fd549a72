#include "message/pnp_add_attachment.h"

#include <exception>

#include "message/attachment_file_writer.h"
#include "message/attachment_names.h"
#include "platform/file_system.h"
#include "shell/report_error.h"

namespace qm {

void pnp_AddAttachment(cMailMessage& msg, const std::string& file_name, const cMimePart& part) {
  std::string path;
  try {
    path = MakeUniqueAttachmentPath(file_name);
    cAttachmentFileWriter out(path);
    for (std::string_view l : part.lines) {
      AppendLine(out.Buffer(), l);
      out.Flush(false);
    }
    out.Close();
    AddAttachment(msg, path);
  } catch (const std::exception& e) {
    if (!path.empty()) RemoveFile(path);
    ReportError("In pnp_AddAttachment (): " + QuotedStr(e.what()));
  }
}

}  // namespace qm
