#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/file_error.h"

namespace qm {

namespace {

bool StatPath(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }

void WriteAll(int fd, std::string_view data, const std::string& path) {
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t w = ::write(fd, p, left);
    if (w < 0) {
      if (errno == EINTR) continue;
      throw FileError::FromErrno("Cannot write file", path, errno);
    }
    p += w;
    left -= static_cast<size_t>(w);
  }
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st;
  return StatPath(path, st) && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return !path.empty() && StatPath(path, st) && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

int64_t FileSizeOf(const std::string& path) {
  struct stat st;
  if (!StatPath(path, st)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool CreateDir(const std::string& path) {
  std::string p = ExcludeTrailingSlash(path);
  if (p.empty()) return false;
  return ::mkdir(p.c_str(), 0777) == 0 || DirectoryExists(p);
}

bool ForceDirectories(const std::string& path) {
  std::string p = ExcludeTrailingSlash(path);
  if (p.empty()) return false;
  if (DirectoryExists(p)) return true;
  std::string parent = ExcludeTrailingSlash(ExtractFilePath(p));
  if (!parent.empty() && parent != p && !DirectoryExists(parent)) {
    if (!ForceDirectories(parent)) return false;
  }
  return CreateDir(p);
}

std::string ReadFileBytes(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw FileError::FromErrno("Cannot open file", path, errno);
  std::string out;
  struct stat st;
  if (::fstat(fd, &st) == 0 && st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t r = ::read(fd, buf, sizeof buf);
    if (r < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      ::close(fd);
      throw FileError::FromErrno("Cannot read file", path, e);
    }
    if (r == 0) break;
    out.append(buf, static_cast<size_t>(r));
  }
  ::close(fd);
  return out;
}

std::optional<std::string> TryReadFileBytes(const std::string& path) {
  try {
    return ReadFileBytes(path);
  } catch (const FileError&) {
    return std::nullopt;
  }
}

void WriteFileAtomically(const std::string& path, std::string_view data) {
  std::string dir = ExtractFilePath(path);
  if (dir.empty()) dir = "./";
  std::string tmpl = dir + "." + ExtractFileName(path) + ".XXXXXX";
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  int fd = ::mkostemp(buf.data(), O_CLOEXEC);
  if (fd < 0) throw FileError::FromErrno("Cannot create file", path, errno);
  std::string tmp(buf.data());
  try {
    // Keep the permissions of the file being replaced, if any.
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
    else ::fchmod(fd, 0644);
    WriteAll(fd, data, path);
    if (::fsync(fd) != 0) throw FileError::FromErrno("Cannot write file", path, errno);
    if (::close(fd) != 0) {
      fd = -1;
      throw FileError::FromErrno("Cannot write file", path, errno);
    }
    fd = -1;
    if (::rename(tmp.c_str(), path.c_str()) != 0)
      throw FileError::FromErrno("Cannot replace file", path, errno);
  } catch (...) {
    if (fd >= 0) ::close(fd);
    ::unlink(tmp.c_str());
    throw;
  }
  // Make the rename itself durable.
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

StringList LoadLinesFromFile(const std::string& path) {
  auto data = TryReadFileBytes(path);
  if (!data) return {};
  return SplitLines(*data);
}

void SaveLinesToFile(const std::string& path, const StringList& lines) {
  WriteFileAtomically(path, JoinLines(lines));
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool RemoveDirectory(const std::string& path) {
  return ::rmdir(ExcludeTrailingSlash(path).c_str()) == 0;
}

bool RemoveDirectoryTree(const std::string& path) {
  std::string p = ExcludeTrailingSlash(path);
  struct stat st;
  if (::lstat(p.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) return ::unlink(p.c_str()) == 0;
  bool ok = true;
  for (const auto& e : ListDirectory(p)) {
    std::string child = p + "/" + e.name;
    struct stat cst;
    if (::lstat(child.c_str(), &cst) == 0 && S_ISDIR(cst.st_mode)) ok = RemoveDirectoryTree(child) && ok;
    else ok = (::unlink(child.c_str()) == 0) && ok;
  }
  return (::rmdir(p.c_str()) == 0) && ok;
}

bool RenamePath(const std::string& from, const std::string& to) {
  return ::rename(ExcludeTrailingSlash(from).c_str(), ExcludeTrailingSlash(to).c_str()) == 0;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
  auto data = TryReadFileBytes(from);
  if (!data) return false;
  try {
    WriteFileAtomically(to, *data);
  } catch (const FileError&) {
    return false;
  }
  return true;
}

std::vector<DirEntry> ListDirectory(const std::string& path) {
  std::vector<DirEntry> out;
  std::string p = ExcludeTrailingSlash(path);
  DIR* d = ::opendir(p.empty() ? "/" : p.c_str());
  if (!d) return out;
  while (struct dirent* e = ::readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    DirEntry de;
    de.name = name;
    de.is_directory = DirectoryExists(p + "/" + name);
    out.push_back(std::move(de));
  }
  ::closedir(d);
  std::sort(out.begin(), out.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  return out;
}

std::string ExtractFilePath(const std::string& path) {
  size_t pos = path.rfind('/');
  if (pos == std::string::npos) return "";
  return path.substr(0, pos + 1);
}

std::string ExtractFileName(const std::string& path) {
  size_t pos = path.rfind('/');
  if (pos == std::string::npos) return path;
  return path.substr(pos + 1);
}

std::string ExtractFileExt(const std::string& path) {
  std::string name = ExtractFileName(path);
  size_t pos = name.rfind('.');
  if (pos == std::string::npos) return "";
  return name.substr(pos);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  std::string dir = ExtractFilePath(path);
  std::string name = ExtractFileName(path);
  size_t pos = name.rfind('.');
  if (pos != std::string::npos) name.resize(pos);
  return dir + name + ext;
}

std::string IncludeTrailingSlash(const std::string& path) {
  if (!path.empty() && path.back() == '/') return path;
  return path + "/";
}

std::string ExcludeTrailingSlash(const std::string& path) {
  if (path.size() > 1 && path.back() == '/') return path.substr(0, path.size() - 1);
  return path;
}

std::string SystemTempDir() {
  const char* t = std::getenv("TMPDIR");
  std::string dir = (t && *t) ? t : "/tmp";
  return IncludeTrailingSlash(dir);
}

std::string CreateUniqueFile(const std::string& dir, const std::string& prefix, const std::string& suffix) {
  std::string tmpl = IncludeTrailingSlash(dir) + prefix + "XXXXXX" + suffix;
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  int fd = ::mkostemps(buf.data(), static_cast<int>(suffix.size()), O_CLOEXEC);
  if (fd < 0) throw FileError::FromErrno("Cannot create file", tmpl, errno);
  ::close(fd);
  return std::string(buf.data());
}

std::string ExecutablePath() {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  buf[n] = '\0';
  return buf;
}

}  // namespace qm
