#pragma once
#include <stdexcept>
#include <string>

namespace qm {

// A failed file-system operation; `code` is the errno value (0 when none).
class FileError : public std::runtime_error {
 public:
  FileError(const std::string& message, int code) : std::runtime_error(message), code_(code) {}
  int code() const { return code_; }

  // "Cannot create file "X". No such file or directory" style text.
  static FileError FromErrno(const std::string& what, const std::string& path, int err);

 private:
  int code_;
};

}  // namespace qm
