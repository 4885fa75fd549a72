#include "message/attachment_names.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>

#include "platform/file_error.h"
#include "platform/file_system.h"
#include "shell/app_paths.h"
#include "shell/text_utils.h"

namespace qm {

namespace {

constexpr size_t kMaxNameBytes = 200;  // leaves room for " (n)" below NAME_MAX

// Cuts at a UTF-8 character boundary at or below `max` bytes.
std::string CutUtf8(const std::string& s, size_t max) {
  if (s.size() <= max) return s;
  size_t n = max;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return s.substr(0, n);
}

// 0 when created, else the errno of the failed exclusive create.
int CreateExclusive(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return errno;
  ::close(fd);
  return 0;
}

std::mt19937& Random() {
  thread_local std::mt19937 gen{std::random_device{}()};
  return gen;
}

}  // namespace

std::string SanitizeAttachmentName(const std::string& name) {
  std::string s = name;
  size_t cut = s.find_last_of("/\\");
  if (cut != std::string::npos) s = s.substr(cut + 1);
  std::string out;
  out.reserve(s.size());
  for (unsigned char c : s)
    if (c >= 32 && c != 127) out.push_back(static_cast<char>(c));
  size_t dots;
  while ((dots = out.find("..")) != std::string::npos) out.erase(dots, 2);
  out = TrimBlanks(out);
  if (out.find_first_not_of('.') == std::string::npos) return "";
  if (out.size() > kMaxNameBytes) {
    std::string ext;
    size_t dot = out.rfind('.');
    if (dot != std::string::npos && out.size() - dot <= 16) ext = out.substr(dot);
    out = CutUtf8(out.substr(0, out.size() - ext.size()), kMaxNameBytes - ext.size()) + ext;
  }
  return out;
}

std::string MakeUniqueAttachmentPath(const std::string& name) {
  std::string clean = SanitizeAttachmentName(name);
  if (TrimBlanks(clean).empty()) clean = "No name";
  std::string path = AttachmentsDir + clean;
  int err = CreateExclusive(path);
  if (err == 0) return path;
  if (err != EEXIST) throw FileError::FromErrno("Cannot create file", path, err);
  std::string ext, stem = clean;
  // A leading dot starts the name, not an extension: ".bashrc (1)".
  size_t dot = clean.rfind('.');
  if (dot != std::string::npos && dot > 0) {
    ext = clean.substr(dot);
    stem = clean.substr(0, dot);
  }
  while (!stem.empty() && stem.back() == '.') stem.pop_back();
  auto numbered = [&](long n) { return AttachmentsDir + stem + " (" + std::to_string(n) + ")" + ext; };
  long n = 1;
  for (;; ++n) {
    if (n == 32) {
      // Many copies of one name: find the end of the taken run by doubling
      // and halving instead of trying every number.
      long taken = n - 1, free = n;
      while (PathExists(numbered(free))) {
        taken = free;
        free *= 2;
      }
      while (free - taken > 1) {
        long mid = taken + (free - taken) / 2;
        (PathExists(numbered(mid)) ? taken : free) = mid;
      }
      n = std::max(n, free);
    }
    path = numbered(n);
    err = CreateExclusive(path);
    if (err == 0) return path;
    if (err != EEXIST || n > 100000000) throw FileError::FromErrno("Cannot create file", path, err);
  }
}

std::string MakeTempFileName() {
  std::uniform_int_distribution<int> dist(0, 9999);
  int err = 0;
  std::string path;
  for (int attempt = 0; attempt < 100000; ++attempt) {
    path = TempDir + "Temp" + std::to_string(dist(Random())) + ".tmp";
    err = CreateExclusive(path);
    if (err == 0) return path;
    if (err != EEXIST) break;
  }
  throw FileError::FromErrno("Cannot create file", path, err);
}

}  // namespace qm
