#pragma once
// A fresh directory for one test, removed with everything in it afterwards.
// The location qm::TempDir (a string) hides this class's name where
// shell/app_paths.h is included: write `class TempDir dir;` there.
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace qm {

class TempDir {
 public:
  TempDir() {
    std::string tmpl = SystemTempDir() + "quilltest-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    char* made = mkdtemp(buf.data());
    path_ = IncludeTrailingSlash(made ? made : "/tmp/quilltest-failed");
  }
  ~TempDir() { RemoveDirectoryTree(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Ends in "/".
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace qm
