#pragma once
// A whole message file in memory whose consumed page ranges can be handed
// back while parsing goes on, so a large body is not held twice. A regular
// file is mapped (the program replaces its files by renaming, never by
// cutting them short in place); anything else is read.
#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

class cMessageFileBuffer {
 public:
  // Reads the whole file; throws qm::FileError.
  explicit cMessageFileBuffer(const std::string& path);
  ~cMessageFileBuffer();
  cMessageFileBuffer(const cMessageFileBuffer&) = delete;
  cMessageFileBuffer& operator=(const cMessageFileBuffer&) = delete;

  std::string_view Text() const { return {data_, size_}; }
  // Returns the whole pages inside [from, to) to the system; the bytes there
  // must not be read afterwards. Ranges outside the buffer are ignored.
  void Release(const char* from, const char* to);

 private:
  char* data_ = nullptr;
  size_t size_ = 0;
  size_t mapped_ = 0;
};

}  // namespace qm
