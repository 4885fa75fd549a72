#include "platform/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/file_system.h"

namespace qm {

namespace {

// Percent-encodes everything but unreserved characters and "/".
std::string EscapePath(const std::string& path) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

std::string AbsoluteOf(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char buf[4096];
  if (!::getcwd(buf, sizeof buf)) return path;
  return IncludeTrailingSlash(buf) + path;
}

bool CopyTree(const std::string& from, const std::string& to) {
  struct stat st;
  if (::lstat(from.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) {
    if (::mkdir(to.c_str(), st.st_mode & 07777) != 0) return false;
    for (const DirEntry& e : ListDirectory(from))
      if (!CopyTree(IncludeTrailingSlash(from) + e.name, IncludeTrailingSlash(to) + e.name)) return false;
    return true;
  }
  return CopyFileTo(from, to);
}

bool SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

}  // namespace

std::string HomeTrashDir() {
  const char* data = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (data && *data == '/') {
    base = data;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && *home ? home : "/tmp") + "/.local/share";
  }
  return IncludeTrailingSlash(base) + "Trash/";
}

bool MoveToTrash(const std::string& path, std::string* error) {
  const std::string source = ExcludeTrailingSlash(AbsoluteOf(path));
  struct stat st;
  if (source.empty() || ::lstat(source.c_str(), &st) != 0)
    return SetError(error, "Cannot move " + path + " to the trash: " + std::strerror(errno));
  const std::string trash = HomeTrashDir();
  const std::string files = trash + "files/", info = trash + "info/";
  if (!ForceDirectories(files) || !ForceDirectories(info))
    return SetError(error, "Cannot create the trash directory " + trash);
  ::chmod(trash.c_str(), 0700);

  const std::string base = ExtractFileName(source);
  const std::string ext = S_ISDIR(st.st_mode) ? "" : ExtractFileExt(base);
  const std::string stem = base.substr(0, base.size() - ext.size());
  char stamp[32];
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
  const std::string content =
      "[Trash Info]\nPath=" + EscapePath(source) + "\nDeletionDate=" + std::string(stamp) + "\n";

  for (int n = 1; n < 10000; ++n) {
    const std::string name = n == 1 ? base : stem + "." + std::to_string(n) + ext;
    const std::string info_path = info + name + ".trashinfo";
    // The info file claims the name; it is made exclusively.
    int fd = ::open(info_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return SetError(error, "Cannot write " + info_path + ": " + std::strerror(errno));
    }
    bool written = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    written = ::close(fd) == 0 && written;
    const std::string target = files + name;
    if (written && !PathExists(target)) {
      if (::rename(source.c_str(), target.c_str()) == 0) return true;
      // Another file system: copy, then remove the original.
      if (errno == EXDEV) {
        if (CopyTree(source, target) && RemoveDirectoryTree(source)) return true;
        RemoveDirectoryTree(target);
      }
      std::string reason = std::strerror(errno);
      ::unlink(info_path.c_str());
      return SetError(error, "Cannot move " + path + " to the trash: " + reason);
    }
    ::unlink(info_path.c_str());
    if (!written) return SetError(error, "Cannot write " + info_path);
  }
  return SetError(error, "Cannot move " + path + " to the trash: no free name");
}

}  // namespace qm
