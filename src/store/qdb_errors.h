#pragma once
// The mailbox engine's exceptions, their message texts and the mapping of
// system errors onto the engine's failure reason codes.
#include <stdexcept>
#include <string>

namespace qm {

class EQDBError : public std::runtime_error {
 public:
  explicit EQDBError(const std::string& message) : std::runtime_error(message) {}
};

class EQDBListError : public EQDBError { using EQDBError::EQDBError; };
class EQDBFileError : public EQDBError { using EQDBError::EQDBError; };
class EQDBIndexError : public EQDBError { using EQDBError::EQDBError; };
class EQDBInvalidPW : public EQDBError { using EQDBError::EQDBError; };
class EQDBNoCompress : public EQDBError { using EQDBError::EQDBError; };
class EQDBBadKey : public EQDBError { using EQDBError::EQDBError; };

class EQDBOutOfBounds : public EQDBIndexError { using EQDBIndexError::EQDBIndexError; };
class EQDBNoData : public EQDBIndexError { using EQDBIndexError::EQDBIndexError; };
class EQDBReadOnly : public EQDBIndexError { using EQDBIndexError::EQDBIndexError; };
class EQDBNoFile : public EQDBIndexError { using EQDBIndexError::EQDBIndexError; };

// Message texts; "%s" is replaced by FormatQdbMessage.
namespace qdb_msg {
inline constexpr const char* kNoFile = "Illegal operation - no file assigned";
inline constexpr const char* kNoData = "File %s is empty";
inline constexpr const char* kOutOfBounds = "The list index is out of bounds";
inline constexpr const char* kReadOnly = "%s is marked as read-only";
inline constexpr const char* kInvalidPW = "The password you have provided is invalid";
inline constexpr const char* kNotValid = "The file %s is not a valid QDB file";
inline constexpr const char* kDuplicate = "Duplicate keys are not allowed";
inline constexpr const char* kNoMemoryIndex = "Not enough memory to extend the index to %s";
inline constexpr const char* kNoTempFile = "Could not create a necessary temporary file";
inline constexpr const char* kCannotExtend = "Unable to extend the file %s";
inline constexpr const char* kBadKey = "The key '%s' does not exist";
inline constexpr const char* kNoCompress = "Insufficient memory to compress or expand";
// A key the file format cannot hold (longer than 255 bytes or with a zero byte).
inline constexpr const char* kInvalidKey = "The key '%s' cannot be stored";
}  // namespace qdb_msg

// Replaces the first "%s" of `pattern` by `arg`.
std::string FormatQdbMessage(const char* pattern, const std::string& arg);

// Failure reason codes for files that cannot be opened or created.
namespace qdb_reason {
inline constexpr int kCallerMessage = -1;
inline constexpr int kNotFound = -2;
inline constexpr int kNotReady = -3;
inline constexpr int kNoHandles = -4;
inline constexpr int kInUse = -5;
inline constexpr int kDiskFull = -101;
}  // namespace qdb_reason

// Maps an errno value onto a reason code; values without a code of their own
// come back unchanged (positive).
int QdbReasonFromErrno(int err);
// The message for a reason code; `file` fills "%s" where the text has one.
std::string QdbReasonMessage(int reason, const std::string& file);
// Builds the EQDBFileError for an errno value.
EQDBFileError QdbFileErrorFromErrno(int err, const std::string& file);

}  // namespace qm
