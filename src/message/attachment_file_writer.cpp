#include "message/attachment_file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_error.h"

namespace qm {

namespace {
constexpr size_t kChunk = 256 * 1024;
}

cAttachmentFileWriter::cAttachmentFileWriter(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
  if (fd_ < 0) throw FileError::FromErrno("Cannot open file", path, errno);
  buffer_.reserve(kChunk + 4096);
}

cAttachmentFileWriter::~cAttachmentFileWriter() {
  if (fd_ >= 0) ::close(fd_);
}

void cAttachmentFileWriter::Write(std::string_view bytes) {
  buffer_.append(bytes);
  Flush(false);
}

void cAttachmentFileWriter::Flush(bool all) {
  if (!all && buffer_.size() < kChunk) return;
  size_t off = 0;
  while (off < buffer_.size()) {
    ssize_t w = ::write(fd_, buffer_.data() + off, buffer_.size() - off);
    if (w < 0) {
      if (errno == EINTR) continue;
      throw FileError::FromErrno("Cannot write file", path_, errno);
    }
    off += static_cast<size_t>(w);
  }
  buffer_.clear();
}

void cAttachmentFileWriter::Close() {
  Flush(true);
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) throw FileError::FromErrno("Cannot write file", path_, errno);
}

}  // namespace qm
