#pragma once
// The mailbox container on disk: magic, optional password block, data
// section and index section. While a mailbox is open its sections live in two
// plain working files; these functions move bytes between the two forms.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/qdb_cipher.h"

namespace qm {

// The whole of a new, empty mailbox file.
std::string EmptyQdbContainer();

// An open file descriptor, closed on destruction.
class QdbFd {
 public:
  QdbFd() = default;
  explicit QdbFd(int fd) : fd_(fd) {}
  ~QdbFd() { Reset(); }
  QdbFd(QdbFd&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
  QdbFd& operator=(QdbFd&& o) noexcept {
    if (this != &o) {
      Reset();
      fd_ = o.fd_;
      o.fd_ = -1;
    }
    return *this;
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void Reset(int fd = -1);
  int Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_ = -1;
};

// Positional I/O that retries short transfers; false (errno set) on failure
// or, for reads, at a premature end of file.
bool QdbReadAt(int fd, int64_t offset, void* buf, size_t n);
bool QdbWriteAt(int fd, int64_t offset, const void* buf, size_t n);

// Asked for the password of a protected file; returns it.
using QdbPasswordSource = std::function<std::string()>;

struct QdbSections {
  int64_t data_length = 0;
  int64_t index_length = 0;
  int64_t data_at = 0;      // file position of the data section
  bool data_copied = true;  // false: the data section was left in place
};

// A run of bytes of a data section: `length` bytes of `fd` from `from`.
struct QdbSegment {
  int fd;
  int64_t from;
  int64_t length;
};

// Reads the container at `path` (already open as `in`) into the two working
// files, deciphering with the password when the file is protected. `password`
// is taken as given; when empty and the file is protected, `ask` supplies it
// and the chosen password is stored back. Throws EQDBFileError for a bad
// magic or truncated container and EQDBInvalidPW before copying anything when
// the password does not match. With `leave_plain_data`, the data section of
// an unprotected file is not copied: the caller reads it in place (the
// working file is only sized to match).
QdbSections ReadQdbContainer(int in, const std::string& path, std::string& password,
                             const QdbPasswordSource& ask, int data_fd, int index_fd,
                             bool leave_plain_data = false);

// Writes the container for `target`, its data section made of `data` in
// order: to a new file in the target's own directory, flushed to disk and
// renamed over the target, so the old file stays whole until the new one is
// complete. Returns the position of the data section. Throws EQDBFileError.
int64_t WriteQdbContainer(const std::string& target, const std::vector<QdbSegment>& data, int index_fd,
                          int64_t index_length, const std::string& password);

}  // namespace qm
