#include "message/message_file_buffer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/file_error.h"

namespace qm {

namespace {

size_t PageSize() {
  static const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return page;
}

// Populated at once: the whole file is read into it next, and one call
// costs far less than a page fault for every page.
char* MapAnonymous(size_t bytes) {
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  return p == MAP_FAILED ? nullptr : static_cast<char*>(p);
}

}  // namespace

cMessageFileBuffer::cMessageFileBuffer(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw FileError::FromErrno("Cannot open file", path, errno);
  struct stat st {};
  size_t want = ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
  if (want > 0 && S_ISREG(st.st_mode)) {
    // A regular file is mapped, not copied: reading it costs no copy into
    // fresh memory.
    void* p = mmap(nullptr, want, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (p != MAP_FAILED) {
      ::close(fd);
      data_ = static_cast<char*>(p);
      size_ = mapped_ = want;
      return;
    }
  }
  mapped_ = (want + 1 + PageSize()) / PageSize() * PageSize();
  data_ = MapAnonymous(mapped_);
  if (!data_) {
    ::close(fd);
    throw FileError::FromErrno("Cannot read file", path, ENOMEM);
  }
  for (;;) {
    if (size_ == mapped_) {
      // The file grew while being read: move to a mapping twice the size.
      char* bigger = MapAnonymous(mapped_ * 2);
      if (!bigger) {
        ::close(fd);
        throw FileError::FromErrno("Cannot read file", path, ENOMEM);
      }
      std::copy(data_, data_ + size_, bigger);
      munmap(data_, mapped_);
      data_ = bigger;
      mapped_ *= 2;
    }
    ssize_t r = ::read(fd, data_ + size_, mapped_ - size_);
    if (r < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      ::close(fd);
      throw FileError::FromErrno("Cannot read file", path, e);
    }
    if (r == 0) break;
    size_ += static_cast<size_t>(r);
  }
  ::close(fd);
}

cMessageFileBuffer::~cMessageFileBuffer() {
  if (data_) munmap(data_, mapped_);
}

void cMessageFileBuffer::Release(const char* from, const char* to) {
  if (!data_ || from < data_ || to > data_ + size_ || from >= to) return;
  const size_t page = PageSize();
  uintptr_t lo = (reinterpret_cast<uintptr_t>(from) + page - 1) / page * page;
  uintptr_t hi = reinterpret_cast<uintptr_t>(to) / page * page;
  if (hi > lo) madvise(reinterpret_cast<void*>(lo), hi - lo, MADV_DONTNEED);
}

}  // namespace qm
