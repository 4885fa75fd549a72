#pragma once
// A directory of its own for each fuzz input, removed afterwards (libFuzzer
// may end the process without running exit handlers).
#include <cstdlib>
#include <string>

#include "platform/file_system.h"

class InputDir {
 public:
  InputDir() {
    std::string tmpl = qm::SystemTempDir() + "quillfuzz-XXXXXX";
    if (!mkdtemp(tmpl.data())) abort();
    path_ = qm::IncludeTrailingSlash(tmpl);
  }
  ~InputDir() { qm::RemoveDirectoryTree(path_); }
  InputDir(const InputDir&) = delete;
  InputDir& operator=(const InputDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
