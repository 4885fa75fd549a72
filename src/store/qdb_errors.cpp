#include "store/qdb_errors.h"

#include <cerrno>

namespace qm {

std::string FormatQdbMessage(const char* pattern, const std::string& arg) {
  std::string s = pattern;
  size_t pos = s.find("%s");
  if (pos != std::string::npos) s.replace(pos, 2, arg);
  return s;
}

int QdbReasonFromErrno(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      return qdb_reason::kNotFound;
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
      return qdb_reason::kNotReady;
    case EMFILE:
    case ENFILE:
      return qdb_reason::kNoHandles;
    case EBUSY:
    case ETXTBSY:
    case EACCES:
    case EPERM:
    case EWOULDBLOCK:
      return qdb_reason::kInUse;
    case ENOSPC:
    case EDQUOT:
      return qdb_reason::kDiskFull;
    default:
      return err;
  }
}

std::string QdbReasonMessage(int reason, const std::string& file) {
  switch (reason) {
    case qdb_reason::kNotFound:
      return FormatQdbMessage("Could not find the file %s", file);
    case qdb_reason::kNotReady:
      return "The drive you are trying to access is not ready";
    case qdb_reason::kNoHandles:
      return "No more file handles are available";
    case qdb_reason::kInUse:
      return FormatQdbMessage("The file %s seems to be in use by another program", file);
    case qdb_reason::kDiskFull:
      return "The drive is full";
    default:
      return FormatQdbMessage("Unidentified problem -  %s", std::to_string(reason));
  }
}

EQDBFileError QdbFileErrorFromErrno(int err, const std::string& file) {
  return EQDBFileError(QdbReasonMessage(QdbReasonFromErrno(err), file));
}

}  // namespace qm
