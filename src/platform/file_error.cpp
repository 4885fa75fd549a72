#include "platform/file_error.h"

#include <cstring>

namespace qm {

FileError FileError::FromErrno(const std::string& what, const std::string& path, int err) {
  std::string msg = what + " \"" + path + "\".";
  if (err != 0) msg += std::string(" ") + std::strerror(err);
  return FileError(msg, err);
}

}  // namespace qm
