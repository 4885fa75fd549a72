#include "store/qdb_container.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/file_system.h"
#include "store/qdb_errors.h"

namespace qm {

namespace {

constexpr char kFileMagic[4] = {'Q', 'D', 'B', 0};
constexpr char kPasswordMagic[4] = {'Q', 'P', 'W', 0};
constexpr char kIndexMagic[4] = {'Q', 'I', 'X', 0};

void PutInt32(char* p, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(u >> (8 * i));
}

int32_t GetInt32(const char* p) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= uint32_t(static_cast<uint8_t>(p[i])) << (8 * i);
  return static_cast<int32_t>(u);
}

[[noreturn]] void NotValid(const std::string& path) {
  throw EQDBFileError(FormatQdbMessage(qdb_msg::kNotValid, path));
}

// Copies the segments in order to out@to in cipher-sized chunks, applying the
// keystream to each chunk of the section when a key is given.
// Plain bytes are copied inside the kernel; false when it cannot do that for
// these files (the caller then copies through a buffer).
bool CopyPlainInKernel(const std::vector<QdbSegment>& segs, int out, int64_t to, const std::string& in_name,
                       const std::string& out_name) {
  int64_t dst = to;
  for (const auto& seg : segs) {
    off64_t src = seg.from;
    int64_t left = seg.length;
    while (left > 0) {
      off64_t d = dst;
      ssize_t r = ::copy_file_range(seg.fd, &src, out, &d, static_cast<size_t>(left), 0);
      if (r < 0) {
        if (errno == EINTR) continue;
        if ((errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) && dst == to) return false;
        throw QdbFileErrorFromErrno(errno, out_name);
      }
      if (r == 0) NotValid(in_name);  // the source ended early
      left -= r;
      dst += r;
    }
  }
  return true;
}

void CopySection(const std::vector<QdbSegment>& segs, int out, int64_t to, const QdbKey* key,
                 const std::string& in_name, const std::string& out_name) {
  if (!key && CopyPlainInKernel(segs, out, to, in_name, out_name)) return;
  int64_t n = 0;
  for (const auto& s : segs) n += s.length;
  std::vector<char> buf(static_cast<size_t>(n < int64_t(kQdbCipherChunk) ? (n > 0 ? n : 1) : kQdbCipherChunk));
  size_t seg = 0;
  int64_t in_seg = 0;
  int64_t done = 0;
  while (done < n) {
    size_t len = static_cast<size_t>(n - done < int64_t(kQdbCipherChunk) ? n - done : kQdbCipherChunk);
    size_t filled = 0;
    while (filled < len) {
      while (segs[seg].length - in_seg == 0) {
        ++seg;
        in_seg = 0;
      }
      size_t take = static_cast<size_t>(std::min<int64_t>(segs[seg].length - in_seg, int64_t(len - filled)));
      if (!QdbReadAt(segs[seg].fd, segs[seg].from + in_seg, buf.data() + filled, take)) {
        if (errno == 0) NotValid(in_name);
        throw QdbFileErrorFromErrno(errno, in_name);
      }
      filled += take;
      in_seg += static_cast<int64_t>(take);
    }
    if (key) ApplyKeystream(buf.data(), len, *key);
    if (!QdbWriteAt(out, to + done, buf.data(), len)) throw QdbFileErrorFromErrno(errno, out_name);
    done += static_cast<int64_t>(len);
  }
}

void CopySection(int in, int64_t from, int out, int64_t to, int64_t n, const QdbKey* key,
                 const std::string& in_name, const std::string& out_name) {
  CopySection(std::vector<QdbSegment>{{in, from, n}}, out, to, key, in_name, out_name);
}

}  // namespace

std::string EmptyQdbContainer() {
  std::string s(21, '\0');
  std::memcpy(&s[0], kFileMagic, 4);
  std::memcpy(&s[8], kIndexMagic, 4);
  s[12] = 5;  // index length; the section is the count 0 and one spare byte
  return s;
}

void QdbFd::Reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

bool QdbReadAt(int fd, int64_t offset, void* buf, size_t n) {
  char* p = static_cast<char*>(buf);
  while (n > 0) {
    ssize_t r = ::pread(fd, p, n, offset);
    if (r < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (r == 0) {
      errno = 0;
      return false;
    }
    p += r;
    n -= static_cast<size_t>(r);
    offset += r;
  }
  return true;
}

bool QdbWriteAt(int fd, int64_t offset, const void* buf, size_t n) {
  const char* p = static_cast<const char*>(buf);
  while (n > 0) {
    ssize_t w = ::pwrite(fd, p, n, offset);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
    offset += w;
  }
  return true;
}

QdbSections ReadQdbContainer(int in, const std::string& path, std::string& password,
                             const QdbPasswordSource& ask, int data_fd, int index_fd,
                             bool leave_plain_data) {
  struct stat st;
  if (::fstat(in, &st) != 0) throw QdbFileErrorFromErrno(errno, path);
  const int64_t size = st.st_size;
  char head[4];
  if (size < 4 || !QdbReadAt(in, 0, head, 4) || std::memcmp(head, kFileMagic, 4) != 0) NotValid(path);
  int64_t pos = 4;
  std::optional<QdbKey> key;
  if (size >= pos + 4 && QdbReadAt(in, pos, head, 4) && std::memcmp(head, kPasswordMagic, 4) == 0) {
    char check[20];
    if (size < pos + 24 || !QdbReadAt(in, pos + 4, check, 20)) NotValid(path);
    pos += 24;
    if (password.empty() && ask) password = ask();
    Sha1Digest want = PasswordCheckValue(password);
    if (std::memcmp(want.data(), check, 20) != 0) {
      password.clear();
      throw EQDBInvalidPW(qdb_msg::kInvalidPW);
    }
    key = PasswordKey(password);
  }
  // A length that is negative or runs past the end of the file is refused
  // before anything is copied.
  auto read_length = [&](int64_t at) {
    char b[4];
    if (size < at + 4 || !QdbReadAt(in, at, b, 4)) NotValid(path);
    int32_t v = GetInt32(b);
    if (v < 0 || at + 4 + v > size) NotValid(path);
    return static_cast<int64_t>(v);
  };
  QdbSections s;
  s.data_length = read_length(pos);
  const int64_t data_at = pos + 4;
  pos = data_at + s.data_length;
  if (size < pos + 4 || !QdbReadAt(in, pos, head, 4) || std::memcmp(head, kIndexMagic, 4) != 0) NotValid(path);
  s.index_length = read_length(pos + 4);
  const int64_t index_at = pos + 8;
  s.data_at = data_at;
  s.data_copied = key.has_value() || !leave_plain_data;
  if (s.data_copied)
    CopySection(in, data_at, data_fd, 0, s.data_length, key ? &*key : nullptr, path, "data working file");
  CopySection(in, index_at, index_fd, 0, s.index_length, key ? &*key : nullptr, path, "index working file");
  if (::ftruncate(data_fd, s.data_length) != 0 || ::ftruncate(index_fd, s.index_length) != 0)
    throw QdbFileErrorFromErrno(errno, path);
  return s;
}

int64_t WriteQdbContainer(const std::string& target, const std::vector<QdbSegment>& data, int index_fd,
                          int64_t index_length, const std::string& password) {
  int64_t data_length = 0;
  for (const auto& seg : data) data_length += seg.length;
  if (data_length > INT32_MAX || index_length > INT32_MAX)
    throw EQDBFileError(FormatQdbMessage(qdb_msg::kCannotExtend, target));
  std::string dir = ExtractFilePath(target);
  if (dir.empty()) dir = "./";
  std::string tmpl = dir + ".QDD" + ExtractFileName(target) + ".XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  QdbFd out(::mkostemp(name.data(), O_CLOEXEC));
  int64_t data_at = 0;
  if (!out.valid()) throw QdbFileErrorFromErrno(errno, target);
  const std::string tmp(name.data());
  try {
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) ::fchmod(out.get(), st.st_mode & 07777);
    else ::fchmod(out.get(), 0644);
    std::string head(kFileMagic, 4);
    std::optional<QdbKey> key;
    if (!password.empty()) {
      head.append(kPasswordMagic, 4);
      Sha1Digest check = PasswordCheckValue(password);
      head.append(reinterpret_cast<const char*>(check.data()), 20);
      key = PasswordKey(password);
    }
    char len[4];
    PutInt32(len, static_cast<int32_t>(data_length));
    head.append(len, 4);
    int64_t pos = 0;
    if (!QdbWriteAt(out.get(), pos, head.data(), head.size())) throw QdbFileErrorFromErrno(errno, target);
    pos += static_cast<int64_t>(head.size());
    data_at = pos;
    CopySection(data, out.get(), pos, key ? &*key : nullptr, "data working file", target);
    pos += data_length;
    char mid[8];
    std::memcpy(mid, kIndexMagic, 4);
    PutInt32(mid + 4, static_cast<int32_t>(index_length));
    if (!QdbWriteAt(out.get(), pos, mid, 8)) throw QdbFileErrorFromErrno(errno, target);
    pos += 8;
    CopySection(index_fd, 0, out.get(), pos, index_length, key ? &*key : nullptr, "index working file", target);
    if (::fsync(out.get()) != 0) throw QdbFileErrorFromErrno(errno, target);
    int fd = out.Release();  // the close is checked here
    if (::close(fd) != 0) throw QdbFileErrorFromErrno(errno, target);
    if (::rename(tmp.c_str(), target.c_str()) != 0) throw QdbFileErrorFromErrno(errno, target);
  } catch (...) {
    ::unlink(tmp.c_str());
    throw;
  }
  QdbFd d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (d.valid()) ::fsync(d.get());
  return data_at;
}

}  // namespace qm
