#pragma once
// Runs the built quillmar-cli through the shell as a user would, with the
// data directory set to a test's own folder and standard input, output and
// error passed through files in that folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "platform/file_system.h"
#include "test_support/temp_dir.h"

namespace qm {

inline const std::string kQuillmarCli = QUILL_BINARY_DIR "/src/app/quillmar-cli";

struct CliResult {
  int status;  // exit status, -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Single-quoted for the shell.
inline std::string ShellQuote(const std::string& s) {
  std::string r = "'";
  for (char c : s) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return r + "'";
}

// `home` ends in "/" and serves as QUILLMAR_HOME; `args` are shell words,
// quoted by the caller where needed.
inline CliResult RunQuillmarCli(const std::string& home, const std::string& args, const std::string& input = "") {
  const std::string in = home + "stdin", out = home + "stdout", err = home + "stderr";
  WriteFileAtomically(in, input);
  const std::string cmd = "QUILLMAR_HOME=" + ShellQuote(home) + " " + ShellQuote(kQuillmarCli) + " " + args +
                          " <" + ShellQuote(in) + " >" + ShellQuote(out) + " 2>" + ShellQuote(err);
  const int rc = std::system(cmd.c_str());
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, ReadFileBytes(out), ReadFileBytes(err)};
}

// A test with a data directory of its own in which it runs quillmar-cli.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!FileExists(kQuillmarCli)) GTEST_SKIP() << "quillmar-cli is not built";
  }
  // `input` goes to standard input.
  CliResult Run(const std::string& args, const std::string& input = "") {
    return RunQuillmarCli(dir_.path(), args, input);
  }
  class TempDir dir_;  // "class": shell/app_paths.h has a TempDir string too
};

}  // namespace qm
