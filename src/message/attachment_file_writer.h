#pragma once
// Buffered writing into a file that MakeUniqueAttachmentPath has created.
#include <string>
#include <string_view>

namespace qm {

class cAttachmentFileWriter {
 public:
  // Opens the existing file for writing (truncated); throws qm::FileError.
  explicit cAttachmentFileWriter(const std::string& path);
  ~cAttachmentFileWriter();
  cAttachmentFileWriter(const cAttachmentFileWriter&) = delete;
  cAttachmentFileWriter& operator=(const cAttachmentFileWriter&) = delete;

  // Appends bytes; throws qm::FileError when the file cannot be written.
  void Write(std::string_view bytes);
  std::string& Buffer() { return buffer_; }  // append freely, then Flush(false)
  void Flush(bool all);
  // Writes what is buffered and closes; throws qm::FileError.
  void Close();

 private:
  std::string path_;
  std::string buffer_;
  int fd_ = -1;
};

}  // namespace qm
